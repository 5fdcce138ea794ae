// 资产负债表 (statement.h).
#include "storage/dates.h"
#include "statements/statement.h"

namespace tw {

Statement balanceSheet(RecordStore& store, const Session& session, YearMonth month) {
    const StatementRules rules = loadStatementRules(session.dataDir);
    Books books = readBookFacts(store, session);
    requireClosedMonth(books, month);
    const YearMonth yearStart = books.yearStart(month);
    readBookMonths(store, session, books, yearStart, month);

    // 期末余额: the month's end; 年初余额: the opening of the year's first month.
    ColumnFigures columns[2];
    for (const auto& [top, f] : books.at(month).tops) columns[0].tops[top] = f.balance;
    for (const auto& [account, f] : books.at(month).accounts) columns[0].accounts[account] = f.balance;
    for (const auto& [top, f] : books.at(yearStart).tops) columns[1].tops[top] = f.opening();
    for (const auto& [account, f] : books.at(yearStart).accounts)
        columns[1].accounts[account] = f.opening();

    Statement s;
    s.kind = StatementKind::BalanceSheet;
    s.title = kBalanceSheetName;
    s.form = "会小企01表";
    s.company = books.company;
    s.date = chineseDate(lastDayOf(month));
    s.columns[0] = "期末余额";
    s.columns[1] = "年初余额";
    s.fileStem = std::string(kBalanceSheetName) + "-" + monthCode(month);
    evaluateStatement(books, rules.balanceSheet, columns, "余额", [](const std::string&) { return true; }, s);
    return s;
}

}  // namespace tw
