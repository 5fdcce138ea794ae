#pragma once
// Ledger pages and lists into a spreadsheet: the cells of rows 1.. and
// columns 1 to 7 go, cell by cell and as the texts they show, into worksheet
// 1 of a new workbook: cell (i, k) to the cell of column a..g in row i. The
// page's template rows (title, heading, column heads) come along.
//
// Where a spreadsheet program would be handed an unsaved workbook, the
// workbook is written to an .xlsx file that the desktop then opens.

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "ledgers/ledger_page.h"
#include "platform/page_grid.h"
#include "platform/workbook.h"

namespace tw {

using ExportRow = std::array<std::string, 7>;

// The texts of columns 1 to 7 of every row of the page.
std::vector<ExportRow> pageExportRows(const PageGrid& page);

// Row i of `rows` (from 1) into row i of worksheet 1, columns a..g, as text.
// Empty cells stay empty.
Workbook exportWorkbook(const std::vector<ExportRow>& rows);

// The ledger page's workbook: its cells, and the page's column widths so that
// the amounts show whole.
Workbook ledgerWorkbook(const PageGrid& page);

// Writes the workbook. Refuses a target inside the account-set directory
// `dataDir`, one that is no regular file, or one whose folder is missing or
// cannot be written (storage/user_files.h); a file that cannot be written is
// refused with the real reason (userFileFailure, the detail in the detail)
// and the earlier file stays.
void saveExport(const Workbook& book, const std::filesystem::path& file,
                const std::filesystem::path& dataDir);

// `folder`/`name`, or, when that file exists, the first free "stem (2).xlsx",
// "stem (3).xlsx" …: an export never replaces an earlier one.
std::filesystem::path freeExportPath(const std::filesystem::path& folder, const std::string& name);

// `stem` + ".xlsx", each character a file name cannot hold (/ \ : * ? " < > |)
// made "_".
std::string exportFileName(std::string stem);

// "明细账 库存现金 2013-1-1至2013-1-31.xlsx" (exportFileName).
std::string ledgerExportName(const LedgerRequest& request);

}  // namespace tw
