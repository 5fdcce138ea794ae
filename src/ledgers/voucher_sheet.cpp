#include "ledgers/voucher_sheet.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "closing/period.h"
#include "storage/amount_capitals.h"
#include "storage/number_text.h"
#include "storage/record_store.h"
#include "storage/schemas.h"
#include "vouchers/numbering.h"
#include "vouchers/voucher_texts.h"

namespace tw {

namespace {

// An amount box as printed: empty stays empty, anything else with two
// decimals and its thousands grouped.
std::string printedAmount(const std::string& box) {
    return box.empty() ? std::string() : groupedTwoDecimals(parseNumber(box));
}

std::string capitals(const std::string& total) {
    return total.empty() ? std::string() : amountInCapitals(toCents(parseNumber(total)));
}

}  // namespace

std::map<std::string, std::string> voucherPlaceholderValues(const VoucherSheetTexts& page,
                                                            double printDay) {
    std::map<std::string, std::string> v{
        {"单位", page.company},
        {"日期", " " + page.date},
        {"编号", page.number},
        {"凭证字号", voucherWordNumber(parseNumber(page.number))},
        {"第几", "第" + page.page + "张"},
        {"共几", "共" + page.pageCount + "张"},
        {"附件数", page.attachments + "张"},
        {"借方合计", printedAmount(page.debitTotal)},
        {"贷方合计", printedAmount(page.creditTotal)},
        {"大写", capitals(page.debitTotal)},
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

std::string missingVoucherMessage(YearMonth month, std::int64_t number, int page) {
    return month.text() + "没有编号为" + std::to_string(number) + "的凭证第" +
           std::to_string(page) + "张！";
}

VoucherSheetTexts sheetTextsOf(const VoucherPage& page, const std::string& company) {
    VoucherSheetTexts p;
    p.company = company;
    p.date = formatDate(page.date);
    p.number = plainDecimal(page.number);
    p.page = std::to_string(page.page);
    p.pageCount = std::to_string(page.pageCount);
    p.attachments = std::to_string(page.attachments);
    for (int i = 0; i < 4; ++i) {
        p.summaries[i] = page.lines[i].summary;
        p.accounts[i] = page.lines[i].account;
        p.debits[i] = amountText(page.lines[i].debit);
        p.credits[i] = amountText(page.lines[i].credit);
    }
    // Only a voucher's last page carries its totals.
    if (page.isLastPage()) {
        p.debitTotal = plainDecimal(page.debitTotal);
        p.creditTotal = plainDecimal(page.creditTotal);
    }
    p.preparer = page.preparer;
    p.reviewer = page.reviewer;
    p.poster = page.poster;
    return p;
}

VoucherSheetTexts readVoucherPage(RecordStore& store, const Session& session, YearMonth month,
                                  std::int64_t number, int page) {
    const VoucherTable vouchers(store, session);
    // The window walks back from the newest page: the last match is the one it shows.
    const std::optional<Record> found =
        vouchers.table().last(monthOf(field::kDate, month)
                                  .equal(field::kMonthNumber, static_cast<double>(number))
                                  .equal(field::kPage, page)
                                  .notEqual(field::kPreparer, ""));
    if (!found)
        refuse(month == YearMonth::of(session.login.period)
                   ? missingVoucherMessage(number, page)
                   : missingVoucherMessage(month, number, page));
    return sheetTextsOf(vouchers.page(*found), session.login.companyName);
}

VoucherSheetTexts readVoucherPage(RecordStore& store, const Session& session, std::int64_t number,
                                 int page) {
    return readVoucherPage(store, session, YearMonth::of(session.login.period), number, page);
}

PageGrid voucherSheet(RecordStore& store, const Session& session, std::int64_t number, int page) {
    return fillVoucherSheet(loadVoucherTemplate(session.dataDir),
                            readVoucherPage(store, session, number, page), today());
}

std::vector<VoucherSheetTexts> wholeVoucherSheets(RecordStore& store, const Session& session,
                                                  std::int64_t pageId) {
    const VoucherTable vouchers(store, session);
    std::vector<VoucherSheetTexts> sheets;
    for (const VoucherPage& p : voucherOf(vouchers, vouchers.page(pageId)))
        sheets.push_back(sheetTextsOf(p, session.login.companyName));
    return sheets;
}

std::vector<VoucherSheetTexts> listedVoucherSheets(RecordStore& store, const Session& session,
                                                   const std::vector<std::int64_t>& ids) {
    const VoucherTable vouchers(store, session);
    std::vector<VoucherSheetTexts> sheets;
    sheets.reserve(ids.size());
    for (std::int64_t id : ids)
        if (const std::optional<Record> record = vouchers.table().get(id))
            sheets.push_back(sheetTextsOf(vouchers.page(*record), session.login.companyName));
    return sheets;
}

std::string voucherJobName(const std::vector<VoucherSheetTexts>& sheets) {
    if (sheets.empty()) return "凭证";
    double lowest = parseNumber(sheets.front().number), highest = lowest;
    double firstPage = parseNumber(sheets.front().page), lastPage = firstPage;
    for (const VoucherSheetTexts& s : sheets) {
        lowest = std::min(lowest, parseNumber(s.number));
        highest = std::max(highest, parseNumber(s.number));
        firstPage = std::min(firstPage, parseNumber(s.page));
        lastPage = std::max(lastPage, parseNumber(s.page));
    }
    if (lowest != highest)
        return "凭证 " + plainDecimal(lowest) + "至" + plainDecimal(highest) + " 共" +
               std::to_string(sheets.size()) + "张";
    const std::string pages = firstPage == lastPage
                                  ? plainDecimal(firstPage)
                                  : plainDecimal(firstPage) + "至" + plainDecimal(lastPage);
    return "凭证 " + plainDecimal(lowest) + " 第" + pages + "张";
}

}  // namespace tw
