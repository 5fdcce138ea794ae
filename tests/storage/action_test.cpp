// An action writing several table files lands whole or not at all: a failure
// at any one write, and a process killed at any moment, leave every file as it was.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "storage/record_store.h"
#include "storage/recovery.h"
#include "store_fixture.h"

namespace tw {
namespace {

using test::TempDir;
using test::tableRows;

const Schema kLines{{"科目", FieldType::Text, 100}, {"金额", FieldType::Double}};
const char* kNames[3] = {"账库.edb", "账库辅1.edb", "总账库.edb"};

class ActionTest : public ::testing::Test {
protected:
    TempDir dir;
    std::filesystem::path tables[3];

    void SetUp() override {
        RecordStore store(dir.path());
        for (int i = 0; i < 3; ++i) {
            tables[i] = dir / kNames[i];
            ASSERT_TRUE(store.createTable(tables[i], kLines));
            ASSERT_TRUE(store.openTable(tables[i], ""));
            Action a(store);
            store.appendRecord({"现金", 100.0 * (i + 1)});
            store.appendRecord({"银行存款", 7.0});
            store.setTablePassword("密码" + std::to_string(i));
            a.commit();
        }
    }

    std::vector<std::vector<std::string>> contents() {
        std::vector<std::vector<std::string>> all;
        for (int i = 0; i < 3; ++i)
            all.push_back(tableRows(dir.path(), tables[i], "密码" + std::to_string(i)));
        return all;
    }

    // Changes all three tables: appends, an edit, a deletion and a clear.
    void writeAll(RecordStore& store, int rows) {
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(store.openTable(tables[i], "密码" + std::to_string(i)));
        store.selectTable(tables[0]);
        for (int n = 0; n < rows; ++n) store.appendRecord({"应收账款", double(n)});
        store.selectTable(tables[1]);
        store.goFirst();
        store.writeField("金额", 999.0);
        store.skipRecords(1);
        store.deleteRecord();
        store.purgeDeleted();
        for (int n = 0; n < rows; ++n) store.appendRecord({"应付账款", double(n)});
        store.selectTable(tables[2]);
        store.clearTable();
        for (int n = 0; n < rows; ++n) store.appendRecord({"本年利润", double(n)});
    }
};

TEST_F(ActionTest, AFailureAtAnyTableLeavesAllThreeAsTheyWere) {
    const auto before = contents();
    for (int failAt = 0; failAt < 3; ++failAt) {
        RecordStore store(dir.path());
        store.setCommitHook([&, n = 0](const std::filesystem::path&) mutable {
            if (n++ == failAt) throw StoreError("injected failure");
        });
        {
            Action a(store);
            writeAll(store, 50);
            EXPECT_THROW(a.commit(), StoreError) << "failing at table " << failAt;
        }
        EXPECT_EQ(contents(), before) << "failing at table " << failAt;
        // The open tables show the files again, not the abandoned writes.
        store.selectTable(tables[2]);
        EXPECT_EQ(store.recordCount(), 2);
    }
}

TEST_F(ActionTest, LeavingTheScopeWithoutCommitWritesNothing) {
    const auto before = contents();
    {
        RecordStore store(dir.path());
        Action a(store);
        writeAll(store, 10);
    }
    EXPECT_EQ(contents(), before);
}

TEST_F(ActionTest, ACommittedActionChangesAllThree) {
    {
        RecordStore store(dir.path());
        Action a(store);
        writeAll(store, 10);
        a.commit();
    }
    const auto after = contents();
    EXPECT_EQ(after[0].size(), 12u);
    EXPECT_EQ(after[1].size(), 11u);
    EXPECT_EQ(after[1][0], "现金|999.000000");
    EXPECT_EQ(after[2].size(), 10u);
}

// Runs the action in a child process that dies at `deathPoint`: a commit-hook
// call number (exit inside the transaction) or, when negative, a SIGKILL after
// that many microseconds.
void runAndKill(ActionTest& t, const std::filesystem::path& anchor, int deathPoint, int rows,
                const std::function<void(RecordStore&, int)>& write) {
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        RecordStore store(anchor);
        if (deathPoint >= 0)
            store.setCommitHook([deathPoint, n = 0](const std::filesystem::path&) mutable {
                if (n++ == deathPoint) _exit(9);
            });
        Action a(store);
        write(store, rows);
        a.commit();
        _exit(0);
    }
    if (deathPoint < 0) {
        std::this_thread::sleep_for(std::chrono::microseconds(-deathPoint));
        kill(child, SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
    (void)t;
}

TEST_F(ActionTest, AProcessKilledMidActionLeavesOldOrNewNeverAMixture) {
    const auto before = contents();
    auto write = [this](RecordStore& s, int rows) { writeAll(s, rows); };

    // Dying inside the transaction, before each table's writes.
    for (int point = 0; point < 3; ++point) {
        runAndKill(*this, dir.path(), point, 2000, write);
        recoverInterruptedActions(dir.path());
        EXPECT_EQ(contents(), before) << "died before table " << point;
    }

    // How long the whole action takes, timed on a copy of the tables.
    TempDir scratch;
    for (int i = 0; i < 3; ++i) std::filesystem::copy_file(tables[i], scratch / kNames[i]);
    const auto start = std::chrono::steady_clock::now();
    runAndKill(*this, scratch.path(), 99, 20000, [&](RecordStore& s, int rows) {
        for (int i = 0; i < 3; ++i) tables[i] = scratch / kNames[i];
        writeAll(s, rows);
    });
    const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::steady_clock::now() - start).count();
    for (int i = 0; i < 3; ++i) tables[i] = dir / kNames[i];

    // Killed at moments spread over the whole action, commit included.
    int sawOld = 0, sawNew = 0;
    for (int step = 1; step <= 200 && sawNew == 0; ++step) {  // until it finishes, however slow the machine
        const int delay = static_cast<int>(took * step / 20);
        runAndKill(*this, dir.path(), -delay, 20000, write);
        recoverInterruptedActions(dir.path());
        const auto now = contents();
        if (now == before) {
            ++sawOld;
            continue;
        }
        ++sawNew;
        // All three changed together.
        EXPECT_EQ(now[0].size(), 20002u) << "killed after " << delay << " us";
        EXPECT_EQ(now[1].size(), 20001u) << "killed after " << delay << " us";
        EXPECT_EQ(now[2].size(), 20000u) << "killed after " << delay << " us";
    }
    EXPECT_GT(sawOld, 0);
    // No super-journal is left behind.
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename().string().find("-mj"), std::string::npos) << e.path();
    EXPECT_EQ(sawNew, 1);  // the action does finish when left alone
}

}  // namespace
}  // namespace tw
