// 资产负债表 (statement.h).
#include "statements/statement.h"
#include "storage/dates.h"
#include "storage/number_text.h"

namespace tw {

Statement balanceSheet(RecordStore& store, const Session& session, YearMonth month) {
    const StatementRules rules = loadStatementRules(session.dataDir);
    Books books = readBookFacts(store, session);
    requireClosedMonth(books, month);
    const YearMonth yearStart = books.yearStart(month);
    // Two months are all it shows: the year's first and this one.
    readBookMonths(store, session, books, yearStart, yearStart);
    readBookMonths(store, session, books, month, month);

    // 期末余额: the month's end; 年初余额: the opening of the year's first month.
    // In whole cents; the opening as the balance less the month's movement.
    const auto opening = [](const Flow& f) {
        return toCents(f.balance) - toCents(f.debit) - toCents(f.credit);
    };
    ColumnFigures columns[2];
    for (const auto& [top, f] : books.at(month).tops) columns[0].tops[top] = toCents(f.balance);
    for (const auto& [account, f] : books.at(month).accounts)
        columns[0].accounts[account] = toCents(f.balance);
    for (const auto& [top, f] : books.at(yearStart).tops) columns[1].tops[top] = opening(f);
    for (const auto& [account, f] : books.at(yearStart).accounts) columns[1].accounts[account] = opening(f);

    Statement s;
    s.kind = StatementKind::BalanceSheet;
    s.title = kBalanceSheetName;
    s.form = "会小企01表";
    s.company = books.company;
    s.date = chineseDate(month.lastDay());
    s.columns[0] = "期末余额";
    s.columns[1] = "年初余额";
    s.fileStem = std::string(kBalanceSheetName) + "-" + month.code();
    evaluateStatement(books, rules.balanceSheet, columns, "余额", [](const std::string&) { return true; }, s);
    // 资产总计 = 负债和所有者权益总计 on balanced books whose every balance
    // falls under a line: a statement that breaks it is not shown.
    for (int c = 0; c < 2; ++c)
        requireIdentity(s, c, "资产负债表不平：", "资产总计", toCents(s.amount(30, c)),
                        "负债和所有者权益总计", toCents(s.amount(53, c)));
    return s;
}

}  // namespace tw
