#include "platform/file_templates.h"

#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "platform/workbook.h"
#include "storage/file_swap.h"
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

// The calculator launcher: starts the first calculator the desktop has and
// ends at once, so that the program can tell how it went (status 0: started;
// 127: no calculator, see platform/ui/run_program.h). The calculator gets a
// session of its own where setsid is there, to run on after the program.
constexpr std::string_view kCalculatorScript =
    "#!/bin/sh\n"
    "# Starts the first calculator program that this desktop has and ends at once:\n"
    "# status 0 when one was started, 127 when there is none.\n"
    "detach=\n"
    "command -v setsid >/dev/null 2>&1 && detach=setsid\n"
    "for p in gnome-calculator kcalc galculator qalculate-gtk xcalc; do\n"
    "  if command -v \"$p\" >/dev/null 2>&1; then\n"
    "    $detach \"$p\" \"$@\" </dev/null >/dev/null 2>&1 &\n"
    "    exit 0\n"
    "  fi\n"
    "done\n"
    "echo \"没有找到计算器程序\" >&2\n"
    "exit 127\n";

// The launcher as earlier versions made it: it ran the calculator in its
// own place and ended only with it, so that nothing could tell a calculator
// missing from one at work.
constexpr std::string_view kEarlierCalculatorScript =
    "#!/bin/sh\n"
    "# Starts the first calculator program that this desktop has.\n"
    "for p in gnome-calculator kcalc galculator qalculate-gtk xcalc; do\n"
    "  if command -v \"$p\" >/dev/null 2>&1; then exec \"$p\" \"$@\"; fi\n"
    "done\n"
    "echo \"没有找到计算器程序\" >&2\n"
    "exit 1\n";

void writeCalculator(const fs::path& path) {
    std::ofstream out(path, std::ios::binary);
    out << kCalculatorScript;
    out.close();
    ::chmod(path.c_str(), 0755);
}

// True when `path` is a regular file holding exactly `text`.
bool holdsExactly(const fs::path& path, std::string_view text) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec) || fs::file_size(path, ec) != text.size()) return false;
    std::ifstream in(path, std::ios::binary);
    const std::string held((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return held == text;
}

}  // namespace

void makeMissingWorkbookTemplates(const fs::path& dataDir) {
    makeFileIfMissing(dataDir / fs::u8path(file::kReportWorkbook),
                      [](const fs::path& tmp) { reportWorkbook().write(tmp, nullptr); });
    makeFileIfMissing(dataDir / fs::u8path(file::kCoverWorkbook),
                      [](const fs::path& tmp) { coverWorkbook().write(tmp, nullptr); });
}

void makeMissingCalculator(const fs::path& dataDir) {
    const fs::path path = dataDir / fs::u8path(file::kCalculator);
    if (holdsExactly(path, kEarlierCalculatorScript))
        writeThenRename(path, [](const fs::path& tmp) {
            writeCalculator(tmp);
            std::error_code made;
            return fs::exists(tmp, made);
        });
    makeFileIfMissing(path, writeCalculator);
}

std::string_view calculatorScript() { return kCalculatorScript; }

}  // namespace tw
