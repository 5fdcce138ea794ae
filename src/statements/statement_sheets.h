#pragma once
// The statements as the forms print them: one layout per statement, written
// as a worksheet of a real .xlsx (numbers as numbers, "#,##0.00") and as a
// page grid (printed, shown on screen, written to PDF). Each keeps the
// form's order: the title, its form number, 编制单位, the date and 单位：元,
// the column heads, the ruled lines, and below them the notices.
//   资产负债表: A4 landscape, 资产 on the left, 负债和所有者权益 on the right,
//              their totals on the last row;
//   利润表 and 现金流量表: A4 portrait;
//   科目余额表: A4 landscape, the heads repeated on every page.
// The three statements fit on one page each.

#include <string>
#include <vector>

#include "platform/page_grid.h"
#include "platform/workbook.h"
#include "statements/account_balances.h"
#include "statements/statement.h"

namespace tw {

// One cell of a layout: a text, or an amount (shown only when not zero).
struct SheetCell {
    std::string text;
    bool isAmount = false;
    double amount = 0;
    HAlign align = HAlign::Left;
    bool bold = false;
    int colSpan = 1;  // more than 1 on the first cell of a merged block only
    int rowSpan = 1;
};

struct SheetLayout {
    std::string name;     // the worksheet's name
    std::string title;    // 资产负债表
    std::string form;     // 会小企01表, or empty
    std::string company;  // 编制单位
    std::string date;
    std::vector<double> widths;  // column widths in characters of 10 points
    std::vector<std::vector<SheetCell>> heads;  // the column heads, bold and centred
    std::vector<std::vector<SheetCell>> rows;   // the ruled lines
    std::vector<std::string> notes;             // under the lines
    bool landscape = false;
    bool onePage = true;  // scaled to one page (else one page wide, heads repeated)
};

SheetLayout statementLayout(const Statement& s);
SheetLayout balancesLayout(const AccountBalances& b);

// "1,234.50", "-80.00"
std::string groupedAmount(double x);

// A workbook of these sheets, in this order.
Workbook layoutWorkbook(const std::vector<SheetLayout>& sheets);
// The page grid of one layout.
PageGrid layoutPage(const SheetLayout& sheet);

}  // namespace tw
