// A disk that reports an error for the sync of a folder. Right after an
// action's commit point (its super-journal removed) the action has landed:
// it is told as done, with a warning and exit status 0, and stands, so that
// nobody does it a second time. A backup whose folder does not sync may not
// last: it is told as failed, never as 备份成功.
#include <gtest/gtest.h>

#include <algorithm>

#include "ledgers/user_files_fixture.h"
#include "shell/backup.h"
#include "storage/outcome.h"

namespace tw::test {
namespace {

namespace fs = std::filesystem;

const std::string kUnconfirmed = std::string(kUnconfirmedWrite) + "\n";

class DiskConfirmationTest : public ClosedMonthCli {
protected:
    // The number, among the syncs of folders (from 1), of the first one after
    // the last `call` of a path holding `part`, and its folder; 0 for none.
    static long folderSyncAfter(const std::vector<std::string>& changes, const std::string& call,
                                const std::string& part, std::string& folder) {
        long after = -1;
        for (std::size_t i = 0; i < changes.size(); ++i)
            if (changes[i].starts_with(call + " ") && changes[i].find(part) != std::string::npos)
                after = static_cast<long>(i);
        long syncs = 0;
        for (std::size_t i = 0; after >= 0 && i < changes.size(); ++i) {
            if (!changes[i].starts_with("dirsync ")) continue;
            ++syncs;
            if (static_cast<long>(i) > after) {
                folder = changes[i].substr(8);
                return syncs;
            }
        }
        return 0;
    }

    // The command with the sync of the account-set directory after its
    // commit point failing: found by a run from the same files, which are
    // then put back.
    Finished runUnconfirmed(const std::vector<std::string>& args) {
        const fs::path keep = output / "before", log = output / "changes.log";
        fs::remove_all(keep);
        fs::remove(log);
        fs::copy(dataDir, keep, fs::copy_options::recursive);
        const Finished probe = runShimmed(args, 0, log);
        EXPECT_EQ(probe.status, 0) << probe.err;
        std::string folder;
        const long sync = folderSyncAfter(changesIn(log), "unlink", "-mj", folder);
        EXPECT_GT(sync, 0) << fileBytes(log);
        EXPECT_TRUE(folder.ends_with(dataDir.filename().string())) << folder;
        fs::remove_all(dataDir);
        fs::copy(keep, dataDir, fs::copy_options::recursive);
        return runShimmed(args, 0, {}, sync);
    }

    std::vector<std::string> addApril(const std::string& account, const std::string& amount) {
        return {"voucher", "add", "--day", "3", "--line", "付款|" + account + "|" + amount + "|",
                "--line", "付款|银行存款||" + amount};
    }
};

TEST_F(DiskConfirmationTest, AVoucherTheDiskDidNotConfirmIsToldAsStoredAndListedOnce) {
    const auto r = runUnconfirmed(addApril("现金", "80"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "40001\n") << "its number, as for any voucher added";
    EXPECT_EQ(r.err, kUnconfirmed);
    // A later start finds it, once: a journal played back would have lost it.
    EXPECT_EQ(run({"status"}).out, "2013-04\t1\t0\t1\n");
    const auto listed = run({"vouchers"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_TRUE(listed.out.starts_with("40001\t1\t1\t2013-04-03\t")) << listed.out;
    EXPECT_EQ(std::count(listed.out.begin(), listed.out.end(), '\n'), 1) << listed.out;
}

TEST_F(DiskConfirmationTest, PostingClosingAndUndoingTheDiskDidNotConfirmStandAndAreToldOnce) {
    ASSERT_EQ(run(addApril("管理费用", "50")).status, 0);
    ASSERT_EQ(run({"review-all"}).status, 0);

    auto r = runUnconfirmed({"post"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "1张凭证被登账。\n");
    EXPECT_EQ(r.err, kUnconfirmed);
    EXPECT_EQ(run({"status"}).out, "2013-04\t1\t1\t0\n");

    r = runUnconfirmed({"close"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "1张凭证被登账。\n结转损益与登账完毕！\n会计期间进入：2013年5月\n");
    EXPECT_EQ(r.err, kUnconfirmed);
    EXPECT_EQ(run({"status"}).out, "2013-05\t0\t0\t0\n");

    r = runUnconfirmed({"undo-close"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "结账已撤销，当前会计期间：2013年4月\n");
    EXPECT_EQ(r.err, kUnconfirmed);
    EXPECT_EQ(run({"status"}).out.substr(0, 8), "2013-04\t");
}

TEST_F(DiskConfirmationTest, ABackupWhoseFolderDidNotSyncIsToldAsFailed) {
    const std::vector<std::string> args{"backup", "--to", outside("备份.zip").string()};
    const auto log = output / "changes.log";
    ASSERT_EQ(runShimmed(args, 0, log).status, 0);
    // The sync of the archive's folder once the archive is renamed into it.
    std::string folder;
    const long sync = folderSyncAfter(changesIn(log), "rename", "备份.zip", folder);
    ASSERT_GT(sync, 0) << fileBytes(log);
    EXPECT_TRUE(folder.ends_with(elsewhere.filename().string())) << folder;

    const auto r = runShimmed(args, 0, {}, sync);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "") << "no 备份成功";
    EXPECT_EQ(r.err, std::string(kBackupFailed) + "\n");
}

}  // namespace
}  // namespace tw::test
