#pragma once
// Ledger pages and lists into a spreadsheet: the cells of rows 1.. and
// columns 1 to 7 go, cell by cell, into worksheet 1 of a new workbook: cell
// (i, k) to the cell of column a..g in row i. The page's template rows
// (title, heading, column heads) come along as the texts they show; in the
// rows of entries a date column holds real dates and an amount column
// numbers, so that the spreadsheet sorts the days and sums the amounts.
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

// What a column of an exported page or list holds.
enum class ExportColumn { Text, Date, Amount };
using ExportColumns = std::array<ExportColumn, 7>;
inline constexpr ExportColumns kTextColumns{ExportColumn::Text, ExportColumn::Text,
                                            ExportColumn::Text, ExportColumn::Text,
                                            ExportColumn::Text, ExportColumn::Text,
                                            ExportColumn::Text};

// The texts of columns 1 to 7 of every row of the page.
std::vector<ExportRow> pageExportRows(const PageGrid& page);

// Row i of `rows` (from 1) into row i of worksheet 1, columns a..g, as text.
// From row `firstEntryRow` on, a cell of a Date column whose text is a day
// (parseDate: 2013-3-1) holds the day number formatted kDateFormat, and a
// cell of an Amount column whose whole text is a number ("300.00", "-50",
// "0") holds that number formatted kAmountFormat; any other text stays text.
// Empty cells stay empty.
Workbook exportWorkbook(const std::vector<ExportRow>& rows,
                        const ExportColumns& columns = kTextColumns, int firstEntryRow = 1);

// Finishes an exported sheet whose column widths are set: an amount column
// is made wide enough for its widest amount (a number too wide for its
// column shows as "###"), and the sheet prints on A4, one page wide and as
// many pages tall as it needs, on landscape paper when its columns are wider
// than a portrait page's printable width.
void finishExportSheet(Worksheet& sheet);

// The ledger page's workbook: its cells (日期 a date, 借方, 贷方 and 余额
// amounts in the rows from the page's data row on), the page's column widths
// so that the amounts show whole, printed as finishExportSheet says.
Workbook ledgerWorkbook(const PageGrid& page);

// Writes the workbook. Refuses a target inside the account-set directory
// `dataDir`, one that is no regular file, or one whose folder is missing or
// cannot be written (storage/user_files.h); a file that cannot be written is
// refused with the real reason (userFileFailure, the detail in the detail)
// and the earlier file stays.
void saveExport(const Workbook& book, const std::filesystem::path& file,
                const std::filesystem::path& dataDir);

// An export of the windows into the export folder the user sees: refuses a
// folder inside the account-set directory, missing or not writable
// (requireExportFolder) before anything is written, then writes the workbook
// there under a free form of `name` (freeExportPath) through saveExport.
// Returns the file written, as a full path.
std::filesystem::path exportToFolder(const Workbook& book, const std::filesystem::path& folder,
                                     const std::string& name,
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
