// 现金流量表 (cash_flow.h).
#include "statements/cash_flow.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <set>

#include "accounts/account_names.h"
#include "accounts/opening_balances.h"
#include "statements/cash_flow_analysis.h"
#include "storage/amount_reader.h"
#include "storage/ledger_convention.h"
#include "storage/dates.h"
#include "storage/number_text.h"
#include "storage/outcome.h"
#include "storage/schemas.h"
#include "vouchers/cash_flow_assignments.h"
#include "vouchers/voucher_page.h"

namespace tw {

namespace {

struct FormLine {
    int line;  // 0: a caption
    const char* item;
};

// 会小企03表 as the form prints it.
const FormLine kForm[] = {
    {0, "一、经营活动产生的现金流量："},
    {1, "　　销售产成品、商品、提供劳务收到的现金"},
    {2, "　　收到其他与经营活动有关的现金"},
    {3, "　　减：购买原材料、商品、接受劳务支付的现金"},
    {4, "　　　　支付的职工薪酬"},
    {5, "　　　　支付的税费"},
    {6, "　　　　支付其他与经营活动有关的现金"},
    {7, "　　经营活动产生的现金流量净额"},
    {0, "二、投资活动产生的现金流量："},
    {8, "　　收回短期投资、长期债券投资和长期股权投资收到的现金"},
    {9, "　　取得投资收益收到的现金"},
    {10, "　　处置固定资产、无形资产和其他非流动资产收回的现金净额"},
    {11, "　　减：短期投资、长期债券投资和长期股权投资支付的现金"},
    {12, "　　　　购建固定资产、无形资产和其他非流动资产支付的现金"},
    {13, "　　投资活动产生的现金流量净额"},
    {0, "三、筹资活动产生的现金流量："},
    {14, "　　取得借款收到的现金"},
    {15, "　　吸收投资者投资收到的现金"},
    {16, "　　减：偿还借款本金支付的现金"},
    {17, "　　　　偿还借款利息支付的现金"},
    {18, "　　　　分配利润支付的现金"},
    {19, "　　筹资活动产生的现金流量净额"},
    {20, "四、现金净增加额"},
    {21, "　　加：期初现金余额"},
    {22, "五、期末现金余额"},
};

constexpr const char* kCheckBooks = "请先用“核对账目”检查账簿。";

// "第2行“收到其他与经营活动有关的现金”", the form's indentation left out.
std::string lineName(int line) {
    for (const FormLine& f : kForm)
        if (f.line == line) {
            std::string item = f.item;
            while (item.starts_with("　")) item.erase(0, std::string("　").size());
            return "第" + std::to_string(line) + "行“" + item + "”";
        }
    return "第" + std::to_string(line) + "行";
}

std::string money(std::int64_t cents) { return twoDecimals(fromCents(cents)); }
std::string difference(std::int64_t a, std::int64_t b) { return money(a > b ? a - b : b - a); }

// A voucher that moved cash, its posted pages' lines in page order.
struct CashVoucher {
    double date = 0;
    double number = 0;
    std::string summary;  // of its first line that has one
    std::vector<CashFlowVoucherLine> lines;
    std::string name() const { return YearMonth::of(date).text() + "的凭证" + plainDecimal(number); }
};

std::vector<CashFlowVoucherLine> linesOf(const std::vector<VoucherPage>& pages) {
    std::vector<CashFlowVoucherLine> lines;
    for (const VoucherPage& p : pages)
        for (const VoucherLine& l : p.lines)
            if (!l.account.empty()) lines.push_back({l.account, l.summary, toCents(l.debit), toCents(l.credit)});
    return lines;
}

// What the cash accounts hold in the months from..to, read from their own
// rows only: each closed month's figures (总账库's rows of a top-level cash
// account, 账库's "本月合计" rows at and below one) and the posted vouchers
// with a line on them, in date and number order.
struct CashBooks {
    std::map<YearMonth, BookMonth> months;
    std::vector<CashVoucher> vouchers;
    const BookMonth& at(YearMonth m) const {
        static const BookMonth none;
        const auto it = months.find(m);
        return it == months.end() ? none : it->second;
    }
};

// The summary rows through the ledgers' index on account and date; the
// months' posted pages through 凭证库's on date, with only the fields the
// analysis reads (the summaries only from `detailFrom` on, whose detail is
// shown).
CashBooks readCashBooks(RecordStore& store, const Session& session, const Books& books,
                        const CashFlowRules& rules, YearMonth from, YearMonth to, YearMonth detailFrom) {
    CashBooks out;
    std::vector<Value> monthEnds;
    for (YearMonth m = from; m <= to; m = m.next()) monthEnds.emplace_back(m.lastDay());
    const auto summaryRows = [&](const std::string& account) {
        return Where()
            .equal(field::kAccount, account)
            .oneOf(field::kVoucherDate, monthEnds)
            .equal(field::kVoucherNo, 0);
    };
    {
        // 总账库 and 账库 share the ledger layout.
        const SetTable generalTable(store, session, file::kGeneralLedger);
        const SetTable ledgerTable(store, session, file::kLedger);
        const Table& general = generalTable.table();
        const Table& ledger = ledgerTable.table();
        const int date = ledger.position(field::kVoucherDate), summary = ledger.position(field::kSummary),
                  debit = ledger.position(field::kDebit), credit = ledger.position(field::kCredit),
                  balance = ledger.position(field::kBalance);
        const std::vector<int> fields{date, summary, debit, credit, balance};
        for (const std::string& cash : rules.cashAccounts) {
            if (!isTopLevel(cash)) continue;
            general.forEach(
                summaryRows(cash), fields,
                [&](const Record& r) {
                    Flow& f = out.months[YearMonth::of(r[date].number())].tops[cash];
                    if (r[summary].text() == kMonthTotal) {
                        f.debit = r[debit].number();
                        f.credit = r[credit].number();
                    } else if (r[summary].text() == kYearTotal) {
                        f.balance = r[balance].number();
                    }
                    return true;
                },
                RowOrder::Any);
        }
        std::set<std::string> names;
        for (const std::string& cash : rules.cashAccounts) {
            if (isTopLevel(cash)) continue;
            names.insert(cash);
            for (const std::string& a : accountsAtOrBelow(books.chart, cash)) names.insert(a);
        }
        for (const std::string& name : names)
            ledger.forEach(
                summaryRows(name), fields,
                [&](const Record& r) {
                    if (r[summary].text() != kMonthTotal) return true;
                    Flow& f = out.months[YearMonth::of(r[date].number())].accounts[name];
                    f.debit = r[debit].number();
                    f.credit = r[credit].number();
                    f.balance = r[balance].number();
                    return true;
                },
                RowOrder::Any);
    }

    const SetTable voucherTable(store, session, file::kVouchers);
    const Table& vouchers = voucherTable.table();
    const int date = vouchers.position(field::kDate), number = vouchers.position(field::kMonthNumber),
              page = vouchers.position(field::kPage), poster = vouchers.position(field::kPoster);
    std::array<std::array<int, 4>, kLinesPerPage> line{};  // account, debit, credit, summary
    for (int i = 0; i < kLinesPerPage; ++i)
        line[i] = {vouchers.position(field::lineAccount(i + 1)), vouchers.position(field::lineDebit(i + 1)),
                   vouchers.position(field::lineCredit(i + 1)), vouchers.position(field::lineSummary(i + 1))};
    struct Page {
        int page;
        std::int64_t id;
        double date;
        std::vector<CashFlowVoucherLine> lines;
    };
    struct Voucher {
        std::vector<Page> pages;
        bool movesCash = false;
    };
    std::map<std::pair<YearMonth, std::int64_t>, Voucher> read;  // by month and 月编号
    const auto readPages = [&](YearMonth first, YearMonth last, bool summaries) {
        if (last < first) return;
        std::vector<int> fields{date, number, page, poster};
        for (const auto& l : line) fields.insert(fields.end(), l.begin(), l.end() - (summaries ? 0 : 1));
        vouchers.forEach(
            Where().atLeast(field::kDate, first.firstDay()).below(field::kDate, last.next().firstDay()), fields,
            [&](const Record& r) {
                if (r[poster].text().empty()) return true;
                const double day = r[date].number();
                Voucher& v = read[{YearMonth::of(day), r[number].integer()}];
                Page p{static_cast<int>(r[page].integer()), r.id, day, {}};
                for (const auto& l : line) {
                    const std::string& account = r[l[0]].text();
                    if (account.empty()) continue;
                    v.movesCash = v.movesCash || rules.isCash(account);
                    p.lines.push_back({account, r[l[3]].text(), toCents(r[l[1]].number()),
                                       toCents(r[l[2]].number())});
                }
                v.pages.push_back(std::move(p));
                return true;
            },
            RowOrder::Any);
    };
    readPages(from, std::min(to, detailFrom.previous()), false);
    readPages(std::max(from, detailFrom), to, true);

    std::map<YearMonth, std::vector<CashVoucher>> byMonth;
    for (auto& [key, voucher] : read) {
        if (!voucher.movesCash) continue;
        auto& list = voucher.pages;
        std::sort(list.begin(), list.end(),
                  [](const Page& a, const Page& b) {
                      return a.page != b.page ? a.page < b.page : a.id < b.id;
                  });
        CashVoucher v;
        v.date = list.front().date;
        v.number = static_cast<double>(key.second);
        for (Page& p : list)
            for (CashFlowVoucherLine& l : p.lines) v.lines.push_back(std::move(l));
        for (const CashFlowVoucherLine& l : v.lines)
            if (v.summary.empty()) v.summary = l.summary;
        byMonth[key.first].push_back(std::move(v));
    }
    for (auto& [month, list] : byMonth) {
        std::stable_sort(list.begin(), list.end(), [](const CashVoucher& a, const CashVoucher& b) {
            return std::floor(a.date) < std::floor(b.date);
        });
        for (CashVoucher& v : list) out.vouchers.push_back(std::move(v));
    }
    return out;
}

// A figure of the cash accounts in a month, in cents: of 总账库's row for a
// top-level account (as the balance sheet reads it), of 账库's rows at and
// below a sub-account.
template <class Figure>
std::int64_t cashFigure(const BookMonth& month, const std::string& cash, Figure figure) {
    if (isTopLevel(cash)) {
        const auto it = month.tops.find(cash);
        return it == month.tops.end() ? 0 : figure(it->second);
    }
    std::int64_t sum = 0;
    forEachAtOrBelow(month.accounts, cash, [&](const std::string&, const Flow& f) { sum += figure(f); });
    return sum;
}

template <class Figure>
std::int64_t cashTotal(const BookMonth& month, const CashFlowRules& rules, Figure figure) {
    std::int64_t sum = 0;
    for (const std::string& cash : rules.cashAccounts) sum += cashFigure(month, cash, figure);
    return sum;
}

std::int64_t flowMovement(const Flow& f) { return toCents(f.debit) + toCents(f.credit); }
std::int64_t flowClosing(const Flow& f) { return toCents(f.balance); }
std::int64_t flowOpening(const Flow& f) { return toCents(f.balance) - toCents(f.debit) - toCents(f.credit); }

// The vouchers' shares by month and line, what they moved of each cash
// account by month, the notices and the detail of the months from `first` on.
struct Shares {
    std::map<YearMonth, std::map<int, std::int64_t>> lines;
    std::map<YearMonth, std::map<std::string, std::int64_t>> moved;
    std::vector<std::string> notices;
    std::vector<CashFlowEntry> entries;
};

// The assignments by voucher: (month index, 月编号) → the parts, in cents.
using Assigned = std::map<std::pair<int, std::int64_t>, std::vector<std::pair<int, std::int64_t>>>;

Assigned assignedOf(const std::vector<CashFlowAssignment>& records) {
    Assigned out;
    for (const CashFlowAssignment& a : records)
        out[{YearMonth::of(a.date).index(), std::llround(a.number)}].emplace_back(a.line, toCents(a.amount));
    return out;
}

std::int64_t movementOfParts(const std::vector<std::pair<int, std::int64_t>>& parts) {
    std::int64_t moved = 0;
    for (const auto& [line, cents] : parts) moved += movementOf(line, cents);
    return moved;
}

void addEntries(std::vector<CashFlowEntry>& entries, const CashVoucher& v,
                const std::vector<CashFlowShare>& shares, bool assigned) {
    std::map<int, std::pair<CashFlowEntry, std::int64_t>> byLine;
    for (const CashFlowShare& share : shares) {
        auto& [e, cents] = byLine[share.line];
        if (e.line == 0) {
            e.line = share.line;
            e.date = v.date;
            e.number = v.number;
            e.summary = share.summary.empty() ? v.summary : share.summary;
            e.assigned = assigned;
        }
        cents += share.cents;
        if (!share.account.empty() &&
            std::find(e.accounts.begin(), e.accounts.end(), share.account) == e.accounts.end())
            e.accounts.push_back(share.account);
    }
    for (auto& [line, entry] : byLine) {
        entry.first.amount = fromCents(entry.second);
        entries.push_back(std::move(entry.first));
    }
}

// The vouchers' shares: an assigned voucher's as assigned, which must still
// add up to its movement; any other's by its counters. An assignment left
// without a voucher that moves cash refuses too.
Shares shareOutVouchers(const CashFlowRules& rules, const std::vector<CashVoucher>& vouchers, Assigned assigned,
                        YearMonth first) {
    Shares out;
    std::map<std::string, std::set<int>> unnamed;  // counter account → its lines
    std::vector<std::string> withoutCounters;
    const std::string redo = "请重新指定，或取消指定。";
    for (const CashVoucher& v : vouchers) {
        const YearMonth m = YearMonth::of(v.date);
        VoucherCashFlow flow = analyseVoucher(rules, v.lines);
        for (const auto& [cash, cents] : flow.cash) out.moved[m][cash] += cents;
        const auto byHand = assigned.find({m.index(), std::llround(v.number)});
        if (byHand != assigned.end()) {
            for (const auto& [line, cents] : byHand->second)
                if (!isFlowLine(line))
                    refuse(v.name() + "指定的第" + std::to_string(line) + "行不是计入现金收支的行。" + redo,
                           "assignment to line " + std::to_string(line));
            const std::int64_t moved = movementOfParts(byHand->second);
            if (moved != flow.movement)
                refuse(v.name() + "指定的现金流量合计为" + money(moved) + "，凭证的现金收支净额为" +
                           money(flow.movement) + "，相差" + difference(moved, flow.movement) + "。" + redo,
                       "stale assignment");
            flow.shares.clear();
            for (const auto& [line, cents] : byHand->second)
                flow.shares.push_back({line, cents, std::string(), true, std::string()});
            for (const auto& [line, cents] : byHand->second) out.lines[m][line] += cents;
            if (m >= first) addEntries(out.entries, v, flow.shares, true);
            assigned.erase(byHand);
            continue;
        }
        for (const CashFlowShare& share : flow.shares) {
            out.lines[m][share.line] += share.cents;
            if (share.account.empty())
                withoutCounters.push_back(v.name() + "收付现金而没有对方科目，已计入" + lineName(share.line) + "。");
            else if (!share.named)
                unnamed[share.account].insert(share.line);
        }
        if (m >= first) addEntries(out.entries, v, flow.shares, false);
    }
    if (!assigned.empty()) {
        const auto& key = assigned.begin()->first;
        refuse(YearMonth::fromIndex(key.first).text() + "的凭证" + std::to_string(key.second) +
                   "指定了现金流量，但它没有已登账的现金收支。" + redo,
               "assignment without a voucher");
    }
    for (const auto& [account, lines] : unnamed)
        for (const int line : lines)
            out.notices.push_back("科目“" + account + "”不在现金流量项目中，已计入" + lineName(line) + "。");
    out.notices.insert(out.notices.end(), withoutCounters.begin(), withoutCounters.end());
    std::stable_sort(out.entries.begin(), out.entries.end(), [](const CashFlowEntry& a, const CashFlowEntry& b) {
        if (a.line != b.line) return a.line < b.line;
        return std::floor(a.date) < std::floor(b.date);
    });
    return out;
}

// Step 3: each month's movement of each cash account on the vouchers is the ledger's.
void requireMovementsAgree(const CashBooks& books, const CashFlowRules& rules, Shares& shares, YearMonth from,
                           YearMonth to) {
    for (YearMonth m = from; m <= to; m = m.next())
        for (const std::string& cash : rules.cashAccounts) {
            const std::int64_t onVouchers = shares.moved[m][cash];
            const std::int64_t inLedger = cashFigure(books.at(m), cash, flowMovement);
            if (onVouchers != inLedger)
                refuse("现金流量表与账簿不符：" + m.text() + "“" + cash + "”在已登账凭证上的收支净额为" +
                           money(onVouchers) + "，账上的本月发生额为" + money(inLedger) + "，相差" +
                           difference(onVouchers, inLedger) + "。" + kCheckBooks,
                       "cash movement of " + cash + " in " + m.code());
        }
}

// Step 4's premise: each month starts with the cash the month before ended with.
void requireBalancesChain(const CashBooks& books, const CashFlowRules& rules, YearMonth from, YearMonth to) {
    std::int64_t before = cashTotal(books.at(from), rules, flowClosing);
    for (YearMonth m = from.next(); m <= to; m = m.next()) {
        const std::int64_t opening = cashTotal(books.at(m), rules, flowOpening);
        if (opening != before)
            refuse("现金流量表与账簿不符：" + m.text() + "初现金科目的余额为" + money(opening) + "，上月末为" +
                       money(before) + "，相差" + difference(opening, before) + "。" + kCheckBooks,
                   "cash balance chain at " + m.code());
        before = cashTotal(books.at(m), rules, flowClosing);
    }
}

}  // namespace

std::string CashFlowEntry::source() const {
    if (assigned) return "指定";
    std::string out;
    for (const std::string& a : accounts) out += (out.empty() ? "" : "、") + a;
    return out;
}

CashFlow cashFlow(RecordStore& store, const Session& session, const StatementPeriod& period) {
    const CashFlowRules rules = loadCashFlowRules(session.dataDir);
    const Books books = readBookFacts(store, session);
    requireClosedMonth(books, period.last);
    const YearMonth last = period.last;
    const YearMonth first = std::max(period.first, books.start);
    const YearMonth yearStart = books.yearStart(last);
    const CashBooks cash = readCashBooks(store, session, books, rules, yearStart, last, first);

    Shares shares = shareOutVouchers(rules, cash.vouchers,
                                     assignedOf(readCashFlowAssignments(store, session, yearStart, last)), first);
    requireMovementsAgree(cash, rules, shares, yearStart, last);
    requireBalancesChain(cash, rules, yearStart, last);

    // Per column: 本年累计金额 from the year's start, 本月金额 (本期金额) from the period's.
    std::array<std::array<std::int64_t, 23>, 2> v{};
    const YearMonth starts[2] = {yearStart, first};
    const std::int64_t end = cashTotal(cash.at(last), rules, flowClosing);
    for (int c = 0; c < 2; ++c) {
        auto& x = v[c];
        for (YearMonth m = starts[c]; m <= last; m = m.next())
            for (const auto& [line, cents] : shares.lines[m]) x[line] += cents;
        x[7] = x[1] + x[2] - x[3] - x[4] - x[5] - x[6];
        x[13] = x[8] + x[9] + x[10] - x[11] - x[12];
        x[19] = x[14] + x[15] - x[16] - x[17] - x[18];
        x[20] = x[7] + x[13] + x[19];
        x[21] = cashTotal(cash.at(starts[c]), rules, flowOpening);
        x[22] = x[20] + x[21];
        if (x[22] != end)
            refuse("现金流量表与账簿不符：期末现金余额按期初余额与收支净额计算为" + money(x[22]) + "，账上为" +
                       money(end) + "，相差" + difference(x[22], end) + "。" + kCheckBooks,
                   "line 22 of column " + std::to_string(c));
    }

    // Step 5: cash is the balance sheet's 货币资金.
    const Statement sheet = balanceSheet(store, session, last);
    const std::int64_t sheetEnd = toCents(sheet.amount(1, 0)), sheetStart = toCents(sheet.amount(1, 1));
    const std::string rulesHint = std::string("请使") + kCashFlowRulesFile + "的现金科目与" + kStatementRulesFile +
                                  "第1行的取数一致。";
    if (sheetEnd != end)
        refuse("现金流量表的期末现金余额为" + money(end) + "，资产负债表第1行“货币资金”的期末余额为" +
                   money(sheetEnd) + "，相差" + difference(end, sheetEnd) + "。" + rulesHint,
               "line 22 against the balance sheet");
    if (sheetStart != v[0][21])
        refuse("现金流量表本年的期初现金余额为" + money(v[0][21]) + "，资产负债表第1行“货币资金”的年初余额为" +
                   money(sheetStart) + "，相差" + difference(v[0][21], sheetStart) + "。" + rulesHint,
               "line 21 against the balance sheet");

    CashFlow out;
    Statement& s = out.statement;
    s.kind = StatementKind::CashFlow;
    s.title = kCashFlowStatementName;
    s.form = "会小企03表";
    s.company = books.company;
    s.columns[0] = "本年累计金额";
    if (period.quarter == 0) {
        s.date = last.text();
        s.columns[1] = "本月金额";
        s.fileStem = std::string(kCashFlowStatementName) + "-" + last.code();
    } else {
        const std::string year = std::to_string(last.year), quarter = std::to_string(period.quarter);
        s.date = year + "年第" + quarter + "季度";
        s.columns[1] = "本期金额";
        s.fileStem = std::string(kCashFlowStatementName) + "-" + year + "-Q" + quarter;
    }
    for (const FormLine& f : kForm) {
        StatementLine l;
        l.line = f.line;
        l.item = f.item;
        l.computed = f.line != 0;
        for (int c = 0; c < 2; ++c) l.amounts[c] = fromCents(v[c][f.line]);
        s.lines.push_back(std::move(l));
    }
    s.notices = std::move(shares.notices);
    out.entries = std::move(shares.entries);
    return out;
}

void assignCashFlow(RecordStore& store, const Session& session, YearMonth month, double number,
                    const std::vector<std::pair<int, double>>& parts) {
    requireEnabledSet(store, session);
    std::set<int> lines;
    std::vector<std::pair<int, std::int64_t>> inCents;
    for (const auto& [line, amount] : parts) {
        if (!isFlowLine(line))
            refuse("行次" + std::to_string(line) + "不是计入现金收支的行，应为第1到6、8到12、14到18行之一！");
        if (!lines.insert(line).second) refuse("行次" + std::to_string(line) + "重复！");
        if (const std::string refusal = checkAmount(amount); !refusal.empty()) refuse(refusal, plainDecimal(amount));
        inCents.emplace_back(line, toCents(amount));
    }
    const std::string voucher = month.text() + "的凭证" + plainDecimal(number);
    double date = month.firstDay();
    if (!parts.empty()) {
        const VoucherTable vouchers(store, session);
        const std::vector<VoucherPage> pages = vouchers.pages(voucherPages(month.firstDay(), number));
        if (pages.empty() || !pages.front().isVoucher()) refuse(month.text() + "没有凭证" + plainDecimal(number) + "！");
        date = pages.front().date;
        const std::int64_t movement = analyseVoucher(loadCashFlowRules(session.dataDir), linesOf(pages)).movement;
        if (movement == 0) refuse(voucher + "没有现金收支，不用指定现金流量！");
        const std::int64_t moved = movementOfParts(inCents);
        if (moved != movement)
            refuse("指定的金额合计（收入减支出）为" + money(moved) + "，" + voucher + "的现金收支净额为" +
                   money(movement) + "，相差" + difference(moved, movement) + "！");
    }
    writeCashFlowAssignment(store, session, date, number, parts);
}

}  // namespace tw
