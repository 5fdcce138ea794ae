#include "statements/account_balances.h"

#include <algorithm>
#include <cstdint>
#include <map>

#include "accounts/account_codes.h"
#include "accounts/account_names.h"
#include "storage/number_text.h"
#include "storage/outcome.h"

namespace tw {

namespace {

// The four figures of an account in whole cents, signed debit positive; the
// movements as the debit and the (negative) credit sums.
struct Figures {
    std::int64_t opening = 0, debit = 0, credit = 0, yearDebit = 0, yearCredit = 0, closing = 0;
    void add(const Figures& o) {
        opening += o.opening;
        debit += o.debit;
        credit += o.credit;
        yearDebit += o.yearDebit;
        yearCredit += o.yearCredit;
        closing += o.closing;
    }
};

// The figures of every name in one of a month's maps (tops or accounts).
std::map<std::string, Figures> figuresOf(const Books& books, YearMonth from, YearMonth to,
                                         std::map<std::string, Flow> BookMonth::*rows) {
    std::map<std::string, Figures> out;
    const YearMonth yearStart = books.yearStart(to);
    for (const auto& [name, f] : books.at(from).*rows)
        out[name].opening = toCents(f.balance) - toCents(f.debit) - toCents(f.credit);
    for (const auto& [name, f] : books.at(to).*rows) out[name].closing = toCents(f.balance);
    for (YearMonth m = std::min(from, yearStart); m <= to; m = m.next())
        for (const auto& [name, f] : books.at(m).*rows) {
            Figures& x = out[name];
            const std::int64_t debit = toCents(f.debit), credit = toCents(f.credit);
            if (m >= from) {
                x.debit += debit;
                x.credit += credit;
            }
            if (m >= yearStart) {
                x.yearDebit += debit;
                x.yearCredit += credit;
            }
        }
    return out;
}

BalanceRow rowOf(const std::string& account, int level, const Figures& f) {
    BalanceRow r;
    r.account = account;
    r.level = level;
    r.opening = balanceSides(fromCents(f.opening));
    r.movement = {fromCents(f.debit), fromCents(-f.credit)};
    r.yearMovement = {fromCents(f.yearDebit), fromCents(-f.yearCredit)};
    r.closing = balanceSides(fromCents(f.closing));
    return r;
}

// `text` indented with a full-width blank for each level below the top.
std::string indented(int level, const std::string& text) {
    std::string indent;
    for (int i = 1; i < level; ++i) indent += "　";
    return indent + text;
}

// Added in whole cents: the totals row never drifts.
void addTo(SidePair& total, const SidePair& x) {
    total.debit = fromCents(toCents(total.debit) + toCents(x.debit));
    total.credit = fromCents(toCents(total.credit) + toCents(x.credit));
}

}  // namespace

std::string BalanceRow::shownName() const { return indented(level, ownNameOf(account)); }

std::string BalanceRow::label() const {
    return indented(level, codeAndName(code, ownNameOf(account)));
}

std::string AccountBalances::period() const {
    return from == to ? from.text() : from.text() + "至" + to.text();
}

std::string AccountBalances::fileStem() const {
    return std::string(kAccountBalancesName) + "-" +
           (from == to ? from.code() : from.code() + "至" + to.code());
}

AccountBalances accountBalances(RecordStore& store, const Session& session, YearMonth from,
                                YearMonth to, int level) {
    Books books = readBookFacts(store, session);
    // A range the wrong way round is said as such, whichever months it names.
    if (to < from) refuse(kRangeBackwards);
    requireClosedMonth(books, from);
    requireClosedMonth(books, to);
    readBookMonths(store, session, books, std::min(from, books.yearStart(to)), to);

    const auto tops = figuresOf(books, from, to, &BookMonth::tops);
    const auto accounts = figuresOf(books, from, to, &BookMonth::accounts);
    // A sub-account sums every posted account at or below it.
    const auto below = [&](const std::string& name) {
        Figures sum;
        forEachAtOrBelow(accounts, name, [&](const std::string&, const Figures& f) { sum.add(f); });
        return sum;
    };

    AccountBalances out;
    out.company = books.company;
    out.from = from;
    out.to = to;
    out.level = level;
    out.total.account = "合计";
    std::map<std::string, bool> listed;
    const auto addTop = [&](const std::string& name, int accountLevel) {
        const auto f = tops.find(name);
        const BalanceRow r = rowOf(name, accountLevel, f == tops.end() ? Figures{} : f->second);
        for (auto [sum, x] : {std::pair{&out.total.opening, &r.opening}, {&out.total.movement, &r.movement},
                              {&out.total.yearMovement, &r.yearMovement}, {&out.total.closing, &r.closing}})
            addTo(*sum, *x);
        return r;
    };
    // The chart as a tree: each top-level account in code order, each
    // followed by its sub-accounts (in code order, each with its own below
    // it), wherever the table holds them.
    const AccountCodes codes = accountCodes(store, session, books.chart);
    const std::vector<Account> chart = inCodeOrder(books.chart, codes);
    const NameTree tree = buildNameTree(chart, &Account::name, &Account::parent, EarlyChildren::Placed);
    for (const NameTree::Item& item : tree.items) {
        const Account& a = chart[item.record];
        const bool top = isTopLevel(a.name);
        const int accountLevel = std::max(1, a.level);
        if (top) listed[a.name] = true;
        if (!top && level != 0 && accountLevel > level) continue;
        BalanceRow r = top ? addTop(a.name, accountLevel) : rowOf(a.name, accountLevel, below(a.name));
        r.code = codeOf(codes, a.name);
        if (level == 0 || accountLevel <= level) out.rows.push_back(std::move(r));
    }
    for (const auto& [name, f] : tops)
        if (!listed.count(name)) out.rows.push_back(addTop(name, 1));
    return out;
}

}  // namespace tw
