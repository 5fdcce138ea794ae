#pragma once
// Opens a written file (a workbook, a PDF) in the program the desktop uses
// for its kind.

#include <QString>
#include <filesystem>

namespace tw {

// What an export shows when no program could open the workbook it wrote.
inline constexpr const char* kNoSpreadsheetProgram =
    "您的计算机没有安装Microsoft Office Excel电子表格程序！\r\n导出报表需要 Excel2000 或 以上版本！";

// The message above followed by the place where the written file was kept.
QString noSpreadsheetMessage(const std::filesystem::path& file);

// False when the file does not exist or no program could open it; the file
// itself is left as it is.
bool openDocument(const std::filesystem::path& file);

}  // namespace tw
