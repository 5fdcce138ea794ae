#pragma once
// Whether a voucher is complete, judged on all its pages: dated, its last
// page (第几 = 共几) there, and its debit and credit totals over every page
// equal and not zero (balanced, as voucher_totals.h has it). A voucher left
// incomplete stops 审撤全部 for its whole month, and so the month's close:
// 新建凭证 refuses to start the next voucher after one (requireComplete,
// voucher_edits.h), and the voucher window names each voucher written in it
// that is left so before it closes (leaveQuestion).

#include <cstdint>
#include <string>
#include <vector>

#include "vouchers/voucher_page.h"

namespace tw {

inline constexpr const char* kBackToEdit = "返回修改";
inline constexpr const char* kLeaveAsItIs = "保留离开";

enum class VoucherGap {
    None,        // complete
    NoDate,      // 日期 empty
    NoLastPage,  // no page of it is its last
    NoAmount,    // both totals zero
    Unbalanced,  // the totals differ
};

struct VoucherCompleteness {
    VoucherGap gap = VoucherGap::None;
    double number = 0;            // 月编号
    std::int64_t pageId = 0;      // the page to show it by: its last, else its first
    std::int64_t difference = 0;  // the debit total less the credit total, in cents
    bool complete() const { return gap == VoucherGap::None; }
};

// The voucher that `page` belongs to; a page that holds no voucher (编制
// empty) is judged alone.
VoucherCompleteness voucherCompleteness(const VoucherTable& vouchers, const VoucherPage& page);

// The vouchers of the pages `ids` (record ids) that are not complete, each
// once, in the order of `ids`; a page no longer in the table is passed over.
std::vector<VoucherCompleteness> incompleteVouchers(RecordStore& store, const Session& session,
                                                    const std::vector<std::int64_t>& ids);

// What an incomplete voucher lacks, naming it: "凭证 30003 借贷不平（差额 100.00）",
// "凭证 30003 还没有金额", "凭证 30003 没有日期", "凭证 30003 缺少最后一页";
// empty for a complete one.
std::string incompleteText(const VoucherCompleteness& voucher);

// 新建凭证's refusal after an unbalanced voucher:
// "凭证 30003 借贷不平（差额 100.00），不能新建凭证！".
std::string unbalancedRefusal(const VoucherCompleteness& voucher);

// The question on leaving the voucher window with an incomplete voucher,
// answered kBackToEdit or kLeaveAsItIs:
// "凭证 30003 借贷不平（差额 100.00），返回修改，还是保留离开？".
std::string leaveQuestion(const VoucherCompleteness& voucher);

}  // namespace tw
