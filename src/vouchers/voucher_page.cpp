#include "vouchers/voucher_page.h"

#include <algorithm>

#include "storage/dates.h"
#include "storage/number_text.h"
#include "storage/schemas.h"

namespace tw {

VoucherTable::VoucherTable(RecordStore& store, const Session& session)
    : session_(session),
      vouchers_(store, session, file::kVouchers, SetTable::IfOpen::UseAsItIs),
      table_(vouchers_.table()) {
    using namespace field;
    const Table& t = table_;
    f_.kind = t.position(kKind);
    f_.number = t.position(kMonthNumber);
    f_.page = t.position(kPage);
    f_.pageCount = t.position(kPageCount);
    f_.date = t.position(kDate);
    f_.debitTotal = t.position(kDebitTotal);
    f_.creditTotal = t.position(kCreditTotal);
    f_.attachments = t.position(kAttachments);
    f_.printDate = t.position(kPrintDate);
    f_.remark = t.position(kRemark);
    f_.preparer = t.position(kPreparer);
    f_.reviewer = t.position(kReviewer);
    f_.poster = t.position(kPoster);
    for (int i = 0; i < kLinesPerPage; ++i) {
        f_.summary[i] = t.position(lineSummary(i + 1));
        f_.account[i] = t.position(lineAccount(i + 1));
        f_.debit[i] = t.position(lineDebit(i + 1));
        f_.credit[i] = t.position(lineCredit(i + 1));
    }
}

VoucherPage VoucherTable::page(const Record& r) const {
    VoucherPage p;
    p.id = r.id;
    p.kind = r[f_.kind].text();
    p.number = r[f_.number].number();
    p.page = static_cast<int>(r[f_.page].integer());
    p.pageCount = static_cast<int>(r[f_.pageCount].integer());
    p.date = r[f_.date].number();
    for (int i = 0; i < kLinesPerPage; ++i) {
        VoucherLine& l = p.lines[i];
        l.summary = r[f_.summary[i]].text();
        l.account = r[f_.account[i]].text();
        l.debit = r[f_.debit[i]].number();
        l.credit = r[f_.credit[i]].number();
    }
    p.debitTotal = r[f_.debitTotal].number();
    p.creditTotal = r[f_.creditTotal].number();
    p.attachments = r[f_.attachments].integer();
    p.printDate = r[f_.printDate].number();
    p.remark = r[f_.remark].text();
    p.preparer = r[f_.preparer].text();
    p.reviewer = r[f_.reviewer].text();
    p.poster = r[f_.poster].text();
    return p;
}

VoucherPage VoucherTable::page(std::int64_t id) const {
    const auto record = id > 0 ? table_.get(id) : std::nullopt;
    if (!record) refuse(kNoPage, "no voucher page " + std::to_string(id));
    return page(*record);
}

std::vector<VoucherPage> VoucherTable::pages(const Where& where) const {
    std::vector<VoucherPage> out;
    for (const Record& r : table_.select(where)) out.push_back(page(r));
    return out;
}

void VoucherTable::write(std::int64_t id,
                         const std::vector<std::pair<std::string_view, Value>>& changes) {
    std::vector<std::pair<int, Value>> byPosition;
    byPosition.reserve(changes.size());
    for (const auto& [name, value] : changes) byPosition.emplace_back(table_.position(name), value);
    table_.update(id, byPosition);
}

std::vector<Value> VoucherTable::values(const VoucherPage& p) const {
    std::vector<Value> v(table_.schema().size());
    for (size_t i = 0; i < v.size(); ++i) v[i] = emptyValue(table_.schema()[i].type);
    v[f_.kind] = p.kind;
    v[f_.number] = p.number;
    v[f_.page] = p.page;
    v[f_.pageCount] = p.pageCount;
    v[f_.date] = p.date;
    for (int i = 0; i < kLinesPerPage; ++i) {
        v[f_.summary[i]] = p.lines[i].summary;
        v[f_.account[i]] = p.lines[i].account;
        v[f_.debit[i]] = p.lines[i].debit;
        v[f_.credit[i]] = p.lines[i].credit;
    }
    v[f_.debitTotal] = p.debitTotal;
    v[f_.creditTotal] = p.creditTotal;
    v[f_.attachments] = p.attachments;
    v[f_.printDate] = p.printDate;
    v[f_.remark] = p.remark;
    v[f_.preparer] = p.preparer;
    v[f_.reviewer] = p.reviewer;
    v[f_.poster] = p.poster;
    return v;
}

std::int64_t VoucherTable::append(const VoucherPage& page) { return table_.append(values(page)); }

Where monthPages(double day) {
    const YearMonth m = YearMonth::of(day);
    return Where().atLeast(field::kDate, m.firstDay()).below(field::kDate, m.next().firstDay());
}

Where voucherPages(double day, double number) {
    return monthPages(day).equal(field::kMonthNumber, number);
}

std::vector<VoucherPage> voucherOf(const VoucherTable& vouchers, const VoucherPage& page) {
    auto pages = vouchers.pages(voucherPages(page.date, page.number));
    std::stable_sort(pages.begin(), pages.end(),
                     [](const VoucherPage& a, const VoucherPage& b) { return a.page < b.page; });
    return pages;
}

std::vector<VoucherPage> monthVoucherPages(RecordStore& store, const Session& session) {
    const VoucherTable vouchers(store, session);
    return vouchers.pages(monthPages(session.login.period));
}

std::vector<VoucherPage> monthVoucherPages(RecordStore& store, const Session& session, YearMonth month) {
    const VoucherTable vouchers(store, session);
    return vouchers.pages(monthPages(month.firstDay()));
}

VoucherPage monthVoucherPage(RecordStore& store, const Session& session, double number, int page) {
    const VoucherTable vouchers(store, session);
    const auto found = vouchers.table().first(
        voucherPages(session.login.period, number).equal(field::kPage, page));
    if (!found)
        refuse("本月没有这张凭证：" + plainDecimal(number) + " 第" + std::to_string(page) + "张");
    return vouchers.page(*found);
}

std::string editRefusal(const VoucherPage& page) {
    if (!page.isVoucher()) return kNoVoucherToEdit;
    if (page.isReviewed()) return kReviewedCannotEdit;
    return {};
}

std::string amountRefusal(const VoucherPage& page, int line) {
    std::string refusal = editRefusal(page);
    if (refusal.empty() && page.line(line).account.empty()) refusal = kAccountFirst;
    return refusal;
}

std::string deleteRefusal(const VoucherPage& page) {
    if (page.id == 0) return kNoPage;
    if (page.isReviewed()) return kReviewedCannotDelete;
    return {};
}

}  // namespace tw
