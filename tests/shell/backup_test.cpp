// Backing a set up to a ZIP archive and restoring it.
#include "shell/backup.h"
#include "shell/users.h"
#include "shell_fixture.h"
#include "zip_fixture.h"

namespace tw::test {
namespace {

class BackupTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        made = create(setRequest("华兴"));
        folder = setFolder(dataDir(), "华兴");
        admin = loggedIn(dataDir(), "华兴", "张三", "mima");
        archive = dataDir() / "备份.zip";
    }
    // Changes several tables of the set so that a restore has something to undo.
    void changeTheBooks(const std::string& tag) {
        ASSERT_TRUE(addUser(dataDir(), admin, {"用户" + tag, "x", "x"}).ok);
        RecordStore store(dataDir());
        Action action(store);
        ASSERT_TRUE(store.openTable(folder / "账库.edb", made.value.setPassword));
        store.appendRecord({dayNumber(2012, 3, 20), 1, "摘要" + tag, "库存现金", 100.5, 0.0, "借", 100.5});
        ASSERT_TRUE(store.openTable(folder / "摘要库.edb", ""));
        store.appendRecord({"常用" + tag, "分类"});
        action.commit();
    }
    // The whole set as it stands, and nothing else left in the directory.
    void expectUntouched(const std::map<std::string, std::vector<std::string>>& before,
                         const std::vector<std::string>& dirBefore) {
        EXPECT_EQ(snapshot(dataDir(), folder), before);
        EXPECT_EQ(entryNames(dataDir()), dirBefore);
    }

    Result<CreatedSet> made;
    fs::path folder;
    Session admin;
    fs::path archive;
};

TEST_F(BackupTest, RestoreBringsBackEveryTableAsItWasAtBackupTime) {
    changeTheBooks("甲");
    const auto atBackup = snapshot(dataDir(), folder);
    ASSERT_TRUE(backupSet(dataDir(), "华兴", archive).ok);
    changeTheBooks("乙");
    ASSERT_NE(snapshot(dataDir(), folder), atBackup);

    const Outcome out = restoreSet(dataDir(), "华兴", archive);
    ASSERT_TRUE(out.ok) << out.message << " / " << out.detail;
    const auto restored = snapshot(dataDir(), folder);
    for (const auto& [file, rows] : atBackup) EXPECT_EQ(restored.at(file), rows) << file;
    EXPECT_EQ(restored.size(), atBackup.size());
    EXPECT_EQ(listAccountSets(dataDir()), std::vector<std::string>{"华兴"}) << "no work folders";
}

TEST_F(BackupTest, ArchiveHoldsTheSetFilesUnderRelativeUtf8Names) {
    fs::create_directory(folder / "附件");
    writeFile(folder / "附件" / "说明.txt", "hello");
    writeFile(folder / "账库.edb-journal", "stale");  // SQLite's, never archived
    ASSERT_TRUE(backupSet(dataDir(), "华兴", archive).ok);
    // Unpacked elsewhere by the restore of another set, it recreates the files.
    create(setRequest("另一个"));
    ASSERT_TRUE(restoreSet(dataDir(), "另一个", archive).ok);
    const fs::path other = setFolder(dataDir(), "另一个");
    EXPECT_EQ(readFile(other / "附件" / "说明.txt"), "hello");
    EXPECT_EQ(readFile(other / "基本信息"), readFile(folder / "基本信息"));
    EXPECT_FALSE(fs::exists(other / "账库.edb-journal"));
}

TEST_F(BackupTest, FilesTheArchiveDoesNotHoldStayInTheFolder) {
    ASSERT_TRUE(backupSet(dataDir(), "华兴", archive).ok);
    writeFile(folder / "凭证排序库.edb", "later");
    const fs::path inside = folder / "自己.zip";
    ASSERT_TRUE(backupSet(dataDir(), "华兴", inside).ok);
    // An archive saved inside the set folder does not include itself ...
    ASSERT_TRUE(restoreSet(dataDir(), "华兴", inside).ok);
    EXPECT_TRUE(fs::exists(inside)) << "... and survives its own restore";
    ASSERT_TRUE(restoreSet(dataDir(), "华兴", archive).ok);
    EXPECT_EQ(readFile(folder / "凭证排序库.edb"), "later");
    EXPECT_TRUE(fs::exists(inside));
}

TEST_F(BackupTest, DamagedForeignAndHostileArchivesLeaveTheSetUntouched) {
    ASSERT_TRUE(backupSet(dataDir(), "华兴", archive).ok);
    changeTheBooks("后");
    const auto before = snapshot(dataDir(), folder);

    // A byte changed in the middle: a CRC error. Cut short: not an archive.
    std::string bytes = readFile(archive);
    const fs::path flipped = dataDir() / "坏1.zip", truncated = dataDir() / "坏2.zip";
    std::string corrupt = bytes;
    corrupt[corrupt.size() / 3] ^= 0x55;
    writeFile(flipped, corrupt);
    writeFile(truncated, bytes.substr(0, bytes.size() / 2));
    // A set folder with its tables, plus an entry that climbs out of it.
    const fs::path slip = dataDir() / "越界.zip";
    std::vector<std::pair<std::string, std::string>> entries;
    for (const auto& e : fs::directory_iterator(folder))
        entries.emplace_back(pathText(e.path().filename()), readFile(e.path()));
    entries.emplace_back("../../越界.txt", "pwned");
    ASSERT_TRUE(writeZip(slip, entries));
    const fs::path absolute = dataDir() / "绝对.zip";
    ASSERT_TRUE(writeZip(absolute, {{"/tmp/tallowick-absolute.txt", "x"}}));
    const fs::path foreign = dataDir() / "文档.zip";
    ASSERT_TRUE(writeZip(foreign, {{"文档/说明.txt", "text"}, {"照片.jpg", "jpeg"}}));
    // Looks like a set by name, but 基本信息 is not a table.
    const fs::path fake = dataDir() / "假.zip";
    ASSERT_TRUE(writeZip(fake, {{"基本信息", "not a table"}, {"用户", "x"}}));
    const auto dirBefore = entryNames(dataDir());

    struct Case {
        fs::path archive;
        const char* message;
    };
    const Case cases[] = {
        {flipped, "备份文件已损坏，无法恢复！  套账未作任何改动！"},
        {truncated, "备份文件已损坏，无法恢复！  套账未作任何改动！"},
        {dataDir() / "不存在.zip", "备份文件已损坏，无法恢复！  套账未作任何改动！"},
        {slip, "备份文件中含有套账目录以外的路径，拒绝恢复！  套账未作任何改动！"},
        {absolute, "备份文件中含有套账目录以外的路径，拒绝恢复！  套账未作任何改动！"},
        {foreign, "所选文件不是套账备份，无法恢复！  套账未作任何改动！"},
        {fake, "所选文件不是套账备份，无法恢复！  套账未作任何改动！"},
    };
    for (const Case& c : cases) {
        const Outcome out = restoreSet(dataDir(), "华兴", c.archive);
        EXPECT_FALSE(out.ok) << pathText(c.archive);
        EXPECT_EQ(out.message, c.message) << pathText(c.archive) << " / " << out.detail;
        expectUntouched(before, dirBefore);
    }
    EXPECT_FALSE(fs::exists(dataDir().parent_path() / "越界.txt"));
    EXPECT_FALSE(fs::exists("/tmp/tallowick-absolute.txt"));
}

TEST_F(BackupTest, AnArchiveWithTheSetInOneTopFolderRestoresToo) {
    changeTheBooks("甲");
    const auto atBackup = snapshot(dataDir(), folder);
    std::vector<std::pair<std::string, std::string>> entries{{"华兴/", ""}};
    for (const auto& e : fs::directory_iterator(folder))
        entries.emplace_back("华兴/" + pathText(e.path().filename()), readFile(e.path()));
    ASSERT_TRUE(writeZip(archive, entries));
    changeTheBooks("乙");
    ASSERT_TRUE(restoreSet(dataDir(), "华兴", archive).ok);
    EXPECT_EQ(snapshot(dataDir(), folder), atBackup);
}

TEST_F(BackupTest, AFailingBackupLeavesNothingUnderTheChosenNameAndNoPartFile) {
    // The finished archive cannot take the chosen name: a folder holds it.
    const fs::path taken = dataDir() / "已占用.zip";
    fs::create_directories(taken / "里面");
    const Outcome out = backupSet(dataDir(), "华兴", taken);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.message, "备份失败！  请检查备份文件的位置和磁盘空间后重试！");
    EXPECT_EQ(entryNames(taken), std::vector<std::string>{"里面"});
    // A folder that does not exist.
    EXPECT_EQ(backupSet(dataDir(), "华兴", dataDir() / "没有" / "a.zip").message,
              "备份失败！  请检查备份文件的位置和磁盘空间后重试！");
    for (const std::string& name : entryNames(dataDir()))
        EXPECT_EQ(name.find(".part-"), std::string::npos) << name;
}

}  // namespace
}  // namespace tw::test
