// 利润表, of a month and of a quarter (statement.h).
#include <algorithm>

#include "accounts/chart.h"
#include "statements/statement.h"
#include "storage/number_text.h"
#include "storage/outcome.h"

namespace tw {

namespace {

// The movement of every account over the months from..to, without the
// carry-forward entries, and its sum per top-level account, in whole cents.
ColumnFigures movement(const Books& books, YearMonth from, YearMonth to) {
    const auto cents = [](const Flow& f) { return toCents(f.debit) + toCents(f.credit); };
    ColumnFigures out;
    for (YearMonth m = from; m <= to; m = m.next()) {
        const BookMonth& month = books.at(m);
        for (const auto& [account, f] : month.accounts) {
            std::int64_t v = cents(f);
            if (const auto carried = month.carried.find(account); carried != month.carried.end())
                v -= cents(carried->second);
            out.accounts[account] += v;
            out.tops[topLevelAccount(account)] += v;
        }
    }
    return out;
}

// The statement of the months from..to (from before the books counts from
// their start), with the year to date up to `to`.
Statement incomeOf(RecordStore& store, const Session& session, YearMonth from, YearMonth to,
                   const char* column, std::string date, std::string stem) {
    const StatementRules rules = loadStatementRules(session.dataDir);
    Books books = readBookFacts(store, session);
    requireClosedMonth(books, to);
    from = std::max(from, books.start);
    const YearMonth yearStart = books.yearStart(to);
    readBookMonths(store, session, books, std::min(from, yearStart), to);

    const ColumnFigures columns[2] = {movement(books, yearStart, to), movement(books, from, to)};
    Statement s;
    s.kind = StatementKind::IncomeStatement;
    s.title = kIncomeStatementName;
    s.form = "会小企02表";
    s.company = books.company;
    s.date = std::move(date);
    s.columns[0] = "本年累计金额";
    s.columns[1] = column;
    s.fileStem = std::move(stem);
    evaluateStatement(books, rules.incomeStatement, columns, "发生额",
                      [&](const std::string& top) { return books.category(top) == "损益类"; }, s);
    return s;
}

}  // namespace

Statement incomeStatement(RecordStore& store, const Session& session, YearMonth month) {
    return incomeOf(store, session, month, month, "本月金额", month.text(),
                    std::string(kIncomeStatementName) + "-" + month.code());
}

Statement quarterIncomeStatement(RecordStore& store, const Session& session, int year, int quarter) {
    if (quarter < 1 || quarter > 4) refuse(kBadQuarter);
    const YearMonth first{year, 3 * quarter - 2}, last{year, 3 * quarter};
    return incomeOf(store, session, first, last, "本期金额",
                    std::to_string(year) + "年第" + std::to_string(quarter) + "季度",
                    std::string(kIncomeStatementName) + "-" + std::to_string(year) + "-Q" +
                        std::to_string(quarter));
}

}  // namespace tw
