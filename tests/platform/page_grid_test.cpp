#include "platform/page_grid.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>

#include "startup/start_up.h"
#include "storage/paths.h"
#include "storage/schemas.h"
#include "storage/store_fixture.h"

namespace tw {
namespace {

using test::TempDir;
namespace fs = std::filesystem;

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}

// A grid that uses every field the file carries, with texts JSON must escape.
PageGrid sampleGrid() {
    PageGrid g(4, 3, 80, 300);
    g.setText(1, 1, "总账 \"甲\" \\ 乙\n丙");
    g.setFont(1, 1, {"Noto Serif CJK SC", 16.5, true});
    g.setAlignment(1, 1, HAlign::Centre);
    EXPECT_TRUE(g.merge(1, 1, 1, 3));
    g.setText(2, 1, "日期");
    g.setBorders(2, 1, {true, false, true, true});
    g.setText(3, 3, "[金额]");
    g.setAlignment(3, 3, HAlign::Right);
    EXPECT_TRUE(g.merge(3, 1, 2, 2));
    g.setRowHeight(4, 123);
    g.setColumnWidth(2, 456);
    PaperSettings paper = paperSettings(PaperSize::Custom, Orientation::Landscape);
    paper.width = 2400;
    paper.height = 2800;
    paper.marginLeft = 50;
    paper.marginTop = 60;
    paper.marginRight = 70;
    paper.marginBottom = 80;
    g.setPaper(paper);
    g.setHeaderRows(2);
    g.setDataRow(3);
    return g;
}

// A ledger page with `lines` filled data rows.
PageGrid ledgerWithRows(int lines) {
    PageGrid g = ledgerPageTemplate();
    g.setText(1, 1, "银行存款 明细账");
    for (int i = 1; i <= lines; ++i) {
        const int row = i == 1 ? g.dataRow() : g.appendRow();
        g.setText(row, 3, "第" + std::to_string(i) + "行");
    }
    return g;
}

TEST(PageGridFile, SavedGridsLoadBackCellForCell) {
    TempDir dir;
    for (const PageGrid& grid : {sampleGrid(), ledgerPageTemplate(), voucherPageTemplate()}) {
        std::string error;
        ASSERT_TRUE(grid.save(dir / "a.grd", &error)) << error;
        const auto loaded = PageGrid::load(dir / "a.grd", &error);
        ASSERT_TRUE(loaded) << error;
        EXPECT_EQ(*loaded, grid);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(PageGridFile, MalformedFilesAreRefusedWithTheirFault) {
    // Each case damages a valid file in one way; the message must name it.
    const nlohmann::json valid = nlohmann::json::parse(sampleGrid().toJson());
    using Json = nlohmann::json;
    const std::vector<std::tuple<const char*, std::function<void(Json&)>, const char*>> cases{
        {"wrong format", [](Json& j) { j["format"] = "other"; }, "format"},
        {"newer version", [](Json& j) { j["version"] = 2; }, "version"},
        {"no columns", [](Json& j) { j.erase("columns"); }, "columns"},
        {"negative width", [](Json& j) { j["columns"][0] = -5; }, "columns"},
        {"fractional height", [](Json& j) { j["rows"][1] = 1.5; }, "rows"},
        {"cell outside", [](Json& j) { j["cells"][0]["row"] = 9; }, "row"},
        {"span outside", [](Json& j) { j["cells"][0]["colSpan"] = 4; }, "span"},
        {"overlapping spans",
         [](Json& j) {
             j["cells"].push_back({{"row", 4}, {"column", 2}, {"colSpan", 2}});
         },
         "overlaps"},
        {"cell twice", [](Json& j) { j["cells"].push_back(j["cells"][1]); }, "twice"},
        {"unknown align", [](Json& j) { j["cells"][0]["align"] = "middle"; }, "align"},
        {"unknown border", [](Json& j) { j["cells"][0]["borders"] = "LX"; }, "borders"},
        {"font size text", [](Json& j) { j["font"]["size"] = "big"; }, "size"},
        {"text a number", [](Json& j) { j["cells"][0]["text"] = 5; }, "text"},
        {"header past rows", [](Json& j) { j["headerRows"] = 5; }, "headerRows"},
        {"unknown paper", [](Json& j) { j["paper"]["size"] = "B5"; }, "B5"},
        {"no room", [](Json& j) { j["paper"]["margins"]["left"] = 3000; }, "margins"},
    };
    TempDir dir;
    for (const auto& [label, damage, hint] : cases) {
        Json doc = valid;
        damage(doc);
        writeFile(dir / "bad.grd", doc.dump());
        std::string error;
        std::optional<PageGrid> loaded;
        EXPECT_NO_THROW(loaded = PageGrid::load(dir / "bad.grd", &error)) << label;
        EXPECT_FALSE(loaded) << label;
        EXPECT_NE(error.find(hint), std::string::npos) << label << ": " << error;
    }
    for (const std::string bytes :
         {"", "{", "[]", "{\"format\": \"tallowick-page-grid\"}", "{\"format\": \"\xff\xfe\"}"}) {
        writeFile(dir / "bad.grd", bytes);
        std::string error;
        EXPECT_FALSE(PageGrid::load(dir / "bad.grd", &error)) << bytes;
        EXPECT_FALSE(error.empty()) << bytes;
    }
    std::string error;
    EXPECT_FALSE(PageGrid::load(dir / "missing.grd", &error));
    EXPECT_NE(error.find("missing.grd"), std::string::npos) << error;
}

TEST(PageTemplates, WrittenWhenMissingAndNeverOverwritten) {
    TempDir dir;
    writeFile(dir / file::kLedgerPage, "mine");
    ASSERT_TRUE(writePageTemplates(dir.path()));
    EXPECT_EQ(readFile(dir / file::kLedgerPage), "mine");
    std::string error;
    auto voucher = PageGrid::load(dir / file::kVoucherPage, &error);
    ASSERT_TRUE(voucher) << error;
    EXPECT_EQ(*voucher, voucherPageTemplate());

    // A user's own voucher page survives the next start.
    voucher->setText(1, 1, "转 账 凭 证");
    ASSERT_TRUE(voucher->save(dir / file::kVoucherPage, &error)) << error;
    const std::string edited = readFile(dir / file::kVoucherPage);
    ASSERT_TRUE(writePageTemplates(dir.path()));
    EXPECT_EQ(readFile(dir / file::kVoucherPage), edited);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);

    EXPECT_FALSE(writePageTemplates(dir / "no such folder"));
}

TEST(PageTemplates, StartUpMakesBothPages) {
    TempDir root;
    prepareDataDir(root.path());
    std::string error;
    EXPECT_TRUE(PageGrid::load(templatePath(root.path(), file::kLedgerPage), &error)) << error;
    EXPECT_TRUE(PageGrid::load(templatePath(root.path(), file::kVoucherPage), &error)) << error;
}

TEST(PageTemplates, LedgerPageHasItsHeadsAndFitsA4) {
    const PageGrid g = ledgerPageTemplate();
    ASSERT_EQ(g.columnCount(), 7);
    EXPECT_EQ(g.cell(1, 1).colSpan, 7);
    EXPECT_EQ(g.text(1, 1), "");
    const char* heads[] = {"日期", "凭证号", "摘要", "借方", "贷方", "方向", "余额"};
    for (int c = 1; c <= 7; ++c) {
        EXPECT_EQ(g.text(2, c), heads[c - 1]);
        EXPECT_EQ(g.cell(2, c).align, HAlign::Centre);
        EXPECT_TRUE(g.cell(2, c).font.bold);
        EXPECT_EQ(g.cell(2, c).borders, CellBorders::all());
    }
    EXPECT_EQ(g.headerRows(), 2);
    for (int c : {4, 5, 7}) EXPECT_EQ(g.cell(g.dataRow(), c).align, HAlign::Right) << c;
    EXPECT_EQ(g.paper().sheetWidth(), 2100);
    EXPECT_LE(g.totalWidth(), g.paper().printableWidth());
}

TEST(PageTemplates, VoucherPageHoldsEveryPlaceholderOnOneSheet) {
    const PageGrid g = voucherPageTemplate();
    std::vector<std::string> names;
    for (const Placeholder& p : g.placeholders()) names.push_back(p.name);
    std::vector<std::string> expected{"单位", "日期", "凭证字号", "编号", "第几", "共几", "附件数"};
    for (int i = 1; i <= 4; ++i)
        for (const char* f : {"摘要", "科目", "借方金额", "贷方金额"})
            expected.push_back(f + std::to_string(i));
    for (const char* f : {"大写", "借方合计", "贷方合计", "登账", "审核", "编制", "打印日期"})
        expected.push_back(f);
    EXPECT_EQ(names, expected);
    for (const Placeholder& p : g.placeholders()) {
        const bool amount = p.name.find("金额") != std::string::npos ||
                            p.name.find("合计") != std::string::npos;
        if (!amount) continue;
        EXPECT_EQ(g.cell(p.row, p.column).align, HAlign::Right) << p.name;
    }
    EXPECT_EQ(g.paper().sheetWidth(), 2100);
    EXPECT_EQ(g.paper().sheetHeight(), 1480);
    EXPECT_LE(g.totalWidth(), g.paper().printableWidth());
    EXPECT_EQ(g.sheets().size(), 1u);
}

TEST(PageGridPlaceholders, FillNamedAndBlankTheRest) {
    PageGrid g = voucherPageTemplate();
    g.setText(2, 1, "[未闭合");
    const int filled =
        g.fillPlaceholders({{"摘要1", "收到货款"}, {"借方金额1", "1,000.00"}}, false);
    EXPECT_EQ(filled, 2);
    const auto left = g.placeholders();
    EXPECT_EQ(left.size(), 28u);
    EXPECT_EQ(g.fillPlaceholders({{"单位", "某公司"}}, true), 1);
    EXPECT_TRUE(g.placeholders().empty());
    EXPECT_EQ(g.text(2, 1), "[未闭合");
    int found = 0;
    for (int r = 1; r <= g.rowCount(); ++r)
        for (int c = 1; c <= g.columnCount(); ++c)
            found += g.text(r, c) == "收到货款" || g.text(r, c) == "1,000.00";
    EXPECT_EQ(found, 2);
}

TEST(PageGridRows, AppendedRowsCopyTheStyleRowButNotItsText) {
    PageGrid g = ledgerPageTemplate();
    g.setText(3, 3, "上年结转");
    const int row = g.appendRow();
    ASSERT_EQ(row, 4);
    EXPECT_EQ(g.rowHeight(4), g.rowHeight(3));
    for (int c = 1; c <= 7; ++c) {
        GridCell expected = g.cell(3, c);
        expected.text.clear();
        EXPECT_EQ(g.cell(4, c), expected) << c;
    }
    EXPECT_EQ(g.appendRow(99), 0);
    EXPECT_EQ(g.rowCount(), 4);

    // A heading row spanning all columns copies its span but not a span downwards.
    PageGrid spans(3, 3);
    ASSERT_TRUE(spans.merge(1, 1, 2, 2));
    ASSERT_EQ(spans.appendRow(1), 4);
    EXPECT_EQ(spans.cell(4, 1).colSpan, 2);
    EXPECT_EQ(spans.cell(4, 1).rowSpan, 1);
}

TEST(PageGridRows, ClearingRowsShortensSpansSoTheFileStaysLoadable) {
    PageGrid g(6, 2);
    ASSERT_TRUE(g.merge(2, 1, 4, 2));
    g.setHeaderRows(5);
    g.clearRowsAfter(3);
    EXPECT_EQ(g.rowCount(), 3);
    EXPECT_EQ(g.cell(2, 1).rowSpan, 2);
    EXPECT_EQ(g.headerRows(), 3);
    std::string error;
    EXPECT_TRUE(PageGrid::fromJson(g.toJson(), &error)) << error;
}

TEST(PageGridRows, MergesThatMeetAnotherOrLeaveTheGridAreRefused) {
    PageGrid g(4, 4);
    ASSERT_TRUE(g.merge(2, 2, 2, 2));
    EXPECT_FALSE(g.merge(1, 1, 2, 2));  // reaches into the block's corner
    EXPECT_FALSE(g.merge(3, 3, 1, 2));  // starts inside it
    EXPECT_FALSE(g.merge(4, 4, 1, 2));  // leaves the grid
    EXPECT_TRUE(g.merge(1, 1, 1, 4));
    EXPECT_TRUE(g.isCovered(3, 3));
    EXPECT_FALSE(g.isCovered(4, 4));
    EXPECT_FALSE(g.setText(5, 1, "x"));
    EXPECT_EQ(g.text(5, 1), "");
}

TEST(PageGridSheets, LongLedgerRepeatsItsHeadOnEverySheet) {
    const PageGrid g = ledgerWithRows(120);
    const auto sheets = g.sheets();
    ASSERT_GT(sheets.size(), 1u);
    int next = 1;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const SheetRows& s = sheets[i];
        EXPECT_EQ(s.firstRow, next) << i;  // every row once, in order
        EXPECT_EQ(s.headerRows, i == 0 ? 0 : 2) << i;
        int height = 0;
        for (int r = 1; r <= s.headerRows; ++r) height += g.rowHeight(r);
        for (int r = s.firstRow; r <= s.lastRow; ++r) height += g.rowHeight(r);
        EXPECT_LE(height, g.paper().printableHeight()) << i;
        next = s.lastRow + 1;
    }
    EXPECT_EQ(next, g.rowCount() + 1);
}

TEST(PageGridSheets, VerticalSpansAndOversizedRowsStayWhole) {
    // 10 rows of 100 on a sheet with room for 450: a span over rows 4-6 would
    // be cut after row 4, so it moves whole to the next sheet.
    PageGrid g(10, 1, 100, 100);
    PaperSettings paper = paperSettings(PaperSize::Custom, Orientation::Portrait);
    paper.width = 1000;
    paper.height = 650;
    g.setPaper(paper);
    ASSERT_EQ(paper.printableHeight(), 450);
    ASSERT_TRUE(g.merge(4, 1, 3, 1));
    auto sheets = g.sheets();
    ASSERT_GE(sheets.size(), 2u);
    EXPECT_EQ(sheets[0], (SheetRows{0, 1, 3}));
    EXPECT_EQ(sheets[1], (SheetRows{0, 4, 7}));

    // A header taller than the room left for the next row is not repeated;
    // a row taller than the sheet gets a sheet of its own.
    g.setHeaderRows(4);
    g.setRowHeight(9, 900);
    sheets = g.sheets();
    EXPECT_EQ(sheets.back(), (SheetRows{0, 10, 10}));
    EXPECT_EQ(sheets[sheets.size() - 2], (SheetRows{0, 9, 9}));
}

}  // namespace
}  // namespace tw
