#include "platform/file_templates.h"

#include <sys/stat.h>

#include <fstream>

#include "platform/workbook.h"
#include "storage/schemas.h"
#include "storage/templates.h"

namespace tw {

namespace fs = std::filesystem;

namespace {

Workbook reportWorkbook() {
    Workbook book;
    for (const char* name : {"科目汇总表", "试算平衡表"}) {
        Worksheet& sheet = book.addSheet(name);
        sheet.setText("A1", name);
        sheet.setFont("A1", "", 14, true);
    }
    return book;
}

Workbook coverWorkbook() {
    Workbook book;
    Worksheet& sheet = book.addSheet("封面");
    sheet.setColumnWidth(1, 16);
    sheet.setColumnWidth(2, 40);
    sheet.setText("A3", "会 计 凭 证 封 面");
    sheet.setFont("A3", "", 26, true);
    sheet.setAlignment("A3", CellAlign::Centre);
    sheet.merge("A3:B3");
    const char* rows[] = {"单位名称：", "所属期间：", "凭证起止号：", "册    数：", "会计主管：",
                          "装 订 人："};
    for (int i = 0; i < 6; ++i) {
        const int row = 6 + i * 2;
        sheet.setText(row, 1, rows[i]);
        const std::string line = cellName(row, 1) + ":" + cellName(row, 2);
        sheet.setFont(line, "", 14, false);
        sheet.setBottomBorder(line, true);
    }
    return book;
}

void writeCalculator(const fs::path& path) {
    std::ofstream out(path);
    out << "#!/bin/sh\n"
           "# Starts the first calculator program that this desktop has.\n"
           "for p in gnome-calculator kcalc galculator qalculate-gtk xcalc; do\n"
           "  if command -v \"$p\" >/dev/null 2>&1; then exec \"$p\" \"$@\"; fi\n"
           "done\n"
           "echo \"没有找到计算器程序\" >&2\n"
           "exit 1\n";
    out.close();
    ::chmod(path.c_str(), 0755);
}

}  // namespace

void makeMissingWorkbookTemplates(const fs::path& dataDir) {
    makeFileIfMissing(dataDir / fs::u8path(file::kReportWorkbook),
                      [](const fs::path& tmp) { reportWorkbook().write(tmp, nullptr); });
    makeFileIfMissing(dataDir / fs::u8path(file::kCoverWorkbook),
                      [](const fs::path& tmp) { coverWorkbook().write(tmp, nullptr); });
}

void makeMissingCalculator(const fs::path& dataDir) {
    makeFileIfMissing(dataDir / fs::u8path(file::kCalculator), writeCalculator);
}

}  // namespace tw
