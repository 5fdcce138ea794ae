#include "platform/workbook.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/xlsx_reader.h"
#include "shell/zip_fixture.h"
#include "storage/store_fixture.h"

namespace tw {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;
namespace fs = std::filesystem;

std::map<std::string, std::string> readBack(const fs::path& file, int sheet) {
    std::string error;
    auto values = readXlsxSheet(file, sheet, &error);
    EXPECT_TRUE(values) << error;
    return values.value_or(std::map<std::string, std::string>{});
}

int filesIn(const fs::path& dir) {
    return static_cast<int>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

TEST(CellNames, ParseAnyCaseAndRoundTrip) {
    EXPECT_EQ(parseCellName("a1"), (CellAddress{1, 1}));
    EXPECT_EQ(parseCellName("A1"), parseCellName("a1"));
    EXPECT_EQ(parseCellName("g12"), (CellAddress{12, 7}));
    EXPECT_EQ(parseCellName("aa10"), (CellAddress{10, 27}));
    EXPECT_EQ(parseCellName("$B$3"), (CellAddress{3, 2}));
    EXPECT_EQ(parseCellName("XFD1048576"), (CellAddress{1048576, 16384}));
    for (const char* bad :
         {"", "A", "1", "1A", "A0", "A1B", "A 1", "XFE1", "A1048577", "AAAA1", "A-1", "A1:B2"})
        EXPECT_FALSE(parseCellName(bad)) << bad;
    for (int column : {1, 26, 27, 52, 702, 703, 16384})
        EXPECT_EQ(parseCellName(cellName(7, column)), (CellAddress{7, column})) << column;
    EXPECT_EQ(cellName(10, 27), "AA10");
    EXPECT_EQ(parseRange("c3:a1"), (CellRange{{1, 1}, {3, 3}}));
    EXPECT_EQ(parseRange("B2"), (CellRange{{2, 2}, {2, 2}}));
    EXPECT_FALSE(parseRange("A1:"));
}

TEST(Workbook, WrittenValuesReadBackFromTheFile) {
    TempDir dir;
    Workbook book({"科目汇总表", "试算平衡表"});
    Worksheet& sheet = book.sheet(2);
    EXPECT_TRUE(sheet.setText("a1", "试算平衡表（2013年12月）"));
    EXPECT_TRUE(sheet.merge("A1:G1"));
    EXPECT_TRUE(sheet.setNumber("g12", 1234.5));
    EXPECT_TRUE(sheet.setNumber(3, 2, -50));
    EXPECT_TRUE(sheet.setNumber("C3", 0));
    EXPECT_TRUE(sheet.setText("D3", "  <借&贷> "));
    EXPECT_TRUE(sheet.setText("aa10", "远列"));
    // Styles on top of values change no value.
    EXPECT_TRUE(sheet.setFont("A1:G1", "宋体", 16, true));
    EXPECT_TRUE(sheet.setNumberFormat("B3:G12", "#,##0.00"));
    EXPECT_TRUE(sheet.setAlignment("B3:G12", CellAlign::Right));
    EXPECT_TRUE(sheet.setBorders("A2:G12", true));
    EXPECT_TRUE(sheet.setFontColour("B3", 0xFF0000));
    EXPECT_TRUE(sheet.setColumnWidth(1, 20));
    EXPECT_TRUE(sheet.setRowHeight(1, 30));
    book.sheet(1).setText("B2", "汇总");
    EXPECT_EQ(std::get<double>(sheet.value("G12")), 1234.5);
    EXPECT_EQ(std::get<std::string>(sheet.value(1, 1)), "试算平衡表（2013年12月）");
    EXPECT_TRUE(std::holds_alternative<std::monostate>(sheet.value("B2")));

    std::string error;
    ASSERT_TRUE(book.save(dir / "报表.xlsx", &error)) << error;
    const std::map<std::string, std::string> expected{{"A1", "试算平衡表（2013年12月）"},
                                                      {"G12", "1234.5"},
                                                      {"B3", "-50"},
                                                      {"C3", "0"},
                                                      {"D3", "  <借&贷> "},
                                                      {"AA10", "远列"}};
    EXPECT_EQ(readBack(dir / "报表.xlsx", 2), expected);
    EXPECT_EQ(readBack(dir / "报表.xlsx", 1), (std::map<std::string, std::string>{{"B2", "汇总"}}));
    EXPECT_EQ(readXlsxSheetNames(dir / "报表.xlsx", &error),
              (std::vector<std::string>{"科目汇总表", "试算平衡表"}));
    EXPECT_EQ(filesIn(dir.path()), 1);
}

TEST(Workbook, SheetsPastTheLastAreAddedWithSpreadsheetNames) {
    Workbook book;
    book.sheet(3).setText("A1", "x");
    ASSERT_EQ(book.sheetCount(), 3);
    EXPECT_EQ(book.findSheet(1)->name(), "Sheet1");
    EXPECT_EQ(book.findSheet(3)->name(), "Sheet3");
    EXPECT_EQ(book.findSheet(4), nullptr);
}

TEST(Workbook, SavingReplacesTheFileWhole) {
    TempDir dir;
    const auto path = dir / "导出.xlsx";
    Workbook first({"账页"});
    first.sheet(1).setText("A1", "旧");
    first.sheet(1).setText("A2", "只在旧文件");
    std::string error;
    ASSERT_TRUE(first.save(path, &error)) << error;
    Workbook second({"账页"});
    second.sheet(1).setText("A1", "新");
    ASSERT_TRUE(second.save(path, &error)) << error;
    EXPECT_EQ(readBack(path, 1), (std::map<std::string, std::string>{{"A1", "新"}}));
    EXPECT_EQ(filesIn(dir.path()), 1);
}

TEST(Workbook, RefusalsLeaveTheOldFileAndNoTemporaryFile) {
    TempDir dir;
    const auto path = dir / "导出.xlsx";
    Workbook good({"账页"});
    good.sheet(1).setText("A1", "旧");
    std::string error;
    ASSERT_TRUE(good.save(path, &error)) << error;
    const std::string before = readFile(path);

    Workbook badName({"a/b"});
    EXPECT_FALSE(badName.save(path, &error));
    EXPECT_NE(error.find("a/b"), std::string::npos) << error;
    Workbook twice({"账页", "账页"});
    EXPECT_FALSE(twice.save(path, &error));
    Workbook badText({"账页"});
    badText.sheet(1).setText("B7", "\xe4\xb8");  // a character cut in half
    EXPECT_FALSE(badText.save(path, &error));
    EXPECT_NE(error.find("B7"), std::string::npos) << error;
    EXPECT_FALSE(Workbook().save(path, &error));
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(filesIn(dir.path()), 1);

    EXPECT_FALSE(good.save(dir / "没有的文件夹" / "a.xlsx", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(filesIn(dir.path()), 1);
}

TEST(Workbook, BadCellsMergesAndNumbersChangeNothing) {
    Worksheet sheet("s");
    EXPECT_FALSE(sheet.setText("A0", "x"));
    EXPECT_FALSE(sheet.setNumber("A1", std::nan("")));
    EXPECT_FALSE(sheet.setNumber(1, 1, INFINITY));
    EXPECT_FALSE(sheet.setBorders("A1:", true));
    EXPECT_TRUE(sheet.merge("B2:C3"));
    EXPECT_FALSE(sheet.merge("C3:D4"));
    EXPECT_FALSE(sheet.merge("A1:B2"));
    EXPECT_TRUE(sheet.merge("D4"));
    EXPECT_EQ(sheet.merges().size(), 1u);
    EXPECT_TRUE(sheet.cells().empty());
}

// The reader also meets workbooks this program did not write.
TEST(XlsxReader, ReadsInlineAndRichStringsCellsWithoutNamesAndEntities) {
    TempDir dir;
    const std::string workbook =
        R"(<?xml version="1.0"?><workbook xmlns:r="x"><sheets>)"
        R"(<sheet name="第一" sheetId="7" r:id="rA"/><sheet name="二" sheetId="1" r:id="rB"/>)"
        R"(</sheets></workbook>)";
    const std::string rels =
        R"(<Relationships><Relationship Id="rB" Target="worksheets/one.xml"/>)"
        R"(<Relationship Id="rA" Target="/xl/worksheets/two.xml"/></Relationships>)";
    const std::string strings =
        R"(<sst><si><t>甲&amp;乙</t></si><si><r><t>富</t></r><r><t xml:space="preserve"> 文本</t></r>)"
        R"(<rPh><t>フ</t></rPh></si><si><t>a_x000D_b</t></si></sst>)";
    const std::string two =
        R"(<worksheet><sheetData><row r="2"><c r="B2" t="s"><v>1</v></c><c t="s"><v>0</v></c>)"
        R"(<c t="inlineStr"><is><t>&#x4E2D;&#25991;</t></is></c></row><row>)"
        R"(<c t="b"><v>1</v></c><c s="3"/><c t="str"><f>A1</f><v>算</v></c>)"
        R"(<c r="F3"><v>-0.25</v></c><c r="G3" t="s"><v>2</v></c></row></sheetData></worksheet>)";
    const std::string one = R"(<worksheet><sheetData/></worksheet>)";
    ASSERT_TRUE(test::writeZip(dir / "a.xlsx", {{"xl/workbook.xml", workbook},
                                                {"xl/_rels/workbook.xml.rels", rels},
                                                {"xl/sharedStrings.xml", strings},
                                                {"xl/worksheets/two.xml", two},
                                                {"xl/worksheets/one.xml", one}}));
    const std::map<std::string, std::string> expected{
        {"B2", "富 文本"}, {"C2", "甲&乙"}, {"D2", "中文"}, {"A3", "TRUE"},
        {"C3", "算"},      {"F3", "-0.25"}, {"G3", "a\rb"}};
    EXPECT_EQ(readBack(dir / "a.xlsx", 1), expected);
    EXPECT_TRUE(readBack(dir / "a.xlsx", 2).empty());
}

TEST(XlsxReader, DamagedWorkbooksAreRefused) {
    TempDir dir;
    const std::string workbook =
        R"(<workbook><sheets><sheet name="s" r:id="r1"/></sheets></workbook>)";
    const std::string rels =
        R"(<Relationships><Relationship Id="r1" Target="worksheets/s.xml"/></Relationships>)";
    auto make = [&](const std::string& sheetXml, const std::string& sst) {
        EXPECT_TRUE(test::writeZip(dir / "b.xlsx", {{"xl/workbook.xml", workbook},
                                                    {"xl/_rels/workbook.xml.rels", rels},
                                                    {"xl/sharedStrings.xml", sst},
                                                    {"xl/worksheets/s.xml", sheetXml}}));
        return dir / "b.xlsx";
    };
    const std::string sst = "<sst><si><t>x</t></si></sst>";
    const std::vector<std::pair<std::string, std::string>> cases{
        {R"(<worksheet><sheetData><row><c t="s"><v>1</v></c></row></sheetData></worksheet>)", sst},
        {R"(<worksheet><sheetData><row><c r="A1"><v>1</v></row></sheetData></worksheet>)", sst},
        {R"(<worksheet><sheetData>)", sst},
        {R"(<worksheet><c r="1A"><v>1</v></c></worksheet>)", sst},
        {R"(<worksheet><c><v>&bogus;</v></c></worksheet>)", sst},
        {R"(<!DOCTYPE x [<!ENTITY a "b">]><worksheet/>)", sst},
        {"<worksheet/>", "<sst><si><t>x</sst>"},
    };
    for (const auto& [sheetXml, strings] : cases) {
        std::string error;
        EXPECT_FALSE(readXlsxSheet(make(sheetXml, strings), 1, &error)) << sheetXml;
        EXPECT_FALSE(error.empty()) << sheetXml;
    }
    std::string error;
    EXPECT_FALSE(readXlsxSheet(make("<worksheet/>", sst), 2, &error));
    EXPECT_NE(error.find("no sheet 2"), std::string::npos) << error;
    writeFile(dir / "c.xlsx", "not a zip");
    EXPECT_FALSE(readXlsxSheet(dir / "c.xlsx", 1, &error));
    EXPECT_FALSE(readXlsxSheet(dir / "missing.xlsx", 1, &error));
}

}  // namespace
}  // namespace tw
