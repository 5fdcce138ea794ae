// A lock per set, within one process: each LoginState here stands for a
// program or command of its own (a lock taken through another open of the
// lock file is refused as another process's would be). What the locks keep
// apart: two logins on one set, the deletion or restore of a set in use, the
// recovery of one set and the leftovers of another.
#include <algorithm>

#include "shell/backup.h"
#include "shell/set_lock.h"
#include "shell_fixture.h"
#include "startup/start_up.h"
#include "zip_fixture.h"

namespace tw::test {
namespace {

class SetLockTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        create(setRequest("华兴"));
        create(setRequest("别家", "李四", "lisi"));
        folder = setFolder(dataDir(), "华兴");
        other = setFolder(dataDir(), "别家");
    }
    // A journal whose commit had not written its header yet, and the
    // super-journal of its action naming it; `super` is the super-journal's
    // name in the directory.
    fs::path halfCommit(const fs::path& set, const std::string& super) {
        const fs::path journal = fs::absolute(set / "会计科目.edb-journal");
        writeFile(journal, std::string(512, '\0'));
        writeFile(dataDir() / super, pathText(journal) + std::string(1, '\0'));
        return journal;
    }

    fs::path folder, other;
    TempDir elsewhere;
};

TEST_F(SetLockTest, OneLoginAtATimeTakesASetAndItsLockFileGoesWithIt) {
    LoginState first, second;
    ASSERT_TRUE(takeSet(first, dataDir(), "华兴").ok);
    EXPECT_TRUE(holdsSet(first, "华兴"));
    EXPECT_TRUE(fs::exists(folder / kLockFileName));

    const Outcome refused = takeSet(second, dataDir(), "华兴");
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, kDirectoryInUse);
    EXPECT_EQ(refused.kind, &kInUse);
    EXPECT_EQ(takeSet(second, dataDir(), "华兴", LoginPurpose::DeleteSet).message,
              "套账 华兴 正被另一个程序使用，不能删除！  请在该程序中关闭这个套账后再试。");
    EXPECT_FALSE(second.setLock) << "a refusal takes nothing";
    EXPECT_TRUE(takeSet(first, dataDir(), "华兴").ok) << "the login that has it keeps it";

    // The other set is free meanwhile; a login refused it keeps what it had.
    ASSERT_TRUE(takeSet(second, dataDir(), "别家").ok);
    EXPECT_FALSE(takeSet(first, dataDir(), "别家").ok);
    EXPECT_TRUE(holdsSet(first, "华兴"));

    second.logout();
    EXPECT_FALSE(fs::exists(other / kLockFileName));
    ASSERT_TRUE(takeSet(first, dataDir(), "别家").ok);
    EXPECT_FALSE(fs::exists(folder / kLockFileName)) << "taking another set lets go of 华兴";
    EXPECT_TRUE(takeSet(second, dataDir(), "华兴").ok);

    // A lock file a dead process left is taken over, and goes at logout.
    second.logout();
    writeFile(folder / kLockFileName, "");
    ASSERT_TRUE(takeSet(second, dataDir(), "华兴").ok);
    second.logout();
    EXPECT_FALSE(fs::exists(folder / kLockFileName));

    // No set folder, nothing to take and nothing made.
    LoginState third;
    EXPECT_TRUE(takeSet(third, dataDir(), "没有").ok);
    EXPECT_FALSE(third.setLock);
    EXPECT_FALSE(fs::exists(dataDir() / "没有"));
}

TEST_F(SetLockTest, ASetLockThatCannotBeTakenRefusesThatSetOnly) {
    fs::create_symlink("/nonexistent-folder/lock", folder / kLockFileName);
    LoginState login;
    const Outcome refused = takeSet(login, dataDir(), "华兴");
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.kind, &kInUse);
    EXPECT_TRUE(fs::is_symlink(folder / kLockFileName));
    EXPECT_TRUE(takeSet(login, dataDir(), "别家").ok);
}

TEST_F(SetLockTest, TakingASetRecoversThatSetAndNoOther) {
    // 别家 is in use, with an action in flight: its files are live.
    LoginState worker;
    ASSERT_TRUE(takeSet(worker, dataDir(), "别家").ok);
    const fs::path theirs = halfCommit(other, ".tallowick-actions.db-mj00000002");
    fs::create_directory(other / ".tallowick-temp");
    writeFile(other / ".tallowick-temp" / "会计科目.edb.part-7-9", "half a copy");
    // What a killed process left of 华兴's action, and a super-journal made
    // as its process was killed, before it named any journal.
    const fs::path ours = halfCommit(folder, ".tallowick-actions.db-mj00000001");
    fs::create_directory(folder / ".tallowick-temp");
    writeFile(folder / ".tallowick-temp" / "会计科目.edb.part-7-8", "half a copy");
    writeFile(dataDir() / ".tallowick-actions.db-mj00000003", "");

    LoginState login;
    ASSERT_TRUE(takeSet(login, dataDir(), "华兴").ok);
    EXPECT_FALSE(fs::exists(ours));
    EXPECT_FALSE(fs::exists(dataDir() / ".tallowick-actions.db-mj00000001"));
    EXPECT_FALSE(fs::exists(folder / ".tallowick-temp"));
    EXPECT_TRUE(fs::exists(theirs));
    EXPECT_TRUE(fs::exists(dataDir() / ".tallowick-actions.db-mj00000002"));
    EXPECT_TRUE(fs::exists(other / ".tallowick-temp" / "会计科目.edb.part-7-9"));
    EXPECT_TRUE(fs::exists(dataDir() / ".tallowick-actions.db-mj00000003"))
        << "whose it is cannot be told while a set is in use";

    // A start while 别家 is in use leaves it alone, and recovers no set.
    login.logout();
    halfCommit(folder, ".tallowick-actions.db-mj00000001");
    ASSERT_TRUE(startUp(dataDir()).held());
    EXPECT_TRUE(fs::exists(ours));
    EXPECT_TRUE(fs::exists(theirs));
    EXPECT_TRUE(fs::exists(other / ".tallowick-temp" / "会计科目.edb.part-7-9"));
    EXPECT_TRUE(fs::exists(dataDir() / ".tallowick-actions.db-mj00000003"));

    // With no set in use, the start removes the super-journal nobody needs and
    // keeps those whose journals wait for their set's next login.
    worker.logout();
    ASSERT_TRUE(startUp(dataDir()).held());
    EXPECT_FALSE(fs::exists(dataDir() / ".tallowick-actions.db-mj00000003"));
    EXPECT_TRUE(fs::exists(dataDir() / ".tallowick-actions.db-mj00000001"));
    EXPECT_TRUE(fs::exists(dataDir() / ".tallowick-actions.db-mj00000002"));
    EXPECT_FALSE(fs::exists(other / ".tallowick-temp")) << "别家 is nobody's now";
    EXPECT_TRUE(fs::exists(theirs));
    ASSERT_TRUE(takeSet(worker, dataDir(), "别家").ok);
    EXPECT_FALSE(fs::exists(theirs));
    EXPECT_FALSE(fs::exists(dataDir() / ".tallowick-actions.db-mj00000002"));
    EXPECT_TRUE(fs::exists(ours));
}

TEST_F(SetLockTest, DeleteAndRestoreRefuseASetAnotherProcessWorksOn) {
    Session admin = loggedIn(dataDir(), "华兴", "张三", "mima");
    const fs::path archive = elsewhere / "备份.zip";
    ASSERT_TRUE(backupSet(dataDir(), "华兴", archive).ok);
    ASSERT_TRUE(addUser(dataDir(), admin, {"备份后", "y", "y"}).ok);

    LoginState worker;
    ASSERT_TRUE(takeSet(worker, dataDir(), "华兴").ok);
    const auto before = snapshot(dataDir(), folder);
    const auto dirBefore = entryNames(dataDir());
    const Outcome deleted = deleteAccountSet(dataDir(), admin.login);
    EXPECT_FALSE(deleted.ok);
    EXPECT_EQ(deleted.message, setInUseForDeletion("华兴"));
    EXPECT_EQ(deleted.kind, &kInUse);
    const Outcome restored = restoreSet(admin, archive);
    EXPECT_FALSE(restored.ok);
    EXPECT_EQ(restored.message, "套账 华兴 正被另一个程序使用，不能恢复！  套账未作任何改动！");
    EXPECT_EQ(restored.kind, &kInUse);
    EXPECT_EQ(snapshot(dataDir(), folder), before);
    EXPECT_EQ(entryNames(dataDir()), dirBefore);
    EXPECT_TRUE(holdsSet(worker, "华兴"));

    // Free again: both go ahead.
    worker.logout();
    ASSERT_TRUE(restoreSet(admin, archive).ok);
    ASSERT_TRUE(deleteAccountSet(dataDir(), admin.login).ok);
    EXPECT_FALSE(fs::exists(folder));
}

TEST_F(SetLockTest, TheLoginThatRestoresASetKeepsItsLockOnTheRestoredFolder) {
    Session admin = loggedIn(dataDir(), "华兴", "张三", "mima");
    ASSERT_TRUE(takeSet(admin.login, dataDir(), "华兴").ok);
    const fs::path archive = elsewhere / "备份.zip";
    ASSERT_TRUE(backupSet(dataDir(), "华兴", archive).ok);
    const auto names = zipEntryNames(archive);
    EXPECT_EQ(std::count(names.begin(), names.end(), kLockFileName), 0)
        << "a backup never carries the lock";
    ASSERT_TRUE(addUser(dataDir(), admin, {"备份后", "y", "y"}).ok);

    ASSERT_TRUE(restoreSet(admin, archive).ok);
    EXPECT_TRUE(holdsSet(admin.login, "华兴"));
    LoginState second;
    EXPECT_FALSE(takeSet(second, dataDir(), "华兴").ok) << "the restored folder is still in use";
    for (const std::string& name : entryNames(dataDir())) EXPECT_FALSE(isWorkName(name)) << name;

    admin.login.logout();
    EXPECT_FALSE(fs::exists(folder / kLockFileName));
    EXPECT_TRUE(takeSet(second, dataDir(), "华兴").ok);
}

}  // namespace
}  // namespace tw::test
