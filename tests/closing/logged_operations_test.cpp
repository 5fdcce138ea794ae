// 上机日志: every operation that changes a set writes its entry in its own
// action. A failure at the log's write undoes the whole action, the change
// with the entry, and leaves the set's files byte for byte as they were;
// once the log can be written, the same operation lands with its entry.
#include "closing/closing_fixture.h"
#include "ledgers/report.h"
#include "shell/action_log.h"
#include "shell/set_options.h"
#include "shell/users.h"
#include "storage/store_fixture.h"
#include "support/file_tree.h"
#include "vouchers/review.h"
#include "vouchers/voucher_edits.h"
#include "vouchers/voucher_sort.h"

namespace tw::test {
namespace {

enum class Op {
    NewVoucher, DeleteVoucher, RenumberVoucher, SortVouchers, Review, UndoReview, ReviewAll,
    UndoReviewAll, Post, UndoPost, Close, UndoClose, SavePair, DeletePair, OpeningAmounts,
    Enable, AddUser, ChangePassword, SetOption, Report
};

struct LoggedCase {
    const char* id;  // the test's name
    Op op;
    const char* what;    // 操作 of the entry
    const char* detail;  // 内容 of the entry
};

const LoggedCase kCases[] = {
    {"NewVoucher", Op::NewVoucher, "新建凭证", "30001"},
    {"DeleteVoucher", Op::DeleteVoucher, "删除凭证", "30001 第1张"},
    {"RenumberVoucher", Op::RenumberVoucher, "凭证改号", "30001→30005"},
    {"SortVouchers", Op::SortVouchers, "凭证排序", "2张"},
    {"Review", Op::Review, "审核凭证", "30001"},
    {"UndoReview", Op::UndoReview, "撤销审核", "30001"},
    {"ReviewAll", Op::ReviewAll, "全部审核", "1张"},
    {"UndoReviewAll", Op::UndoReviewAll, "全部撤销审核", "1张"},
    {"Post", Op::Post, "登账", "1张"},
    {"UndoPost", Op::UndoPost, "撤销登账", "2013年3月"},
    {"Close", Op::Close, "结账", "2013年3月"},
    {"UndoClose", Op::UndoClose, "撤销结账", "2013年3月"},
    {"SavePair", Op::SavePair, "设置结转损益", "管理费用 → 利润分配"},
    {"DeletePair", Op::DeletePair, "删除结转损益", "管理费用"},
    {"OpeningAmounts", Op::OpeningAmounts, "修改期初余额", "现金：借方 100，贷方 0"},
    {"Enable", Op::Enable, "启用套账", ""},
    {"AddUser", Op::AddUser, "新建用户", "李四"},
    {"ChangePassword", Op::ChangePassword, "修改密码", ""},
    {"SetOption", Op::SetOption, "修改套账选项", "审核人与制单人不能为同一人：是"},
    {"Report", Op::Report, "编辑报表", "2013年3月"},
};

class LoggedOperationTest : public ClosingTest, public ::testing::WithParamInterface<LoggedCase> {
protected:
    const TempDir exports;  // the month report's workbook, outside the directory
    std::filesystem::path folder() const { return dataDir / session.login.setName; }
    std::int64_t pageId(double number) {
        const auto page =
            runCaught([&] { return monthVoucherPage(*store, session, number, 1); });
        EXPECT_TRUE(page.ok) << page.message;
        return page.value.id;
    }
    void cashVoucher(double number, bool reviewed, int day = 20) {
        addVoucher(dayNumber(2013, 3, day), number, {{"现金", 100}, {"银行存款", 0, 100}}, reviewed);
    }

    // Brings the set to where the operation has something to do.
    void prepare(Op op) {
        if (op == Op::OpeningAmounts || op == Op::Enable || op == Op::SavePair ||
            op == Op::DeletePair || op == Op::AddUser || op == Op::ChangePassword ||
            op == Op::SetOption)
            return;  // the set as made
        enableWith({});
        switch (op) {
            case Op::NewVoucher:
                return;
            case Op::SortVouchers:
                cashVoucher(30001, false, 20);
                cashVoucher(30002, false, 10);
                return;
            case Op::DeleteVoucher: case Op::RenumberVoucher: case Op::Review:
            case Op::ReviewAll:
                cashVoucher(30001, false);
                return;
            default:
                break;
        }
        cashVoucher(30001, true);
        if (op == Op::UndoReview || op == Op::UndoReviewAll || op == Op::Post) return;
        ASSERT_TRUE(post().ok);
        if (op == Op::UndoPost || op == Op::Close) return;
        ASSERT_TRUE(close().ok);
    }

    Outcome perform(Op op) {
        RecordStore& s = *store;
        switch (op) {
            case Op::NewVoucher:
                return runAction(s, [&] { newVoucher(s, session, 0, 5); });
            case Op::DeleteVoucher: {
                const std::int64_t id = pageId(30001);
                return runAction(s, [&] { deleteVoucherPage(s, session, id); });
            }
            case Op::RenumberVoucher: {
                const std::int64_t id = pageId(30001);
                return runAction(s, [&] { changeVoucherNumber(s, session, id, 30005); });
            }
            case Op::SortVouchers:
                return runAction(s, [&] { renumberAll(s, session); });
            case Op::Review:
            case Op::UndoReview: {
                const std::int64_t id = pageId(30001);
                return runAction(s, [&] { toggleReview(s, session, id); });
            }
            case Op::ReviewAll:
                return runAction(s, [&] { reviewAll(s, session, kModeReview); });
            case Op::UndoReviewAll:
                return runAction(s, [&] { reviewAll(s, session, kModeUndo); });
            case Op::Post:
                return post();
            case Op::UndoPost:
                return undoPost();
            case Op::Close:
                return close();
            case Op::UndoClose:
                return reopen();
            case Op::SavePair:
                return runAction(s, [&] { saveCarryForwardPair(s, session, {"管理费用", "利润分配"}); });
            case Op::DeletePair:
                return runAction(s, [&] { deleteCarryForwardPair(s, session, "管理费用"); });
            case Op::OpeningAmounts:
                return runAction(s, [&] { setOpeningAmounts(s, session, "现金", 100.0, std::nullopt); });
            case Op::Enable:
                return runAction(s, [&] { enableSet(s, session, loadOpeningList(s, session)); });
            case Op::AddUser:
                return tw::addUser(s, session, {"李四", "x", "x"});
            case Op::ChangePassword:
                return changePassword(s, session, "mima", "新的", "新的");
            case Op::SetOption:
                return runAction(s, [&] { setReviewerApart(s, session, true); });
            case Op::Report:
                return exportMonthReport(s, session, YearMonth{2013, 3}, exports / "报表.xlsx");
        }
        return Outcome::refused("no such operation");
    }

    std::vector<LogEntry> entries() {
        const auto log = runCaught([&] { return readActionLog(*store, session, {}); });
        EXPECT_TRUE(log.ok) << log.message;
        return log.value.entries;
    }
};

TEST_P(LoggedOperationTest, TheEntryLandsWithTheChangeOrNeitherDoes) {
    const LoggedCase& c = GetParam();
    prepare(c.op);
    if (HasFatalFailure()) return;
    const auto before = fileTree(folder());
    const std::size_t entriesBefore = entries().size();

    // The log cannot be written: the operation fails as a whole.
    store->setCommitHook([](const std::filesystem::path& table) {
        if (pathText(table.filename()) == file::kActionLog) throw StoreError("injected at the log");
    });
    const Outcome failed = perform(c.op);
    store->setCommitHook({});
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.message, kDiskMessage);
    EXPECT_EQ(fileTree(folder()), before) << "neither the change nor the entry";

    const double start = currentMoment();
    const Outcome done = perform(c.op);
    ASSERT_TRUE(done.ok) << done.message << " / " << done.detail;
    const double end = currentMoment();
    auto changed = fileTree(folder());
    changed.erase(file::kActionLog);
    auto unchanged = before;
    unchanged.erase(file::kActionLog);
    EXPECT_NE(changed, unchanged) << "the operation changed the set";

    const auto log = entries();
    ASSERT_GT(log.size(), entriesBefore);
    const LogEntry& last = log.back();
    EXPECT_EQ(last.what, c.what);
    EXPECT_EQ(last.detail, c.detail);
    EXPECT_EQ(last.user, "张三");
    EXPECT_GE(last.time, start);
    EXPECT_LE(last.time, end);
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, LoggedOperationTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<LoggedCase>& info) {
                             return std::string(info.param.id);
                         });

}  // namespace
}  // namespace tw::test
