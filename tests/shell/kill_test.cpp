// A process killed while it creates or restores a set leaves the set either as
// it was or as it was meant to become, after the next start's clean-up.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <random>
#include <thread>

#include "shell/backup.h"
#include "support/built_programs.h"
#include "shell/set_folders.h"
#include "shell/users.h"
#include "shell_fixture.h"
#include "zip_fixture.h"

namespace tw::test {
namespace {

// Runs `work` in a child process that kills itself at the named step (or
// runs to the end when the step never comes); true when it was killed.
template <class F>
bool runAndKillAt(const std::string& killStep, F work) {
    const pid_t child = ::fork();
    if (child == 0) {
        work([&](const char* step) {
            if (killStep == step) ::raise(SIGKILL);
        });
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status);
}

// What the next start does first.
void restart(const fs::path& dataDir) {
    clearWorkLeftovers(dataDir);
    prepareDataDir(dataDir);
}

class KillTest : public ShellTest {};

TEST_F(KillTest, CreatingASetKilledAtAnyStepLeavesNoSetOrAWholeOne) {
    for (const std::string killAt : {"copied", "tables", "renamed", "never"}) {
        SCOPED_TRACE(killAt);
        const bool killed = runAndKillAt(killAt, [&](const StepHook& hook) {
            createAccountSet(dataDir(), setRequest("新公司"), hook);
        });
        restart(dataDir());
        const fs::path folder = setFolder(dataDir(), "新公司");
        const bool expectSet = !killed || killAt == "renamed";
        EXPECT_EQ(fs::exists(folder), expectSet);
        if (fs::exists(folder)) {
            EXPECT_TRUE(isAccountSetFolder(dataDir(), folder));
            EXPECT_EQ(loggedIn(dataDir(), "新公司", "张三", "mima").login.permission, 1);
            EXPECT_EQ(entryNames(folder).size(), 14u);
        }
        for (const std::string& name : entryNames(dataDir()))
            EXPECT_FALSE(isWorkName(name)) << name;
        EXPECT_EQ(listAccountSets(dataDir()).size(), expectSet ? 1u : 0u);
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
}

class RestoreKillTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        made = create(setRequest("华兴"));
        folder = setFolder(dataDir(), "华兴");
        admin = loggedIn(dataDir(), "华兴", "张三", "mima");
        ASSERT_TRUE(addUser(dataDir(), admin, {"备份时", "x", "x"}).ok);
        archive = keep / "备份.zip";
        ASSERT_TRUE(backupSet(dataDir(), "华兴", archive).ok);
        newState = state();
        ASSERT_TRUE(addUser(dataDir(), admin, {"备份后", "y", "y"}).ok);
        oldState = state();
        fs::copy(folder, keep.path() / "华兴", fs::copy_options::recursive);
    }
    // The set as the restore leaves it, but for the entry it logs in it.
    std::map<std::string, std::vector<std::string>> state() {
        return withoutLog(snapshot(dataDir(), folder));
    }
    void backToOld() {
        fs::remove_all(folder);
        fs::copy(keep.path() / "华兴", folder, fs::copy_options::recursive);
        ASSERT_EQ(state(), oldState);
    }
    // Old or new as a whole, never a mixture; no work folder left.
    void expectOldOrNew(bool* wasNew = nullptr) {
        const auto now = state();
        const bool isNew = now == newState;
        EXPECT_TRUE(isNew || now == oldState) << "a mixture of old and new tables";
        if (wasNew) *wasNew = isNew;
        for (const std::string& name : entryNames(dataDir()))
            EXPECT_FALSE(isWorkName(name)) << name;
    }
    Result<CreatedSet> made;
    fs::path folder, archive;
    Session admin;
    std::map<std::string, std::vector<std::string>> oldState, newState;
    TempDir keep;
};

TEST_F(RestoreKillTest, RestoreKilledAtAnyStepLeavesTheOldOrTheNewSet) {
    for (const std::string killAt : {"unpacked", "checked", "merged", "aside", "swapped", "done"}) {
        SCOPED_TRACE(killAt);
        const bool killed = runAndKillAt(killAt, [&](const StepHook& hook) {
            restoreSet(admin, archive, {}, hook);
        });
        restart(dataDir());
        bool wasNew = false;
        expectOldOrNew(&wasNew);
        EXPECT_EQ(wasNew, !killed || killAt == "swapped" || killAt == "done");
        backToOld();
    }
}

TEST_F(RestoreKillTest, ABackupKilledBeforeItsRenameKeepsTheOldArchiveWhole) {
    const std::string old = readFile(archive);
    EXPECT_TRUE(runAndKillAt("written", [&](const StepHook& hook) {
        backupSet(dataDir(), "华兴", archive, hook);
    }));
    EXPECT_EQ(readFile(archive), old);
    ASSERT_TRUE(restoreSet(admin, archive).ok);
    EXPECT_EQ(state(), newState);
}

TEST_F(RestoreKillTest, AnInterruptedTwoRenameSwapIsPutBackAtStart) {
    // Where the file system cannot exchange two folders atomically, the swap is
    // two renames recorded by a marker; stopped between them, the set folder is
    // missing and the old one waits beside it.
    const fs::path staged = workFolder(dataDir(), "restore");
    fs::create_directory(staged);
    fs::path aside = staged;
    aside += ".old";
    fs::path marker = staged;
    marker += ".swap";
    std::ofstream(marker) << "华兴";
    fs::rename(folder, aside);
    restart(dataDir());
    expectOldOrNew();
    EXPECT_EQ(state(), oldState);
}

TEST_F(RestoreKillTest, TheProgramKilledAtRandomMomentsOfARestoreNeverMixesTheSets) {
    // The real command, killed after a random delay within its usual run time;
    // most of that time goes to checking the password, so the delays lean
    // towards the end where the folders are swapped.
    const std::string cli = kCliPath;
    auto run = [&](int delayMicros) {
        const pid_t child = ::fork();
        if (child == 0) {
            const std::string dir = pathText(dataDir());
            const std::string from = pathText(archive);
            ::execl(cli.c_str(), cli.c_str(), "--data-dir", dir.c_str(), "restore", "华兴",
                    "--user", "张三", "--password", "mima", "--from", from.c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        if (delayMicros >= 0) {
            std::this_thread::sleep_for(std::chrono::microseconds(delayMicros));
            ::kill(child, SIGKILL);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return status;
    };
    const auto start = std::chrono::steady_clock::now();
    const int status = run(-1);
    const auto runTime =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start)
            .count();
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(state(), newState);

    std::mt19937 random(20120315);
    int sawOld = 0, sawNew = 0;
    std::uniform_int_distribution<long> delay(runTime / 2, runTime + runTime / 10);
    for (int round = 0; round < 20; ++round) {
        backToOld();
        run(static_cast<int>(delay(random)));
        restart(dataDir());
        bool wasNew = false;
        expectOldOrNew(&wasNew);
        (wasNew ? sawNew : sawOld)++;
    }
    RecordProperty("killed_before_swap", sawOld);
    RecordProperty("killed_after_swap", sawNew);
}

}  // namespace
}  // namespace tw::test
