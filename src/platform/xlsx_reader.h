#pragma once
// Reads back the cell values of an .xlsx workbook: what a written export or
// report holds, without a spreadsheet program.
//
// Steps: open the ZIP (minizip); find the sheet's part through
// xl/workbook.xml and its relationships; read the shared strings; walk the
// sheet's <c> elements. Values come back as text: shared and inline strings
// (rich-text runs joined, phonetic runs left out), numbers as written in the
// file ("1234.5"), booleans as TRUE/FALSE, errors as their text (#DIV/0!).
// Formulas give their cached result. Empty cells are left out.
//
// Refused, with the reason: a file that is not a ZIP, a missing part, a
// damaged entry (CRC), XML that is not well formed, a shared-string index out
// of range, a sheet number past the last.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tw {

// "A1" -> text of worksheet `sheet` (counted from 1 in the workbook's order).
std::optional<std::map<std::string, std::string>> readXlsxSheet(const std::filesystem::path& file,
                                                                int sheet, std::string* error);

// The worksheets' names, in order.
std::optional<std::vector<std::string>> readXlsxSheetNames(const std::filesystem::path& file,
                                                           std::string* error);

}  // namespace tw
