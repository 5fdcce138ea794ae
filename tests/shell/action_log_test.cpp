// 上机日志 of a set: logins and failed logins, the log of a set made before it
// existed, entries that cannot be written or whose texts would not fit, and
// the log and the set's options through a backup and a restore.
#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

#include "shell/action_log.h"
#include "shell/backup.h"
#include "shell/set_options.h"
#include "shell/set_tables.h"
#include "shell_fixture.h"

namespace tw::test {
namespace {

class ActionLogTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        made = create(setRequest("华兴", "张三", "mima"));
        folder = setFolder(dataDir(), "华兴");
        admin = loggedIn(dataDir(), "华兴", "张三", "mima");
    }
    Result<bool> login(const std::string& user, const std::string& password, bool recorded,
                       LoginPurpose purpose = LoginPurpose::Work) {
        Session session;
        session.dataDir = dataDir();
        RecordStore store(dataDir());
        return logInTo(store, session, "华兴",
                       {.userName = user, .password = password, .purpose = purpose,
                        .recorded = recorded});
    }
    Result<ActionLog> read(const Session& as, const LogFilter& filter = {}) {
        RecordStore store(dataDir());
        return runCaught([&] { return readActionLog(store, as, filter); });
    }
    // "操作 用户 内容" of every entry.
    std::vector<std::string> lines(const LogFilter& filter = {}) {
        const auto log = read(admin, filter);
        EXPECT_TRUE(log.ok) << log.message;
        std::vector<std::string> out;
        for (const LogEntry& e : log.value.entries) out.push_back(e.what + " " + e.user + " " + e.detail);
        return out;
    }
    void append(const LogEntry& entry) {
        RecordStore store(dataDir());
        const Outcome out =
            recordOnItsOwn(store, folder, made.value.setPassword, entry);
        ASSERT_TRUE(out.ok) << out.message << " / " << out.detail;
    }
    fs::path log() const { return folder / fs::u8path(file::kActionLog); }

    Result<CreatedSet> made;
    fs::path folder;
    Session admin;
};

using Lines = std::vector<std::string>;

// The login window and the login command log 登录; the other commands, each a
// login of its own, do not. A refused login is logged whatever it was for,
// under the name as typed.
TEST_F(ActionLogTest, LoginsAreLoggedWhenAskedFailedOnesAlways) {
    ASSERT_TRUE(login("张三", "mima", false).ok);
    EXPECT_TRUE(lines().empty());
    ASSERT_TRUE(login("张三", "mima", true).ok);
    EXPECT_EQ(login("张三", "MIMA", false).message, kLoginRefused);
    EXPECT_EQ(login("王五", "mima", true).message, kLoginRefused);
    EXPECT_EQ(login("张三", "x", false, LoginPurpose::DeleteSet).message, kLoginRefused);
    ASSERT_TRUE(login("张三", "mima", true, LoginPurpose::DeleteSet).ok);
    EXPECT_EQ(lines(), (Lines{"登录 张三 ", "登录失败 张三 ", "登录失败 王五 ", "登录失败 张三 "}));
}

TEST_F(ActionLogTest, ASetMadeBeforeTheLogGetsItAtItsFirstLogin) {
    ASSERT_TRUE(fs::remove(log()));
    EXPECT_TRUE(lines().empty()) << "no log yet: no entries, no refusal";
    EXPECT_TRUE(setTableFaults(dataDir(), folder).empty());
    ASSERT_TRUE(login("张三", "mima", false).ok);
    ASSERT_TRUE(fs::exists(log()));
    EXPECT_TRUE(lines().empty());
    EXPECT_EQ(tableRows(dataDir(), log(), made.value.setPassword), std::vector<std::string>{});
}

// A login's entry has no action to fail with: the answer stands, and the
// reason the entry is missing goes to the developer.
TEST_F(ActionLogTest, AnEntryThatCannotBeWrittenChangesNoLoginAnswer) {
    ASSERT_TRUE(fs::remove(log()));
    fs::create_directory(log());
    const auto in = login("张三", "mima", true);
    EXPECT_TRUE(in.ok);
    EXPECT_NE(in.detail.find("not logged"), std::string::npos) << in.detail;
    const auto out = login("张三", "错", true);
    EXPECT_EQ(out.message, kLoginRefused);
    EXPECT_NE(out.detail.find("not logged"), std::string::npos) << out.detail;
    EXPECT_TRUE(fs::is_directory(log())) << "left as it was";
    EXPECT_EQ(read(admin).message, kUnreadableSet) << "never read as an empty log";
}

// An entry never fails its action for its text: what its field cannot hold
// is cut or replaced, a line break would split the listing.
TEST_F(ActionLogTest, TextsThatWouldNotFitAreCutNotRefused) {
    std::string longDetail;
    for (int i = 0; i < 300; ++i) longDetail += "账";
    const std::string name = "王\n五😀" + std::string(120, 'x');
    append({dayNumber(2013, 3, 1), name, "新建凭证", longDetail});
    const auto all = read(admin);
    ASSERT_TRUE(all.ok);
    ASSERT_EQ(all.value.entries.size(), 1u);
    const LogEntry& e = all.value.entries[0];
    EXPECT_EQ(e.detail, longDetail.substr(0, 127 * 3)) << "127 characters: 254 GBK bytes";
    EXPECT_EQ(e.user, "王 五?" + std::string(94, 'x')) << "100 GBK bytes";
}

// The option comes back as it was at the backup; the log, the set's history,
// loses nothing to a restore: it keeps what came after the backup and logs
// the restore last.
TEST_F(ActionLogTest, TheOptionComesBackWithARestoreAndTheLogKeepsEveryEntry) {
    const TempDir elsewhere;
    const fs::path archive = elsewhere / "备份.zip";
    RecordStore store(dataDir());
    ASSERT_TRUE(runAction(store, [&] { setReviewerApart(store, admin, true); }).ok);
    ASSERT_TRUE(addUser(dataDir(), admin, {"李四", "x", "x"}).ok);
    const Lines archived = lines();
    const Outcome backedUp = backUpOpenSet(admin, archive);
    ASSERT_TRUE(backedUp.ok) << backedUp.message;
    EXPECT_TRUE(backedUp.detail.empty()) << backedUp.detail;
    EXPECT_EQ(lines().back(), "备份 张三 " + pathText(archive));

    ASSERT_TRUE(runAction(store, [&] { setReviewerApart(store, admin, false); }).ok);
    ASSERT_TRUE(addUser(dataDir(), admin, {"王五", "y", "y"}).ok);
    Lines expected = lines();
    const Outcome restored = restoreSet(admin, archive);
    ASSERT_TRUE(restored.ok) << restored.message << " / " << restored.detail;

    RecordStore after(dataDir());
    EXPECT_TRUE(reviewerApart(after, admin));
    expected.push_back("恢复 张三 " + pathText(archive));
    EXPECT_EQ(lines(), expected);

    // A log that cannot be read does not stand in the way of the restore
    // that repairs the set: the archive's log comes back instead.
    std::ofstream(log(), std::ios::binary | std::ios::trunc) << "不是数据表";
    const Outcome repaired = restoreSet(admin, archive);
    ASSERT_TRUE(repaired.ok) << repaired.message << " / " << repaired.detail;
    expected = archived;
    expected.push_back("恢复 张三 " + pathText(archive));
    EXPECT_EQ(lines(), expected);
    EXPECT_TRUE(setTableFaults(dataDir(), folder).empty());
}

// A set of another company, from a program before the log: its archive has
// none, and this set's log (under this set's password) cannot come along.
TEST_F(ActionLogTest, AnArchiveOfAnotherSetWithoutALogGetsAFreshOne) {
    NewSetRequest other = setRequest("别家", "王五", "w");
    other.companyName = "别家贸易公司";
    // A set password is the time of day it was made at, to the second.
    for (create(other); setPasswordOf(dataDir(), "别家") == made.value.setPassword; create(other)) {
        fs::remove_all(setFolder(dataDir(), "别家"));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    ASSERT_TRUE(fs::remove(setFolder(dataDir(), "别家") / fs::u8path(file::kActionLog)));
    const TempDir elsewhere;
    const fs::path archive = elsewhere / "别家.zip";
    ASSERT_TRUE(backupSet(dataDir(), "别家", archive).ok);
    ASSERT_TRUE(addUser(dataDir(), admin, {"李四", "x", "x"}).ok);

    const Outcome restored = restoreSet(admin, archive);
    ASSERT_TRUE(restored.ok) << restored.message << " / " << restored.detail;
    EXPECT_TRUE(setTableFaults(dataDir(), folder).empty()) << "every table opens";
    const Session theirs = loggedIn(dataDir(), "华兴", "王五", "w");
    RecordStore store(dataDir());
    const auto log = runCaught([&] { return readActionLog(store, theirs, {}); });
    ASSERT_TRUE(log.ok) << log.message;
    ASSERT_EQ(log.value.entries.size(), 1u);
    EXPECT_EQ(log.value.entries[0].what, "恢复");
    EXPECT_EQ(log.value.entries[0].user, "张三");
}

}  // namespace
}  // namespace tw::test
