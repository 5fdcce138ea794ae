#pragma once
// A voucher page: one record of 凭证库.edb with four lines of summary,
// account, debit and credit. A voucher is the set of pages whose 日期 lies in
// the same year and month and whose 月编号 are equal; its pages are numbered
// 第几 = 1 … 共几, and only its last page carries the totals.
//
// 凭证库 holds the vouchers of every month for years: every look-up here goes
// through the table's index on (日期, 月编号) and reads one month or one
// voucher, never the whole table.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shell/session.h"
#include "storage/dates.h"
#include "storage/outcome.h"

namespace tw {

inline constexpr int kLinesPerPage = 4;

struct VoucherLine {
    std::string summary;  // 摘要N
    std::string account;  // 科目N; empty: the line is not in use
    double debit = 0;     // 借方金额N; 0 = none
    double credit = 0;    // 贷方金额N; 0 = none
};

struct VoucherPage {
    std::int64_t id = 0;  // record id in 凭证库; 0 for no page
    std::string kind;     // 种类
    double number = 0;    // 月编号
    int page = 0;         // 第几
    int pageCount = 0;    // 共几
    double date = 0;      // 日期 (day number; 0 = none)
    std::array<VoucherLine, kLinesPerPage> lines;
    double debitTotal = 0;   // 借方合计 as stored (last page only)
    double creditTotal = 0;  // 贷方合计
    std::int64_t attachments = 0;  // 附件数
    double printDate = 0;          // 打印日期
    std::string remark;            // 备注
    std::string preparer;          // 编制: empty = no voucher at all
    std::string reviewer;          // 审核: empty = not reviewed
    std::string poster;            // 登账: empty = not posted

    bool isVoucher() const { return !preparer.empty(); }
    bool isReviewed() const { return !reviewer.empty(); }
    bool isPosted() const { return !poster.empty(); }
    bool isLastPage() const { return page == pageCount; }
    const VoucherLine& line(int n) const { return lines.at(n - 1); }  // n = 1 … 4
};

// The messages of the voucher window and of review.
inline constexpr const char* kNoVoucherToEdit = "当前无可操作凭证，可点击[新建凭证]按钮添加凭证。";
inline constexpr const char* kReviewedCannotEdit = "当前凭证已审核，修改前要先撤销审核。";
inline constexpr const char* kAccountFirst = "先输入科目名称！";
inline constexpr const char* kIncompleteVoucher = "当前凭证不完全，如需增加子页，可点击[增加子页]按钮。";
inline constexpr const char* kNoPage = "当前无凭证！";
inline constexpr const char* kReviewedCannotDelete = "当前凭证已被审核无法删除！";
inline constexpr const char* kConfirmDelete = "是否要删除当前凭证？";
inline constexpr const char* kDuplicateNumber = "不能和现有编号相同！";

// 凭证库 of the open set for one operation, its field positions resolved
// once: a SetTable that uses the table as it stands when it is open already
// (an operation composed into a larger one).
class VoucherTable {
public:
    VoucherTable(RecordStore& store, const Session& session);
    VoucherTable(const VoucherTable&) = delete;
    VoucherTable& operator=(const VoucherTable&) = delete;

    Table& table() { return table_; }
    const Table& table() const { return table_; }
    const Session& session() const { return session_; }

    // The page with record id `id`; refuses kNoPage when there is none.
    VoucherPage page(std::int64_t id) const;
    // Pages satisfying `where`, in record order.
    std::vector<VoucherPage> pages(const Where& where) const;
    VoucherPage page(const Record& record) const;

    // Changes fields of a page by field name.
    void write(std::int64_t id, const std::vector<std::pair<std::string_view, Value>>& changes);
    std::int64_t append(const VoucherPage& page);
    // The whole record of a page, in field order.
    std::vector<Value> values(const VoucherPage& page) const;

private:
    struct Fields {
        int kind, number, page, pageCount, date, debitTotal, creditTotal, attachments, printDate,
            remark, preparer, reviewer, poster;
        std::array<int, kLinesPerPage> summary, account, debit, credit;
    };
    const Session& session_;
    SetTable vouchers_;
    Table& table_;
    Fields f_{};
};

// The pages dated in the month `day` lies in.
Where monthPages(double day);
// The pages of the voucher numbered `number` in the month `day` lies in.
Where voucherPages(double day, double number);

// The pages of the voucher that `page` belongs to, ordered by 第几 (ties in
// record order).
std::vector<VoucherPage> voucherOf(const VoucherTable& vouchers, const VoucherPage& page);

// Every page of the current period's month, in record order.
std::vector<VoucherPage> monthVoucherPages(RecordStore& store, const Session& session);
// Every page of `month` (open or closed), in record order.
std::vector<VoucherPage> monthVoucherPages(RecordStore& store, const Session& session, YearMonth month);
// Page `page` of the current month's voucher `number`; refuses
// "本月没有这张凭证：30001 第2张" when there is none.
VoucherPage monthVoucherPage(RecordStore& store, const Session& session, double number, int page);

// Why the page cannot be changed (the window's editable check), or empty:
//  1. no voucher on the page (编制 empty): kNoVoucherToEdit;
//  2. reviewed: kReviewedCannotEdit.
std::string editRefusal(const VoucherPage& page);
// Why an amount cannot go on line `line` (1 … 4): the editable check, then
// a line without an account: kAccountFirst.
std::string amountRefusal(const VoucherPage& page, int line);
// Why the page cannot be deleted (删除 asks before its question; the
// deletion itself refuses the same), or empty:
//  1. no page (record id 0): kNoPage;
//  2. reviewed: kReviewedCannotDelete.
std::string deleteRefusal(const VoucherPage& page);

}  // namespace tw
