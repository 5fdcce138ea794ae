#pragma once
// A whole ledger table as an HTML table in the form spreadsheet programs open
// as a workbook (总账.xls, 分账.xls beside the month's report).
//
// The file: a fixed header (the office and excel name spaces, content type
// "text/html; charset=GBK" — the bytes are GBK, and a reader told GB2312
// garbles the characters GB2312 lacks, such as 镕 —, ProgId Excel.Sheet, a style sheet with "." as
// decimal and "," as thousands separator and the cell style xl24, workbook
// settings with Sheet1 to Sheet3 and default row height 285, and the opening
// of the table with one <col> per field); a heading row of the field names;
// one row per record in record order; then "</table>", "</body>", "</html>".
// Cells of numeric fields carry x:num and are right-aligned; dates are
// written as 2013-3-31, numbers as plain decimal text. Text is escaped for
// HTML (&, <, >), so a summary can hold any character without breaking the
// table. Lines end with CRLF; the bytes are GBK.
//
// The records are streamed from the table, never held all at once (账库 may
// hold a million rows). The file is written at `target` itself, a temporary
// name the caller puts in place with the files it belongs with (report.h); a
// failure refuses with the disk message, the reason in the detail.

#include <filesystem>

#include "storage/record_store.h"

namespace tw {

inline constexpr const char* kGeneralLedgerHtml = "总账.xls";
inline constexpr const char* kDetailLedgerHtml = "分账.xls";

void writeHtmlTable(const Table& table, const std::filesystem::path& target);

}  // namespace tw
