// Backing a set up to a ZIP archive and restoring it.
#include <sqlite3.h>
#include <sys/stat.h>

#include "shell/backup.h"
#include "shell/users.h"
#include "shell_fixture.h"
#include "zip_fixture.h"

namespace tw::test {
namespace {

// The first page of the b-tree `name` (a table or an index) in a table file.
long rootPage(const fs::path& file, const std::string& name) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT rootpage FROM sqlite_master WHERE name = ?", -1, &st, nullptr);
    sqlite3_bind_text(st, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    const long page = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : 1;
    sqlite3_finalize(st);
    sqlite3_close(db);
    return page;
}

class BackupTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        made = create(setRequest("华兴"));
        folder = setFolder(dataDir(), "华兴");
        admin = loggedIn(dataDir(), "华兴", "张三", "mima");
        archive = elsewhere / "备份.zip";
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
    TempDir elsewhere;  // archives live outside the account-set directory
    fs::path archive;
};

TEST_F(BackupTest, RestoreBringsBackEveryTableAsItWasAtBackupTime) {
    changeTheBooks("甲");
    const auto atBackup = snapshot(dataDir(), folder);
    ASSERT_TRUE(backupSet(dataDir(), "华兴", archive).ok);
    changeTheBooks("乙");
    ASSERT_NE(snapshot(dataDir(), folder), atBackup);
    const auto logged = snapshot(dataDir(), folder).at(file::kActionLog);

    const Outcome out = restoreSet(admin, archive);
    ASSERT_TRUE(out.ok) << out.message << " / " << out.detail;
    const auto restored = snapshot(dataDir(), folder);
    for (const auto& [file, rows] : withoutLog(atBackup)) EXPECT_EQ(restored.at(file), rows) << file;
    EXPECT_EQ(restored.size(), atBackup.size());
    // The log is the set's history: it keeps what came after the backup, and
    // the restore's own entry comes last.
    auto log = restored.at(file::kActionLog);
    ASSERT_FALSE(log.empty());
    EXPECT_NE(log.back().find("|张三|恢复|"), std::string::npos) << log.back();
    log.pop_back();
    EXPECT_EQ(log, logged);
    EXPECT_EQ(listAccountSets(dataDir()), std::vector<std::string>{"华兴"}) << "no work folders";
}

TEST_F(BackupTest, ArchiveHoldsTheSetFilesUnderRelativeUtf8Names) {
    // Only the set's own files go in: no journals, no temporaries, nothing
    // else a restore would have to refuse.
    fs::create_directory(folder / "附件");
    writeFile(folder / "附件" / "说明.txt", "hello");
    writeFile(folder / "账库.edb-journal", "stale");
    writeFile(folder / "账务初始化.edb.new", "left by an older program");
    ASSERT_TRUE(backupSet(dataDir(), "华兴", archive).ok);
    // Unpacked elsewhere by the restore of another set, it recreates the files.
    create(setRequest("另一个"));
    const Session other = loggedIn(dataDir(), "另一个", "张三", "mima");
    ASSERT_TRUE(restoreSet(other, archive).ok);
    const fs::path otherFolder = setFolder(dataDir(), "另一个");
    EXPECT_EQ(readFile(otherFolder / "基本信息"), readFile(folder / "基本信息"));
    for (const char* name : {"附件", "账库.edb-journal", "账务初始化.edb.new"})
        EXPECT_FALSE(fs::exists(otherFolder / name)) << name;
    EXPECT_EQ(entryNames(otherFolder).size(), 14u);
}

TEST_F(BackupTest, FilesTheArchiveDoesNotHoldStayInTheFolder) {
    ASSERT_TRUE(backupSet(dataDir(), "华兴", archive).ok);
    writeFile(folder / "凭证排序库.edb", "later");
    writeFile(folder / "自己.zip", "the user's own file");
    ASSERT_TRUE(restoreSet(admin, archive).ok);
    EXPECT_EQ(readFile(folder / "凭证排序库.edb"), "later");
    EXPECT_EQ(readFile(folder / "自己.zip"), "the user's own file");
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
    // Every table opens, but a page of 账库.edb has its cell pointers overwritten.
    const fs::path damaged = dataDir() / "坏页.zip";
    {
        std::vector<std::pair<std::string, std::string>> set;
        for (const auto& e : fs::directory_iterator(folder)) {
            std::string content = readFile(e.path());
            if (e.path().filename() == "账库.edb") {
                const long at = (rootPage(e.path(), "records") - 1) * 4096 + 8;
                for (long i = at; i < at + 64; ++i) content[i] = static_cast<char>(~content[i]);
            }
            set.emplace_back(pathText(e.path().filename()), content);
        }
        ASSERT_TRUE(writeZip(damaged, set));
    }
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
        {damaged, "备份文件已损坏，无法恢复！  套账未作任何改动！"},
    };
    for (const Case& c : cases) {
        const Outcome out = restoreSet(admin, c.archive);
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
    ASSERT_TRUE(restoreSet(admin, archive).ok);
    EXPECT_EQ(withoutLog(snapshot(dataDir(), folder)), withoutLog(atBackup));
}

TEST_F(BackupTest, AFailingBackupLeavesNothingUnderTheChosenNameAndNoPartFile) {
    // A folder holds the chosen name: refused by name before anything is written.
    const fs::path taken = elsewhere / "已占用.zip";
    fs::create_directories(taken / "里面");
    const Outcome out = backupSet(dataDir(), "华兴", taken);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.message, "“" + pathText(taken) + "”不是普通文件，不能用来保存导出的文件，请另选位置！");
    EXPECT_EQ(entryNames(taken), std::vector<std::string>{"里面"});
    // A folder that does not exist is named, and not made.
    EXPECT_EQ(backupSet(dataDir(), "华兴", elsewhere / "没有" / "a.zip").message,
              "文件夹“" + pathText(elsewhere / "没有") + "”不存在，不能用来保存导出的文件，请另选位置！");
    EXPECT_FALSE(fs::exists(elsewhere / "没有"));
    for (const std::string& name : entryNames(elsewhere.path()))
        EXPECT_EQ(name.find(".part-"), std::string::npos) << name;
}

// An archive brings its own users: restoring one is for administrators, and
// one made from another set replaces this set only when the question naming
// both companies is answered yes.
TEST_F(BackupTest, RestoreIsForAdministratorsAndAnotherSetsArchiveAsksFirst) {
    ASSERT_TRUE(backupSet(dataDir(), "华兴", archive).ok);
    ASSERT_TRUE(addUser(dataDir(), admin, {"李四", "x", "x"}).ok);
    const Session clerk = loggedIn(dataDir(), "华兴", "李四", "x");
    ASSERT_EQ(clerk.login.permission, 2);
    const auto before = snapshot(dataDir(), folder);
    const Outcome refused = restoreSet(clerk, archive);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, "您的权限不够！");
    EXPECT_EQ(snapshot(dataDir(), folder), before);

    // This set's own archive: no question.
    std::vector<std::string> questions;
    const auto ask = [&](bool answer) {
        return [&questions, answer](const std::string& q) {
            questions.push_back(q);
            return answer;
        };
    };
    ASSERT_TRUE(restoreSet(admin, archive, ask(false)).ok);
    EXPECT_TRUE(questions.empty());

    // Another company's set.
    NewSetRequest other = setRequest("别家", "王五", "w");
    other.companyName = "别家贸易公司";
    create(other);
    const fs::path theirs = elsewhere / "别家.zip";
    ASSERT_TRUE(backupSet(dataDir(), "别家", theirs).ok);
    const auto ours = snapshot(dataDir(), folder);
    const Outcome no = restoreSet(admin, theirs, ask(false));
    EXPECT_FALSE(no.ok);
    EXPECT_EQ(no.message, "") << "answered 不是: nothing more to say";
    EXPECT_EQ(snapshot(dataDir(), folder), ours);
    EXPECT_EQ(questions, std::vector<std::string>{
                             "所选备份是“别家贸易公司”的套账，不是当前套账“某某商贸有限公司”的备份。"
                             "恢复后当前套账的全部数据和用户都将被替换，是否继续恢复？"});
    ASSERT_TRUE(restoreSet(admin, theirs, ask(true)).ok);
    EXPECT_EQ(withoutLog(snapshot(dataDir(), folder)),
              withoutLog(snapshot(dataDir(), setFolder(dataDir(), "别家"))));
}

TEST_F(BackupTest, HostileArchivesAreRefusedBeforeTheyFillTheDisk) {
    ASSERT_TRUE(backupSet(dataDir(), "华兴", archive).ok);
    changeTheBooks("后");
    const auto before = snapshot(dataDir(), folder);
    std::vector<std::pair<std::string, std::string>> setFiles;
    for (const auto& e : fs::directory_iterator(folder))
        setFiles.emplace_back(pathText(e.path().filename()), readFile(e.path()));
    const auto withSetFiles = [&](std::vector<std::pair<std::string, std::string>> extra) {
        extra.insert(extra.begin(), setFiles.begin(), setFiles.end());
        return extra;
    };
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> entries;
        const char* message;
    };
    // 40 MB of zeros packs into some 40 KB: a thousand times its size.
    const Case cases[] = {
        {"炸弹.zip", withSetFiles({{"总账.xls", std::string(40u << 20, '\0')}}),
         "备份文件解压后过大，拒绝恢复！  套账未作任何改动！"},
        {"夹带.zip", withSetFiles({{"病毒.exe", "MZ"}}),
         "备份文件中含有不属于套账的文件，拒绝恢复！  套账未作任何改动！"},
        {"子目录.zip", withSetFiles({{"附件/说明.txt", "x"}}),
         "备份文件中含有不属于套账的文件，拒绝恢复！  套账未作任何改动！"},
        {"日志.zip", withSetFiles({{"账库.edb-journal", "x"}}),
         "备份文件中含有不属于套账的文件，拒绝恢复！  套账未作任何改动！"},
    };
    for (const Case& c : cases) ASSERT_TRUE(writeZip(elsewhere / c.name, c.entries)) << c.name;

    // Tables that open but have other fields: a saved opening list in the
    // layout of the chart.
    {
        RecordStore store(dataDir());
        Action action(store);
        const fs::path odd = elsewhere / "账务初始化.edb";
        ASSERT_TRUE(store.createTable(odd, accountsSchema()));
        ASSERT_TRUE(store.openTable(odd, ""));
        store.setTablePassword(made.value.setPassword);
        action.commit();
    }
    ASSERT_TRUE(writeZip(elsewhere / "异样.zip",
                         withSetFiles({{"账务初始化.edb", readFile(elsewhere / "账务初始化.edb")}})));
    // Not files at all: a pipe would block the restore for ever, a folder is no archive.
    const fs::path pipe = elsewhere / "管道.zip";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    fs::create_directory(elsewhere / "文件夹.zip");
    const auto dirBefore = entryNames(dataDir());

    const std::pair<std::string, std::string> expected[] = {
        {"炸弹.zip", cases[0].message}, {"夹带.zip", cases[1].message},
        {"子目录.zip", cases[2].message}, {"日志.zip", cases[3].message},
        {"异样.zip", "所选文件不是套账备份，无法恢复！  套账未作任何改动！"},
        {"管道.zip", "所选文件不是套账备份，无法恢复！  套账未作任何改动！"},
        {"文件夹.zip", "所选文件不是套账备份，无法恢复！  套账未作任何改动！"},
    };
    for (const auto& [name, message] : expected) {
        const Outcome out = restoreSet(admin, elsewhere / name);
        EXPECT_FALSE(out.ok) << name;
        EXPECT_EQ(out.message, message) << name << " / " << out.detail;
        expectUntouched(before, dirBefore);
    }
    EXPECT_FALSE(fs::exists(folder / "总账.xls"));
}

TEST_F(BackupTest, BackupsIntoTheDirectoryOrOfAnUnreadableSetAreRefused) {
    // Renamed over a table, a template or the set folder's own file, the
    // archive would destroy it; nothing is written there.
    const auto tables = snapshot(dataDir(), folder);
    const std::string chart = readFile(folder / "会计科目.edb");
    const std::string templateChart = readFile(dataDir() / "会计科目.edb");
    fs::create_directory_symlink(dataDir(), elsewhere / "链接");
    for (const fs::path& into : {folder / "会计科目.edb", dataDir() / "会计科目.edb",
                                 dataDir() / "备份.zip", folder / "新.zip",
                                 elsewhere / "链接" / "备份.zip"}) {
        const Outcome out = backupSet(dataDir(), "华兴", into);
        EXPECT_FALSE(out.ok) << pathText(into);
        EXPECT_EQ(out.message, "备份文件不能保存在套账目录中，请另选位置！") << pathText(into);
    }
    EXPECT_EQ(readFile(folder / "会计科目.edb"), chart);
    EXPECT_EQ(readFile(dataDir() / "会计科目.edb"), templateChart);
    EXPECT_FALSE(fs::exists(dataDir() / "备份.zip"));
    EXPECT_FALSE(fs::exists(folder / "新.zip"));
    EXPECT_EQ(snapshot(dataDir(), folder), tables);

    // A set whose ledger cannot be read has nothing worth keeping: no archive,
    // and no report of success.
    writeFile(folder / "账库.edb", "不是数据表");
    const Outcome out = backupSet(dataDir(), "华兴", archive);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.message, "无法读出套账数据！  请检查后重试！");
    EXPECT_FALSE(fs::exists(archive));
    EXPECT_TRUE(entryNames(elsewhere.path()) == std::vector<std::string>{"链接"});
}

}  // namespace
}  // namespace tw::test
