// The start-up of a process on the account-set directory: under the lock it
// clears what dead processes left (and nothing of the user's); without the
// lock it touches nothing.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "shell/backup.h"
#include "shell/shell_fixture.h"
#include "shell/zip_fixture.h"
#include "startup/start_up.h"

namespace tw::test {
namespace {

class StartUpTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        create(setRequest("华兴"));
        folder = setFolder(dataDir(), "华兴");
    }
    fs::path folder;
    TempDir elsewhere;
};

TEST_F(StartUpTest, UnderTheLockWhatDeadProcessesLeftGoesAndNothingElse) {
    const auto setFiles = entryNames(folder);
    // Left by processes killed on the way: temporaries of a copy, a backup
    // and the templates, an older program's half-saved opening list.
    fs::create_directory(folder / ".tallowick-temp");
    writeFile(folder / ".tallowick-temp" / "会计科目.edb.part-77-88", "half a copy");
    writeFile(folder / "账务初始化.edb.new", "half a list");
    writeFile(folder / "账务初始化.edb.new.copy-4242", "half a copy");
    writeFile(folder / "凭证库.edb.part-12-345", "half a copy");
    writeFile(dataDir() / "报表.xlsx.make-99", "half a workbook");
    const fs::path part = elsewhere / ".备份.zip.part-5-6";
    writeFile(part, "half an archive");
    fs::create_directory(dataDir() / ".tallowick-temp");
    writeFile(dataDir() / ".tallowick-temp" / "note-5-6", pathText(part));
    // The user's own files, named alike but not the program's.
    writeFile(folder / "说明.txt", "mine");
    writeFile(folder / "旧.part-notes", "mine");
    writeFile(elsewhere / "备份.zip.part-1-2", "mine: not named by a note");

    // A backup holds the set's files only, whatever else lies in the folder.
    ASSERT_TRUE(backupSet(dataDir(), "华兴", elsewhere / "备份.zip").ok);
    EXPECT_EQ(zipEntryNames(elsewhere / "备份.zip"), setFiles);

    {
        // Another process has the directory: nothing is touched.
        const DirectoryLock other(dataDir());
        ASSERT_TRUE(other.held());
        const auto dirBefore = entryNames(dataDir());
        const auto folderBefore = entryNames(folder);
        EXPECT_TRUE(startUp(dataDir()).busy());
        EXPECT_EQ(entryNames(dataDir()), dirBefore);
        EXPECT_EQ(entryNames(folder), folderBefore);
        EXPECT_TRUE(fs::exists(part));
    }

    const DirectoryLock mine = startUp(dataDir());
    EXPECT_TRUE(mine.held());
    auto expected = setFiles;
    for (const char* own : {"说明.txt", "旧.part-notes"}) expected.push_back(own);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(entryNames(folder), expected);
    EXPECT_FALSE(fs::exists(part));
    EXPECT_FALSE(fs::exists(dataDir() / "报表.xlsx.make-99"));
    EXPECT_FALSE(fs::exists(dataDir() / ".tallowick-temp"));
    EXPECT_TRUE(fs::exists(elsewhere / "备份.zip.part-1-2"));
    EXPECT_TRUE(isAccountSetFolder(dataDir(), folder));
}

TEST_F(StartUpTest, ABackupKilledBeforeItsRenameLeavesNothingAfterTheNextStart) {
    const fs::path archive = elsewhere / "备份.zip";
    const pid_t child = ::fork();
    if (child == 0) {
        backupSet(dataDir(), "华兴", archive, [](const char* step) {
            if (std::string(step) == "written") ::raise(SIGKILL);
        });
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(entryNames(elsewhere.path()).size(), 1u) << "the half-made archive, hidden";
    EXPECT_FALSE(fs::exists(archive));

    const DirectoryLock lock = startUp(dataDir());
    ASSERT_TRUE(lock.held());
    EXPECT_TRUE(entryNames(elsewhere.path()).empty());
    EXPECT_FALSE(fs::exists(dataDir() / ".tallowick-temp"));
}

}  // namespace
}  // namespace tw::test
