#pragma once
// The ledger fixture's set driven through tallowick-cli, as 张三.

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ledger_fixture.h"
#include "support/cli_runner.h"

namespace tw::test {

class LedgerCliFixture : public LedgerTest {
protected:
    // Runs `command` (one word or two, "journal add") with the set and login
    // after it, then `args`. The store is closed meanwhile, since the command
    // takes the directory for itself.
    CliResult run(const std::string& command, const std::vector<std::string>& args) {
        std::vector<std::string> all;
        std::istringstream words(command);
        for (std::string w; words >> w;) all.push_back(w);
        all.insert(all.end(), {session.login.setName, "--user", "张三", "--password", "mima"});
        all.insert(all.end(), args.begin(), args.end());
        store.reset();
        auto result = runCli(dataDir, all);
        store = std::make_unique<RecordStore>(dataDir);
        return result;
    }
};

}  // namespace tw::test
