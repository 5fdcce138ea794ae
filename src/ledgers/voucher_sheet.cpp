#include "ledgers/voucher_sheet.h"

#include <optional>
#include <utility>

#include "closing/period.h"
#include "storage/dates.h"
#include "storage/number_text.h"
#include "storage/record_store.h"
#include "storage/schemas.h"

namespace tw {

namespace {

// An amount box as printed: empty stays empty, anything else with two decimals.
std::string printedAmount(const std::string& box) {
    return box.empty() ? std::string() : twoDecimals(parseNumber(box));
}

std::string boxAmount(double amount) { return isZero(amount) ? std::string() : plainDecimal(amount); }

}  // namespace

std::map<std::string, std::string> voucherPlaceholderValues(const VoucherSheetTexts& page,
                                                            double printDay) {
    std::map<std::string, std::string> v{
        {"单位", page.company},
        {"日期", " " + page.date},
        {"编号", page.number},
        {"第几", "第" + page.page + "张"},
        {"共几", "共" + page.pageCount + "张"},
        {"附件数", page.attachments + "张"},
        {"借方合计", printedAmount(page.debitTotal)},
        {"贷方合计", printedAmount(page.creditTotal)},
        {"编制", page.preparer},
        {"审核", page.reviewer},
        {"登账", page.poster},
        {"打印日期", formatDate(printDay)},
    };
    for (int i = 0; i < 4; ++i) {
        const std::string n = std::to_string(i + 1);
        v["摘要" + n] = page.summaries[i];
        v["科目" + n] = page.accounts[i];
        v["借方金额" + n] = printedAmount(page.debits[i]);
        v["贷方金额" + n] = printedAmount(page.credits[i]);
    }
    return v;
}

PageGrid fillVoucherSheet(PageGrid templ, const VoucherSheetTexts& page, double printDay) {
    templ.fillPlaceholders(voucherPlaceholderValues(page, printDay), true);
    return templ;
}

PageGrid loadVoucherTemplate(const std::filesystem::path& dataDir) {
    std::optional<PageGrid> loaded =
        PageGrid::load(templatePath(dataDir, file::kVoucherPage), nullptr);
    return loaded ? std::move(*loaded) : voucherPageTemplate();
}

std::string missingVoucherMessage(std::int64_t number, int page) {
    return "本月没有编号为" + std::to_string(number) + "的凭证第" + std::to_string(page) + "张！";
}

VoucherSheetTexts readVoucherPage(RecordStore& store, const Session& session, std::int64_t number,
                                 int page) {
    const SetTable vouchers(store, session, file::kVouchers);
    const Table& t = vouchers.table();
    // The window walks back from the newest page: the last match is the one it shows.
    const std::optional<Record> found =
        t.last(monthOf(field::kDate, session.login.period)
                   .equal(field::kMonthNumber, static_cast<double>(number))
                   .equal(field::kPage, page)
                   .notEqual(field::kPreparer, ""));
    if (!found) refuse(missingVoucherMessage(number, page));
    auto text = [&](std::string_view name) { return (*found)[t.position(name)].text(); };
    auto amount = [&](std::string_view name) { return (*found)[t.position(name)].number(); };
    auto whole = [&](std::string_view name) {
        return std::to_string((*found)[t.position(name)].integer());
    };
    VoucherSheetTexts p;
    p.company = session.login.companyName;
    p.date = formatDate(amount(field::kDate));
    p.number = plainDecimal(amount(field::kMonthNumber));
    p.page = whole(field::kPage);
    p.pageCount = whole(field::kPageCount);
    p.attachments = whole(field::kAttachments);
    for (int i = 0; i < 4; ++i) {
        p.summaries[i] = text(field::lineSummary(i + 1));
        p.accounts[i] = text(field::lineAccount(i + 1));
        p.debits[i] = boxAmount(amount(field::lineDebit(i + 1)));
        p.credits[i] = boxAmount(amount(field::lineCredit(i + 1)));
    }
    // Only a voucher's last page carries its totals.
    if (p.page == p.pageCount) {
        p.debitTotal = plainDecimal(amount(field::kDebitTotal));
        p.creditTotal = plainDecimal(amount(field::kCreditTotal));
    }
    p.preparer = text(field::kPreparer);
    p.reviewer = text(field::kReviewer);
    p.poster = text(field::kPoster);
    return p;
}

PageGrid voucherSheet(RecordStore& store, const Session& session, std::int64_t number, int page) {
    return fillVoucherSheet(loadVoucherTemplate(session.dataDir),
                            readVoucherPage(store, session, number, page), today());
}

}  // namespace tw
