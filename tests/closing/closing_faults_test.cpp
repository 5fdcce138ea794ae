// Posting, undo posting, the close and undo close are each one action: a
// failure at any table write, or the process killed at any moment, leaves the
// tables exactly as before or exactly as after.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

#include "closing_fixture.h"
#include "storage/record_store.h"
#include "storage/recovery.h"

namespace tw::test {
namespace {

class ClosingFaults : public ClosingTest {
protected:
    using Tables = std::vector<std::vector<std::vector<Value>>>;

    Tables tables() {
        Tables t{rows(file::kVouchers), rows(file::kLedger), rows(file::kBalances),
                 rows(file::kGeneralLedger), rows(file::kBasicInfo)};
        if (std::filesystem::exists(path(file::kGeneralLedgerTemp)))
            t.push_back(rows(file::kGeneralLedgerTemp));
        return t;
    }

    // A set in April 2013 with March closed and April's vouchers posted.
    void books() {
        enableWith({{"银行存款", 5000}, {"短期借款", -2000}, {"实收资本", -3000}});
        addVoucher(30001, {{"银行存款", 800}, {"主营业务收入", 0, 800}});
        addVoucher(30002, {{"管理费用", 300}, {"银行存款", 0, 300}});
        ASSERT_EQ(post().value, 2);
        ASSERT_TRUE(close().ok);
        addVoucher(40001, {{"应收账款", 1200}, {"主营业务收入", 0, 1200}});
        addVoucher(40002, {{"财务费用", 45.5}, {"银行存款", 0, 45.5}});
    }

    // Fails `op` at its first, second, … table write until it gets through;
    // every failure must leave every table as it was.
    void failAtEveryWrite(const char* name, const std::function<Outcome()>& op) {
        SCOPED_TRACE(name);
        const Tables before = tables();
        for (int failAt = 0;; ++failAt) {
            ASSERT_LT(failAt, 11) << "an action writes at most ten tables";
            int writes = 0;
            store->setCommitHook([&writes, failAt](const std::filesystem::path&) {
                if (writes++ == failAt) throw StoreError("injected failure");
            });
            const Outcome out = op();
            store->setCommitHook({});
            if (out.ok) {
                EXPECT_GT(failAt, 0);
                EXPECT_NE(tables(), before) << "the action did something";
                return;
            }
            EXPECT_EQ(out.message, kDiskMessage);
            ASSERT_EQ(tables(), before) << "failing at write " << failAt;
        }
    }

    Outcome asOutcome(const Outcome& o) { return o; }
};

TEST_F(ClosingFaults, AFailureAtAnyTableWriteChangesNothing) {
    books();
    failAtEveryWrite("post", [&] { return asOutcome(post()); });
    failAtEveryWrite("undo posting", [&] { return undoPost(); });
    ASSERT_TRUE(post().ok);
    failAtEveryWrite("close", [&] { return asOutcome(close()); });
    failAtEveryWrite("undo close", [&] { return asOutcome(reopen()); });
}

// Runs the close in a child process that dies at `deathPoint`: a table write
// (exit inside the commit) or, when negative, SIGKILL after that many microseconds.
void closeInChild(const Session& session, int deathPoint) {
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        RecordStore store(session.dataDir);
        if (deathPoint >= 0)
            store.setCommitHook([deathPoint, n = 0](const std::filesystem::path&) mutable {
                if (n++ == deathPoint) _exit(9);
            });
        const auto out = runAction(store, [&] { return closePeriod(store, session); });
        _exit(out.ok ? 0 : 1);
    }
    if (deathPoint < 0) {
        std::this_thread::sleep_for(std::chrono::microseconds(-deathPoint));
        kill(child, SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
}

TEST_F(ClosingFaults, AKilledCloseLeavesTheOldOrTheNewBooks) {
    books();
    ASSERT_TRUE(post().ok);
    const Tables before = tables();
    const auto backup = dataDir.parent_path() / (dataDir.filename().string() + "-backup");
    std::filesystem::copy(dataDir, backup, std::filesystem::copy_options::recursive);
    const auto restore = [&] {
        store.reset();
        std::filesystem::remove_all(dataDir);
        std::filesystem::copy(backup, dataDir, std::filesystem::copy_options::recursive);
        store = std::make_unique<RecordStore>(dataDir);
    };

    // Dying inside the commit, at each of its five table writes.
    for (int point = 0; point < 5; ++point) {
        closeInChild(session, point);
        recoverInterruptedActions(dataDir);
        recoverInterruptedActions(dataDir / session.login.setName);
        EXPECT_EQ(tables(), before) << "died at table write " << point;
    }

    // Killed at moments spread over the whole close, until one finishes.
    const auto start = std::chrono::steady_clock::now();
    closeInChild(session, 99);
    const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count();
    const Tables after = tables();
    ASSERT_NE(after, before);
    restore();
    int sawOld = 0, sawNew = 0;
    for (int step = 1; step <= 200 && sawNew == 0; ++step) {
        closeInChild(session, -static_cast<int>(took * step / 12));
        recoverInterruptedActions(dataDir);
        recoverInterruptedActions(dataDir / session.login.setName);
        const Tables now = tables();
        if (now == before) {
            ++sawOld;
            continue;
        }
        EXPECT_EQ(now, after) << "killed after " << took * step / 12 << " us: a mixture";
        ++sawNew;
    }
    EXPECT_GT(sawOld, 0);
    EXPECT_EQ(sawNew, 1);
    std::filesystem::remove_all(backup);
}

}  // namespace
}  // namespace tw::test
