#pragma once
// The month's report as a workbook: the account summary on worksheet 1 and
// the trial balance on worksheet 2, laid out as the bookkeeper hands them on.
//
// Worksheet 1 (科目汇总表), columns a..c:
//   a1:c1 the title; c2 the month ("2013年3月"); a3:c3 "单位：" + company;
//   row 4 the headings 会计科目, 借方发生额, 贷方发生额; from row 5 one row per
//   account; then the "合计" row; then a..c merged: "制表：" + user, five
//   blanks and the date made ("2013年4月2日").
// Worksheet 2 (试算平衡表), columns a..i:
//   a1:i1 the title; a2:e2 "单位：" + company, h2:i2 the month; rows 3 and 4
//   the headings: 会计科目 (a3:a4), then 期初余额, 累计发生, 期末余额 and
//   年初余额 (blue), each over 借方 and 贷方; from row 5 one row per account;
//   then the one "合计" row.
// Amount cells hold numbers formatted "#,##0.00", right-aligned; an amount
// of no more than 1e-7 leaves its cell empty (the border stays). The font is
// 宋体 throughout. Each sheet prints one page wide; the trial balance on
// landscape paper.

#include <filesystem>
#include <string>
#include <vector>

#include "ledgers/report.h"
#include "platform/workbook.h"

namespace tw {

// The names of the worksheets of the set's report workbook (at least two: the
// report fills the first two). Its own names when it can be read; otherwise,
// or for the sheets it lacks, 科目汇总表 and 试算平衡表.
std::vector<std::string> reportSheetNames(const std::filesystem::path& templateWorkbook);

Workbook monthReportWorkbook(const MonthReport& report, const std::vector<std::string>& sheetNames);

// What a sheet shows, row by row from row 1 to its last: each row's cells from
// column a to its last written cell; text as it is, numbers with two decimals.
std::vector<std::vector<std::string>> shownRows(const Worksheet& sheet);

}  // namespace tw
