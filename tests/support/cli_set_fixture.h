#pragma once
// An account set made through tallowick-cli, and the commands of a set run as
// one of its users: for the tests that drive the program from a shell.

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "accounts/account_set_fixture.h"
#include "support/cli_runner.h"

namespace tw::test {

// How many leading words of `args` name the command: two for a command of a
// group (`voucher add`) or under another command (`vouchers sort`,
// `journal add`, `cash-flow assign`), one otherwise.
inline std::size_t commandWords(const std::vector<std::string>& args) {
    static const std::set<std::string> groups{"account", "carry-forward", "opening",
                                              "set",     "user",          "voucher"};
    if (args.empty()) return 0;
    if (groups.count(args[0])) return 2;
    const bool nested = args.size() > 1 && ((args[0] == "vouchers" && args[1] == "sort") ||
                                            (args[0] == "journal" && args[1] == "add") ||
                                            (args[0] == "cash-flow" && args[1] == "assign"));
    return nested ? 2 : 1;
}

// `args` with the set and its login put after the command's first `words`
// words, where every command of one set takes them.
inline std::vector<std::string> withSetLogin(std::vector<std::string> args, std::size_t words,
                                             const std::string& setName, const std::string& user,
                                             const std::string& password) {
    args.insert(args.begin() + static_cast<std::ptrdiff_t>(words),
                {setName, "--user", user, "--password", password});
    return args;
}

// The set 演示 of 某公司, started 2013-3-1, made by `set create` in a fresh
// account-set directory with 张三 (password 1) as its administrator.
class CliSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        dataDir = freshTempDir("cli-set");
        const auto made = runCli(dataDir, {"set", "create", "演示", "--company", "某公司", "--admin",
                                           "张三", "--password", "1", "--start", "2013-03-01"});
        ASSERT_EQ(made.status, 0) << made.err;
    }
    void TearDown() override { std::filesystem::remove_all(dataDir); }

    // Runs a command of 演示 as 张三.
    CliResult run(const std::vector<std::string>& args) {
        return runCli(dataDir, withSetLogin(args, commandWords(args), "演示", "张三", "1"));
    }

    // Opens the books with 1000 in 银行存款 against 实收资本 and enables the set.
    void enableWithCapital() {
        for (const auto& args : {std::vector<std::string>{"opening", "set", "--account", "银行存款",
                                                          "--debit", "1000"},
                                 {"opening", "set", "--account", "实收资本", "--credit", "1000"},
                                 {"opening", "enable"}})
            ASSERT_EQ(run(args).status, 0) << args[1];
    }

    // Every record of a table file of 演示, opened with its password.
    std::vector<std::vector<Value>> rows(const char* file) const {
        const auto folder = dataDir / "演示";
        const auto info = tableRows(folder / file::kBasicInfo, kFixedPassword);
        return tableRows(folder / file, std::string(file) == file::kBasicInfo ? kFixedPassword
                                                                              : info[0][2].text());
    }

    std::filesystem::path dataDir;
};

}  // namespace tw::test
