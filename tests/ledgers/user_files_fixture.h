#pragma once
// A set with March 2013 closed (three vouchers posted), made by the core
// operations and then driven through tallowick-cli: for the files the
// program writes for the user (the month's report, ledger exports, printed
// pages, backups). Commands can be run with a limit on the size of the files
// they write (a disk that fills up) or with the kill shim preloaded (killed
// at the N-th change of a file, or with the N-th sync of a folder failing).

#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "closing/closing_fixture.h"
#include "storage/store_fixture.h"
#include "support/built_programs.h"
#include "support/cli_set_fixture.h"
#include "support/file_tree.h"
#include "support/spawn.h"

namespace tw::test {

inline constexpr const char* kDiskFull = "数据无法写入磁盘！ 请检测您对计算机使用的权限！\n";

class ClosedMonthCli : public ClosingTest {
protected:
    void SetUp() override {
        ClosingTest::SetUp();
        elsewhere = dataDir;
        elsewhere += "-elsewhere";
        std::filesystem::create_directories(elsewhere);
        enableWith({{"银行存款", 1000}, {"实收资本", -1000}});
        for (int n = 1; n <= 3; ++n)
            addVoucher(dayNumber(2013, 3, 3 + n), 30000 + n,
                       {{"银行存款", 500, 0, "销售"}, {"主营业务收入", 0, 500, "销售"},
                        {"管理费用", 120.5, 0, "报销"}, {"银行存款", 0, 120.5, "报销"}});
        ASSERT_TRUE(post().ok);
        ASSERT_TRUE(close().ok);
        store.reset();  // the commands take the directory for themselves
        ASSERT_EQ(runCli(dataDir, {"sets"}).status, 0);  // its lock file is made once
    }
    void TearDown() override {
        std::filesystem::remove_all(elsewhere);
        ClosingTest::TearDown();
    }

    std::filesystem::path setDir() const { return dataDir / std::filesystem::u8path(session.login.setName); }
    std::filesystem::path inSet(const std::string& name) const {
        return setDir() / std::filesystem::u8path(name);
    }
    std::filesystem::path outside(const std::string& name) const {
        return elsewhere / std::filesystem::u8path(name);
    }

    std::vector<std::string> withLogin(const std::vector<std::string>& args) const {
        return withSetLogin(args, commandWords(args), session.login.setName, "张三", "mima");
    }
    // A command of the set as 张三.
    CliResult run(const std::vector<std::string>& args) { return runCli(dataDir, withLogin(args)); }

    // The whole command line of a command of the set.
    std::vector<std::string> commandLine(const std::vector<std::string>& args) const {
        std::vector<std::string> argv{kCliPath, "--data-dir", dataDir.string()};
        for (const auto& a : withLogin(args)) argv.push_back(a);
        return argv;
    }

    // A command whose files may grow to `limit` bytes at most: a write
    // beyond fails as on a full disk.
    Finished runLimited(const std::vector<std::string>& args, rlim_t limit) {
        return waitProcess(startProcessWith(commandLine(args), {}, output.path(), "limited", [limit] {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit r{limit, limit};
            ::setrlimit(RLIMIT_FSIZE, &r);
        }));
    }

    // A command with the kill shim counting the changes of the files in the
    // directory and in `elsewhere` (whose path starts with the directory's):
    // killed at change `killAt` (0: never), each change listed in `log`; the
    // sync of a folder there numbered `failFolderSync` (0: none) fails.
    Finished runShimmed(const std::vector<std::string>& args, long killAt,
                        const std::filesystem::path& log = {}, long failFolderSync = 0) {
        std::vector<std::string> env{"LD_PRELOAD=" + std::string(kKillShimPath),
                                     "TALLOWICK_SHIM_UNDER=" + dataDir.string()};
        if (!log.empty()) env.push_back("TALLOWICK_SHIM_LOG=" + log.string());
        if (killAt > 0) env.push_back("TALLOWICK_SHIM_KILL=" + std::to_string(killAt));
        if (failFolderSync > 0)
            env.push_back("TALLOWICK_SHIM_FAIL_DIRSYNC=" + std::to_string(failFolderSync));
        return waitProcess(startProcess(commandLine(args), env, output.path(), "shimmed"));
    }

    // A command as a user who cannot write `readOnly` (a file or a folder).
    // Root writes anything whatever its mode, so then the command runs as
    // nobody, with every other file of the directory open to it. `args` are
    // those of a command of the set, or a whole command line.
    Finished runWithReadOnly(const std::vector<std::string>& args, const std::filesystem::path& readOnly) {
        namespace fs = std::filesystem;
        const bool root = ::geteuid() == 0;
        if (root) {
            fs::permissions(dataDir, fs::perms::all);
            for (const auto& e : fs::recursive_directory_iterator(dataDir))
                fs::permissions(e.path(), e.is_directory() ? fs::perms::all
                                                           : fs::perms::owner_read | fs::perms::owner_write |
                                                                 fs::perms::group_read | fs::perms::group_write |
                                                                 fs::perms::others_read | fs::perms::others_write);
        }
        fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        const auto argv = args.front() == kCliPath ? args : commandLine(args);
        return waitProcess(startProcessWith(argv, {}, output.path(), "read-only", [root] {
            if (root && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(125);
        }));
    }

    // The changes a shimmed run listed, one "<call> <path>" a line.
    static std::vector<std::string> changesIn(const std::filesystem::path& log) {
        std::vector<std::string> lines;
        const std::string text = fileBytes(log);
        for (std::size_t from = 0; from < text.size();) {
            const auto end = text.find('\n', from);
            lines.push_back(text.substr(from, end - from));
            from = end == std::string::npos ? text.size() : end + 1;
        }
        return lines;
    }
    // The number (from 1) of the first change that is a `call` of a path
    // holding `part`; 0 when there is none.
    static long firstChange(const std::vector<std::string>& changes, const std::string& call,
                            const std::string& part) {
        for (std::size_t i = 0; i < changes.size(); ++i)
            if (changes[i].starts_with(call + " ") && changes[i].find(part) != std::string::npos)
                return static_cast<long>(i + 1);
        return 0;
    }

    // The commit super-journals in the directory, by file name.
    std::vector<std::string> superJournals() const {
        std::vector<std::string> found;
        for (const auto& e : std::filesystem::directory_iterator(dataDir))
            if (e.path().filename().string().find("-mj") != std::string::npos)
                found.push_back(e.path().filename().string());
        return found;
    }

    // Runs `close` killed as its commit has written every table and is about
    // to remove its super-journal: the last moment it can still be rolled
    // back. A first, whole run finds that moment; the directory is then put
    // back as it was before the killed run. Call through ASSERT_NO_FATAL_FAILURE.
    void killCloseBeforeItsSuperJournalGoes() {
        namespace fs = std::filesystem;
        const fs::path keep = output / "before";
        fs::copy(dataDir, keep, fs::copy_options::recursive);
        const auto log = output / "changes.log";
        ASSERT_EQ(runShimmed({"close"}, 0, log).status, 0);
        const long at = firstChange(changesIn(log), "unlink", "-mj");
        ASSERT_GT(at, 0) << fileBytes(log);
        fs::remove_all(dataDir);
        fs::copy(keep, dataDir, fs::copy_options::recursive);
        ASSERT_EQ(runShimmed({"close"}, at).status, -1) << "killed";
        ASSERT_FALSE(superJournals().empty());
    }

    std::filesystem::path elsewhere;  // beside the directory, outside it: for exports
    TempDir output;                   // what the commands print
};

}  // namespace tw::test
