// A close killed inside its commit, with one of its tables read-only at the
// next start: that start cannot roll the table back, so it keeps the commit's
// super-journal and refuses the set, naming the file; the first start that
// can write the table again rolls the whole close back.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ledgers/user_files_fixture.h"

namespace tw::test {
namespace {

namespace fs = std::filesystem;

class RecoveryTest : public ClosedMonthCli {};

TEST_F(RecoveryTest, AHalfCommittedCloseIsNeverMadePermanent) {
    const auto before = fileTree(setDir());

    // The moment the close's commit has written every table and is about to
    // remove its super-journal: the last moment it can still be rolled back.
    ASSERT_NO_FATAL_FAILURE(killCloseBeforeItsSuperJournalGoes());

    // The ledger cannot be written at the next start: the set is refused,
    // naming the file, and nothing of the half-written close is made final.
    const fs::path ledger = inSet("账库.edb");
    const Finished refused = runWithReadOnly({"status"}, ledger);
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "套账文件“" + ledger.string() +
                               "”中有一次中断的操作无法复原，本套账暂不能使用！  请检查该文件能否写入后重试！\n");
    EXPECT_EQ(refused.out, "");
    EXPECT_FALSE(superJournals().empty()) << "kept until every table is rolled back";
    EXPECT_EQ(runWithReadOnly({"report", "--year", "2013", "--month", "3"}, ledger).status, 1);
    // Other commands on the directory still work.
    EXPECT_EQ(runWithReadOnly({kCliPath, "--data-dir", dataDir.string(), "sets"}, ledger).status, 0);

    // Writable again: the close is rolled back whole.
    fs::permissions(ledger, fs::perms::owner_read | fs::perms::owner_write);
    const auto status = run({"status"});
    ASSERT_EQ(status.status, 0) << status.err;
    EXPECT_EQ(status.out.substr(0, 7), "2013-04");
    EXPECT_TRUE(superJournals().empty());
    auto after = fileTree(setDir());
    EXPECT_EQ(after, before);
    EXPECT_EQ(run({"close"}).status, 0);
}

}  // namespace
}  // namespace tw::test
