// A close killed inside its commit on one set of a shared directory: another
// set works meanwhile, its commands and the starts of the directory leave the
// killed set's half commit where it is (never made final), and the next login
// of the killed set rolls it back whole, touching nothing of the other set.
#include <gtest/gtest.h>

#include "ledgers/user_files_fixture.h"

namespace tw::test {
namespace {

class SetRecoveryTest : public ClosedMonthCli {
protected:
    void SetUp() override {
        ClosedMonthCli::SetUp();
        const auto made = runCli(dataDir, {"set", "create", "别家", "--admin", "李四", "--password",
                                           "2", "--start", "2013-03-01"});
        ASSERT_EQ(made.status, 0) << made.err;
    }
    // A command of 别家 as 李四.
    CliResult inOther(const std::vector<std::string>& args) {
        return runCli(dataDir, withSetLogin(args, commandWords(args), "别家", "李四", "2"));
    }
    // The set's tables and journals, without the program's own files (its
    // lock, its temporary folder), which the starts of other processes clear.
    std::map<std::string, std::string> tablesAndJournals() const {
        auto tree = fileTree(setDir());
        std::erase_if(tree, [](const auto& entry) { return entry.first.starts_with(".tallowick-"); });
        return tree;
    }
};

TEST_F(SetRecoveryTest, AKillOnOneSetLeavesTheOtherAloneAndTheNextLoginOfItsSetRecoversIt) {
    const auto before = fileTree(setDir());

    // Killed as the close's commit is about to remove its super-journal:
    // every table written, each with its journal to roll back.
    ASSERT_NO_FATAL_FAILURE(killCloseBeforeItsSuperJournalGoes());
    const auto killed = tablesAndJournals();
    std::size_t journals = 0;
    for (const auto& [name, what] : killed) journals += name.ends_with("-journal") ? 1 : 0;
    ASSERT_GT(journals, 0u);

    // The other set works meanwhile; neither its command nor a start of the
    // directory rolls back, or makes final, the killed set's close.
    const auto other = inOther({"opening", "set", "--account", "银行存款", "--debit", "500"});
    EXPECT_EQ(other.status, 0) << other.err;
    EXPECT_EQ(runCli(dataDir, {"sets"}).status, 0);
    EXPECT_EQ(tablesAndJournals(), killed) << "only the set's own next login recovers it";
    EXPECT_FALSE(superJournals().empty());
    const auto otherSet = fileTree(dataDir / "别家");

    // The next login of the set rolls the close back whole.
    const auto status = run({"status"});
    ASSERT_EQ(status.status, 0) << status.err;
    EXPECT_EQ(status.out.substr(0, 7), "2013-04");
    EXPECT_TRUE(superJournals().empty());
    EXPECT_EQ(fileTree(setDir()), before);
    EXPECT_EQ(fileTree(dataDir / "别家"), otherSet) << "the recovery kept to its own set";
    EXPECT_EQ(run({"close"}).status, 0);
}

}  // namespace
}  // namespace tw::test
