// Processes on one account-set directory: the program and tallowick-cli
// started for real. Each works on a set of its own side by side with the
// others; a second one on the same set is refused at once and touches
// nothing; an operation on the directory holds the others off for its moment;
// what a killed process left is recovered by the next one on its set.
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <random>
#include <thread>

#include "../support/spawn.h"
#include "support/built_programs.h"
#include "shell/backup.h"
#include "shell/set_lock.h"
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
        create(setRequest("别家", "李四", "lisi"));
        folder = setFolder(dataDir(), "华兴");
        otherFolder = setFolder(dataDir(), "别家");
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
    // A command of the set 别家 as its administrator.
    std::vector<std::string> inOther(std::vector<std::string> args) const {
        args.insert(args.begin() + (args[0] == "account" || args[0] == "opening" ? 2 : 1),
                    {"别家", "--user", "李四", "--password", "lisi"});
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
    std::vector<std::string> accountNames(const std::string& set = "华兴") {
        std::vector<std::string> names;
        for (const auto& row : tableRows(dataDir(), setFolder(dataDir(), set) / "会计科目.edb",
                                         setPasswordOf(dataDir(), set)))
            names.push_back(row.substr(0, row.find('|')));
        return names;
    }
    bool hasAccount(const std::string& name, const std::string& set = "华兴") {
        const auto names = accountNames(set);
        return std::find(names.begin(), names.end(), name) != names.end();
    }
    bool hasUser(const std::string& set, const std::string& name) {
        RecordStore store(dataDir());
        Session s;
        s.dataDir = dataDir();
        s.login.setName = set;
        s.login.setPassword = setPasswordOf(dataDir(), set);
        const auto users = userNames(store, s);
        return std::find(users.begin(), users.end(), name) != users.end();
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

    fs::path folder, otherFolder;
    TempDir output;     // what the processes print, their pictures
    TempDir elsewhere;  // outside the directory
};

const std::vector<std::string> kAddPettyCash{"account", "add",      "--name",      "零用金", "--parent",
                                             "现金",    "--category", "资产类", "--direction", "借方"};

TEST_F(ProcessLockTest, ASecondProcessOnASetInUseIsRefusedAtOnceAndTouchesNothing) {
    // This test process is a program working on 华兴: it holds the set's lock.
    // Its action in flight has a journal (its header not written yet), a
    // super-journal naming it and a temporary file in the set folder; its
    // export outside the directory has its note in the directory's temporary
    // folder. None of them are leftovers.
    LoginState first;
    ASSERT_TRUE(takeSet(first, dataDir(), "华兴").ok);
    const fs::path journal = folder / "会计科目.edb-journal";
    writeFile(journal, std::string(512, '\0'));
    const fs::path superJournal = dataDir() / ".tallowick-actions.db-mj1234ABCD";
    writeFile(superJournal, pathText(fs::absolute(journal)) + std::string(1, '\0'));
    fs::create_directory(folder / ".tallowick-temp");
    writeFile(folder / ".tallowick-temp" / "会计科目.edb.part-1-2", "half");
    const fs::path part = elsewhere / ".导出.xlsx.part-1-2";
    writeFile(part, "half an export");
    fs::create_directory(dataDir() / ".tallowick-temp");
    writeFile(dataDir() / ".tallowick-temp" / "note-1-2", pathText(part));
    const auto tables = snapshot(dataDir(), folder);
    const auto dirNames = entryNames(dataDir());
    const auto folderNames = entryNames(folder);

    const auto started = std::chrono::steady_clock::now();
    const Finished add = run(asAdmin(kAddPettyCash));
    const Finished backup = run(asAdmin({"backup", "--to", pathText(elsewhere / "备份.zip")}));
    const Finished remove = run(cli({"set", "delete", "华兴", "--user", "张三", "--password", "mima"}));
    const auto took = std::chrono::steady_clock::now() - started;
    for (const Finished& f : {add, backup}) {
        EXPECT_EQ(f.status, kInUseStatus);
        EXPECT_EQ(f.err, kInUse);
        EXPECT_EQ(f.out, "");
    }
    EXPECT_EQ(remove.status, kInUseStatus);
    EXPECT_EQ(remove.err, "套账 华兴 正被另一个程序使用，不能删除！  请在该程序中关闭这个套账后再试。\n");
    EXPECT_EQ(remove.out, "");
    EXPECT_LT(took, std::chrono::seconds(10)) << "refused at once, not after waiting";

    // Meanwhile the other set, the commands of no set and the desktop program
    // work, and leave 华兴's files alone.
    const Finished other = run(inOther(kAddPettyCash));
    EXPECT_EQ(other.status, 0) << other.err;
    EXPECT_TRUE(hasAccount("现金→零用金", "别家"));
    const Finished sets = run(cli({"sets"}));
    EXPECT_EQ(sets.status, 0) << sets.err;
    EXPECT_NE(sets.out.find("华兴\n"), std::string::npos);
    const Finished program = waitProcess(startProgram("beside"));
    EXPECT_EQ(program.status, 0) << program.err;
    EXPECT_EQ(shownMessages("beside"), "");

    EXPECT_EQ(snapshot(dataDir(), folder), tables);
    EXPECT_EQ(entryNames(dataDir()), dirNames);
    EXPECT_EQ(entryNames(folder), folderNames);
    EXPECT_EQ(readFile(journal), std::string(512, '\0'));
    EXPECT_TRUE(fs::exists(part));
    EXPECT_FALSE(fs::exists(elsewhere / "备份.zip"));

    // Once the first program has let go of the set, the next process takes
    // it, clears what the first left, and works.
    first.logout();
    const Finished after = run(asAdmin(kAddPettyCash));
    EXPECT_EQ(after.status, 0) << after.err;
    EXPECT_TRUE(hasAccount("现金→零用金"));
    EXPECT_FALSE(fs::exists(journal));
    EXPECT_FALSE(fs::exists(superJournal));
    EXPECT_FALSE(fs::exists(folder / ".tallowick-temp"));
    EXPECT_FALSE(fs::exists(part));
    EXPECT_FALSE(fs::exists(dataDir() / ".tallowick-temp"));
    EXPECT_FALSE(fs::exists(folder / kLockFileName)) << "let go of with the command";
}

// The directory held by an operation on it (a set being created, its work
// folder in flight): a command of no set runs and leaves the work folder; a
// command of a set waits for the operation to end, then works; a second
// operation on the directory gives up after its patience.
TEST_F(ProcessLockTest, AnOperationOnTheDirectoryHoldsTheOthersOffForItsMoment) {
    auto operation = std::make_unique<DirectoryLock>(dataDir());
    ASSERT_TRUE(operation->held());
    const fs::path work = dataDir() / ".tallowick-work-new-1-abc";
    fs::create_directory(work);
    writeFile(work / "基本信息", "being made");

    const Finished sets = run(cli({"sets"}));
    EXPECT_EQ(sets.status, 0) << sets.err;
    EXPECT_EQ(readFile(work / "基本信息"), "being made");
    const Finished create = run(cli({"set", "create", "新公司", "--admin", "赵六", "--password", "z"}));
    EXPECT_EQ(create.status, kInUseStatus);
    EXPECT_EQ(create.err, kInUse);
    EXPECT_FALSE(fs::exists(setFolder(dataDir(), "新公司")));

    const Started add = startCli(asAdmin(kAddPettyCash), "add");
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    int status = 0;
    EXPECT_EQ(::waitpid(add.pid, &status, WNOHANG), 0) << "waits for the directory";
    EXPECT_FALSE(hasAccount("现金→零用金"));
    EXPECT_EQ(readFile(work / "基本信息"), "being made");
    operation.reset();
    const Finished added = waitProcess(add);
    EXPECT_EQ(added.status, 0) << added.err;
    EXPECT_TRUE(hasAccount("现金→零用金"));

    // The operation died: the next start clears its work folder.
    ASSERT_EQ(run(cli({"sets"})).status, 0);
    EXPECT_FALSE(fs::exists(work));
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

// Three command-line writers and the desktop program started together, round
// after round. Two work on 华兴 (or one of them makes a new set); the third on
// 别家, and it always does its work, as the program always runs: a set in use
// holds off nobody else. On 华兴 each writer either does its work or is
// refused with the message, and what it reports is what the files hold.
// TALLOWICK_LOCK_ROUNDS sets how many rounds (a few by default).
TEST_F(ProcessLockTest, WritersOnTwoSetsAndTheProgramStartedTogether) {
    const char* env = std::getenv("TALLOWICK_LOCK_ROUNDS");
    const int rounds = env ? std::max(1, std::atoi(env)) : 4;
    int done[4] = {0, 0, 0, 0}, refused[4] = {0, 0, 0, 0};  // writers A, B, C, the program
    double debit = 0;  // 现金's opening debit as last saved
    for (int i = 0; i < rounds; ++i) {
        SCOPED_TRACE("round " + std::to_string(i));
        const std::string n = std::to_string(i);
        // A makes a set or adds an account to 华兴; B adds a user to 华兴 or
        // saves an amount there; C adds an account to 别家.
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
        const auto c = inOther({"account", "add", "--name", "丙" + n, "--category", "资产类",
                                "--direction", "借方"});
        // Started together, in an order that turns with the rounds.
        Started started[4];
        for (int k = 0; k < 4; ++k) {
            const int who = (i + k) % 4;
            started[who] = who == 0   ? startCli(a, "a")
                           : who == 1 ? startCli(b, "b")
                           : who == 2 ? startCli(c, "c")
                                      : startProgram("program");
        }
        Finished finished[4];
        for (int who = 0; who < 4; ++who) finished[who] = waitProcess(started[who]);

        for (int who = 0; who < 4; ++who) {
            const Finished& f = finished[who];
            // On 别家 alone, making a set, beside a set being made, and the program: never refused.
            const bool alone = who >= 2 || makesSet;
            if (alone) {
                EXPECT_EQ(f.status, 0) << "process " << who << ": " << f.err;
            } else {
                ASSERT_TRUE(f.status == 0 || f.status == kInUseStatus)
                    << "process " << who << " exited " << f.status << ": " << f.err;
            }
            if (f.status == kInUseStatus) {
                EXPECT_EQ(f.err, kInUse);
            }
            (f.status == 0 ? done : refused)[who]++;
        }
        EXPECT_EQ(shownMessages("program"), "");
        // Every success is in the files, every refusal is not.
        const bool aDone = finished[0].status == 0, bDone = finished[1].status == 0;
        EXPECT_TRUE(aDone || bDone) << "one of them had 华兴 first";
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
            EXPECT_EQ(hasUser("华兴", "乙" + n), bDone);
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
        EXPECT_EQ(hasAccount("丙" + n, "别家"), finished[2].status == 0);
        // The sets stay whole and can be logged into; no lock is left.
        EXPECT_TRUE(isAccountSetFolder(dataDir(), folder));
        EXPECT_TRUE(isAccountSetFolder(dataDir(), otherFolder));
        EXPECT_EQ(loggedIn(dataDir(), "华兴", "张三", "mima").login.permission, 1);
        EXPECT_EQ(journals(), std::vector<std::string>{});
        EXPECT_FALSE(fs::exists(folder / kLockFileName));
        EXPECT_FALSE(fs::exists(otherFolder / kLockFileName));
    }
    const auto figures = "writer A " + std::to_string(done[0]) + " done/" +
                         std::to_string(refused[0]) + " refused; writer B " +
                         std::to_string(done[1]) + "/" + std::to_string(refused[1]) +
                         "; writer C " + std::to_string(done[2]) + "/" +
                         std::to_string(refused[2]) + "; program " + std::to_string(done[3]) +
                         " ran/" + std::to_string(refused[3]) + " refused";
    RecordProperty("figures", figures);
    std::cout << "[ figures  ] " << rounds << " rounds: " << figures << "\n";
}

}  // namespace
}  // namespace tw::test
