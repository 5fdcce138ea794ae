// Two processes on one account-set directory: the program and tallowick-cli
// started for real. One holds the directory; the other is refused at once and
// touches nothing; what a killed process left is recovered by the next one.
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>

#include "../support/spawn.h"
#include "support/built_programs.h"
#include "shell/backup.h"
#include "shell_fixture.h"
#include "startup/start_up.h"
#include "zip_fixture.h"

namespace tw::test {
namespace {

constexpr const char* kInUse = "套账目录正被另一个程序使用，请关闭后再试。\n";
constexpr int kInUseStatus = 5;

class ProcessLockTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        create(setRequest("华兴"));
        folder = setFolder(dataDir(), "华兴");
    }
    std::vector<std::string> cli(std::vector<std::string> args) const {
        args.insert(args.begin(), {kCliPath, "--data-dir", pathText(dataDir())});
        return args;
    }
    // A command of the set 华兴 as its administrator.
    std::vector<std::string> asAdmin(std::vector<std::string> args) const {
        args.insert(args.begin() + (args[0] == "account" || args[0] == "opening" ? 2 : 1),
                    {"华兴", "--user", "张三", "--password", "mima"});
        return cli(args);
    }
    Started startCli(const std::vector<std::string>& argv, const std::string& tag) {
        return startProcess(argv, {}, output.path(), tag);
    }
    // The desktop program, offscreen, quitting after a picture of its window
    // (tag.png); the texts of the messages it showed are in tag.txt.
    Started startProgram(const std::string& tag) {
        return startProcess({kProgramPath, "--screenshot", pathText(output / (tag + ".png"))},
                            {"QT_QPA_PLATFORM=offscreen", "TALLOWICK_DATA_DIR=" + pathText(dataDir())},
                            output.path(), tag);
    }
    // The messages the program started as `tag` showed, one a line, as it
    // noted them beside its picture.
    std::string shownMessages(const std::string& tag) const { return readFile(output / (tag + ".txt")); }
    Finished run(const std::vector<std::string>& argv) {
        return waitProcess(startCli(argv, "run"));
    }
    std::vector<std::string> accountNames() {
        std::vector<std::string> names;
        for (const auto& row : tableRows(dataDir(), folder / "会计科目.edb", setPasswordOf(dataDir(), "华兴")))
            names.push_back(row.substr(0, row.find('|')));
        return names;
    }
    bool hasAccount(const std::string& name) {
        const auto names = accountNames();
        return std::find(names.begin(), names.end(), name) != names.end();
    }
    // Journals and super-journals left in the directory or the set folder.
    std::vector<std::string> journals() {
        std::vector<std::string> found;
        for (const fs::path& dir : {dataDir(), folder})
            for (const std::string& name : entryNames(dir))
                if (name.ends_with("-journal") || name.find("-mj") != std::string::npos)
                    found.push_back(name);
        return found;
    }

    fs::path folder;
    TempDir output;  // what the processes print, their pictures
};

TEST_F(ProcessLockTest, ASecondProcessIsRefusedAtOnceAndTouchesNothing) {
    // This test process is the first program. Its action in flight has a work
    // folder, a super-journal and a temporary file: none of them are leftovers.
    DirectoryLock first(dataDir());
    ASSERT_TRUE(first.held());
    const fs::path work = dataDir() / ".tallowick-work-new-1-abc";
    fs::create_directory(work);
    writeFile(work / "基本信息", "being made");
    writeFile(dataDir() / ".tallowick-actions.db-mj1234ABCD", "super-journal");
    fs::create_directory(folder / ".tallowick-temp");
    writeFile(folder / ".tallowick-temp" / "会计科目.edb.part-1-2", "half");
    const auto tables = snapshot(dataDir(), folder);
    const auto dirNames = entryNames(dataDir());
    const auto folderNames = entryNames(folder);

    const auto started = std::chrono::steady_clock::now();
    const Finished add = run(asAdmin({"account", "add", "--name", "零用金", "--parent", "现金",
                                      "--category", "资产类", "--direction", "借方"}));
    const Finished sets = run(cli({"sets"}));
    const auto took = std::chrono::steady_clock::now() - started;
    for (const Finished& f : {add, sets}) {
        EXPECT_EQ(f.status, kInUseStatus);
        EXPECT_EQ(f.err, kInUse);
        EXPECT_EQ(f.out, "");
    }
    EXPECT_LT(took, std::chrono::seconds(10)) << "refused at once, not after waiting";

    // The desktop program says so in its message window, that message alone, and ends.
    const Finished program = waitProcess(startProgram("second"));
    EXPECT_EQ(program.status, kInUseStatus) << program.err;
    EXPECT_EQ(shownMessages("second"), std::string(kDirectoryInUse) + "\n");

    EXPECT_EQ(snapshot(dataDir(), folder), tables);
    EXPECT_EQ(entryNames(dataDir()), dirNames);
    EXPECT_EQ(entryNames(folder), folderNames);
    EXPECT_EQ(readFile(work / "基本信息"), "being made");

    // Once the first program has ended, the next process takes the directory,
    // clears what it left, and works.
    first = DirectoryLock();
    const Finished after = run(asAdmin({"account", "add", "--name", "零用金", "--parent", "现金",
                                        "--category", "资产类", "--direction", "借方"}));
    EXPECT_EQ(after.status, 0) << after.err;
    EXPECT_TRUE(hasAccount("现金→零用金"));
    EXPECT_FALSE(fs::exists(work));
    EXPECT_FALSE(fs::exists(dataDir() / ".tallowick-actions.db-mj1234ABCD"));
    EXPECT_FALSE(fs::exists(folder / ".tallowick-temp"));
}

TEST_F(ProcessLockTest, ALockThatCannotBeTakenRefusesLikeABusyOne) {
    // A lock file that cannot be opened (a link to nowhere): without the
    // lock two commands would work side by side.
    fs::remove(dataDir() / ".tallowick-lock");
    fs::create_symlink("/nonexistent-folder/lock", dataDir() / ".tallowick-lock");
    const auto tables = snapshot(dataDir(), folder);
    const auto dirNames = entryNames(dataDir());
    for (const auto& args : {cli({"sets"}), asAdmin({"account", "add", "--name", "零用金", "--parent",
                                                     "现金", "--category", "资产类", "--direction",
                                                     "借方"})}) {
        const Finished f = run(args);
        EXPECT_EQ(f.status, kInUseStatus);
        EXPECT_EQ(f.err, kInUse);
        EXPECT_EQ(f.out, "");
    }
    EXPECT_EQ(waitProcess(startProgram("unlockable")).status, kInUseStatus);
    EXPECT_EQ(shownMessages("unlockable"), std::string(kDirectoryInUse) + "\n");
    EXPECT_EQ(snapshot(dataDir(), folder), tables);
    EXPECT_EQ(entryNames(dataDir()), dirNames);
    EXPECT_FALSE(hasAccount("现金→零用金"));
}

TEST_F(ProcessLockTest, TheNextProcessRecoversTheActionOfAKilledOne) {
    ASSERT_EQ(run(asAdmin({"opening", "set", "--account", "现金", "--debit", "100"})).status, 0);
    ASSERT_EQ(run(asAdmin({"opening", "set", "--account", "实收资本", "--credit", "100"})).status, 0);
    const TempDir keep;
    fs::copy(folder, keep / "华兴", fs::copy_options::recursive);
    const auto backToOld = [&] {
        fs::remove_all(folder);
        fs::copy(keep / "华兴", folder, fs::copy_options::recursive);
    };
    const std::string password = setPasswordOf(dataDir(), "华兴");
    // Enabled with its rows in every ledger table, or not at all.
    const auto state = [&] {
        RecordStore store(dataDir());
        const bool enabled = readBasicInfo(store, dataDir(), "华兴").enabled;
        const auto ledger = tableRows(dataDir(), folder / "账库.edb", password).size();
        const auto balances = tableRows(dataDir(), folder / "账库辅1.edb", password).size();
        const auto general = tableRows(dataDir(), folder / "总账库.edb", password).size();
        EXPECT_EQ(ledger, enabled ? 2u : 0u);
        EXPECT_EQ(balances, enabled ? 2u : 0u);
        EXPECT_EQ(general, enabled ? 2u : 0u);
        return enabled;
    };

    const auto enableArgs = asAdmin({"opening", "enable"});
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(run(enableArgs).status, 0);
    const long runTime = std::chrono::duration_cast<std::chrono::microseconds>(
                             std::chrono::steady_clock::now() - start)
                             .count();
    ASSERT_TRUE(state());

    // Killed at moments that lean towards the end of its run, where it commits.
    std::mt19937 random(20130301);
    std::uniform_int_distribution<long> delay(runTime * 6 / 10, runTime * 11 / 10);
    int sawOld = 0, sawNew = 0;
    for (int round = 0; round < 12; ++round) {
        backToOld();
        const Started enable = startCli(enableArgs, "enable");
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ::kill(enable.pid, SIGKILL);
        waitProcess(enable);
        // The next process takes the directory the killed one held, and
        // rolls its action back (or finds it done).
        const Finished next = run(asAdmin({"login"}));
        EXPECT_EQ(next.status, 0) << next.err;
        (state() ? sawNew : sawOld)++;
        EXPECT_EQ(journals(), std::vector<std::string>{});
        for (const std::string& name : entryNames(dataDir())) EXPECT_FALSE(isWorkName(name)) << name;
    }
    RecordProperty("killed_before_commit", sawOld);
    RecordProperty("killed_after_commit", sawNew);
}

// Two command-line writers and the desktop program started together, round
// after round: each either does its work or is refused with the message, and
// what it reports is what the files hold. TALLOWICK_LOCK_ROUNDS sets how many
// rounds (a few by default).
TEST_F(ProcessLockTest, TwoWritersAndTheProgramStartedTogether) {
    const char* env = std::getenv("TALLOWICK_LOCK_ROUNDS");
    const int rounds = env ? std::max(1, std::atoi(env)) : 4;
    int done[3] = {0, 0, 0}, refused[3] = {0, 0, 0};  // writer A, writer B, program
    double debit = 0;  // 现金's opening debit as last saved
    for (int i = 0; i < rounds; ++i) {
        SCOPED_TRACE("round " + std::to_string(i));
        const std::string n = std::to_string(i);
        // A makes a set or adds an account; B adds a user or saves an amount.
        const bool makesSet = i % 2 == 1;
        const auto a = makesSet ? cli({"set", "create", "新" + n, "--admin", "赵六", "--password", "z",
                                       "--start", "2013-01-01"})
                                : asAdmin({"account", "add", "--name", "甲" + n, "--category",
                                           "资产类", "--direction", "借方"});
        const bool addsUser = i % 3 != 2;
        const auto b = addsUser ? cli({"user", "add", "华兴", "乙" + n, "--password", "p", "--as",
                                       "张三", "--as-password", "mima"})
                                : asAdmin({"opening", "set", "--account", "现金", "--debit",
                                           std::to_string(i + 1)});
        // Started together, in an order that turns with the rounds.
        Started started[3];
        for (int k = 0; k < 3; ++k) {
            const int who = (i + k) % 3;
            started[who] = who == 0   ? startCli(a, "a")
                           : who == 1 ? startCli(b, "b")
                                      : startProgram("program");
        }
        Finished finished[3];
        for (int who = 0; who < 3; ++who) finished[who] = waitProcess(started[who]);

        for (int who = 0; who < 3; ++who) {
            const Finished& f = finished[who];
            ASSERT_TRUE(f.status == 0 || f.status == kInUseStatus)
                << "process " << who << " exited " << f.status << ": " << f.err;
            if (f.status == kInUseStatus && who != 2) {
                EXPECT_EQ(f.err, kInUse);
            }
            if (f.status == kInUseStatus && who == 2) {  // the program says it in its message window
                EXPECT_EQ(shownMessages("program"), std::string(kDirectoryInUse) + "\n");
            }
            (f.status == 0 ? done : refused)[who]++;
        }
        // Every success is in the files, every refusal is not.
        const bool aDone = finished[0].status == 0, bDone = finished[1].status == 0;
        if (makesSet) {
            const fs::path made = setFolder(dataDir(), "新" + n);
            EXPECT_EQ(fs::exists(made), aDone);
            if (aDone) {
                EXPECT_TRUE(isAccountSetFolder(dataDir(), made));
            }
        } else {
            EXPECT_EQ(hasAccount("甲" + n), aDone);
        }
        if (addsUser) {
            RecordStore store(dataDir());
            Session s;
            s.dataDir = dataDir();
            s.login.setName = "华兴";
            s.login.setPassword = setPasswordOf(dataDir(), "华兴");
            const auto users = userNames(store, s);
            EXPECT_EQ(std::find(users.begin(), users.end(), "乙" + n) != users.end(), bDone);
        } else {
            if (bDone) {
                debit = i + 1;
            }
            const auto saved = tableRows(dataDir(), folder / "账务初始化.edb",
                                         setPasswordOf(dataDir(), "华兴"));
            for (const std::string& row : saved)
                if (row.find("|现金|") != std::string::npos) {
                    EXPECT_NE(row.find("|现金|" + std::to_string(debit) + "|"), std::string::npos)
                        << row;
                }
        }
        // The set stays whole and can be logged into.
        EXPECT_TRUE(isAccountSetFolder(dataDir(), folder));
        EXPECT_EQ(loggedIn(dataDir(), "华兴", "张三", "mima").login.permission, 1);
        EXPECT_EQ(journals(), std::vector<std::string>{});
    }
    const auto figures = "writer A " + std::to_string(done[0]) + " done/" +
                         std::to_string(refused[0]) + " refused; writer B " +
                         std::to_string(done[1]) + "/" + std::to_string(refused[1]) +
                         "; program " + std::to_string(done[2]) + " ran/" +
                         std::to_string(refused[2]) + " refused";
    RecordProperty("figures", figures);
    std::cout << "[ figures  ] " << rounds << " rounds: " << figures << "\n";
    // Each round one of them had the directory first.
    EXPECT_GE(done[0] + done[1] + done[2], rounds);
}

}  // namespace
}  // namespace tw::test
