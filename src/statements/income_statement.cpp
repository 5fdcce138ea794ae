// 利润表, of a month and of a quarter (statement.h).
#include <algorithm>

#include "accounts/chart.h"
#include "statements/statement.h"
#include "storage/number_text.h"
#include "storage/outcome.h"
#include "storage/schemas.h"

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
                      [&](const std::string& top) { return books.category(top) == kProfitAndLossCategory; }, s);
    // 净利润 is what the 损益类 accounts moved, credits less debits, leaving
    // out their carry-forward: every such figure under one line, once.
    for (int c = 0; c < 2; ++c) {
        std::int64_t moved = 0;
        for (const auto& [top, cents] : columns[c].tops)
            if (books.category(top) == kProfitAndLossCategory) moved -= cents;
        requireIdentity(s, c, "利润表不平：", "净利润", toCents(s.amount(32, c)), "损益类科目的发生额（贷方减借方）",
                        moved);
    }
    return s;
}

}  // namespace

StatementPeriod monthPeriod(YearMonth month) { return {month, month, 0}; }

StatementPeriod quarterPeriod(int year, int quarter) {
    if (quarter < 1 || quarter > 4) refuse(kBadQuarter);
    return {{year, 3 * quarter - 2}, {year, 3 * quarter}, quarter};
}

int quarterOf(YearMonth m) { return (m.month - 1) / 3 + 1; }

Statement incomeStatement(RecordStore& store, const Session& session,
                          const StatementPeriod& period) {
    if (period.quarter == 0)
        return incomeOf(store, session, period.first, period.last, "本月金额",
                        period.last.text(),
                        std::string(kIncomeStatementName) + "-" + period.last.code());
    const std::string year = std::to_string(period.last.year),
                      quarter = std::to_string(period.quarter);
    return incomeOf(store, session, period.first, period.last, "本期金额",
                    year + "年第" + quarter + "季度",
                    std::string(kIncomeStatementName) + "-" + year + "-Q" + quarter);
}

}  // namespace tw
