// The HTML ledger file is written through one buffer with cached GBK texts
// and dates; its bytes must be those of writing each line on its own:
// every line converted to GBK, cells as the field types write them.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "ledgers/html_ledger.h"
#include "storage/dates.h"
#include "storage/gbk.h"
#include "storage/number_text.h"
#include "storage/outcome.h"
#include "storage/store_fixture.h"

namespace tw {
namespace {

const Schema kEveryType{{"日期", FieldType::DateTime},  {"编号", FieldType::Int32},
                        {"摘要", FieldType::Text, 60},  {"金额", FieldType::Double},
                        {"数", FieldType::Int64},       {"字节", FieldType::Byte},
                        {"真假", FieldType::Boolean},   {"备注", FieldType::Text, 60}};

std::string escapedLine(std::string text) {
    std::string out;
    for (char c : text) {
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else out += c;
    }
    return out;
}

// The table part of the file (from the <col> line on), line by line.
std::string expectedTable(const std::vector<std::vector<Value>>& rows) {
    std::string utf8 = " <col width=72 span=8 style='width:54pt'>\r\n";
    utf8 += " <tr height=21 style='mso-height-source:userset;height:15.75pt'>\r\n";
    for (std::size_t k = 0; k < kEveryType.size(); ++k)
        utf8 += (k == 0 ? "  <td height=21 width=72 style='height:15.75pt;width:54pt'>"
                        : "  <td width=72 style='width:54pt'>") +
                kEveryType[k].name + "</td>\r\n";
    utf8 += " </tr>\r\n";
    for (const auto& r : rows) {
        utf8 += " <tr height=21 style='height:15.75pt'>\r\n";
        for (std::size_t k = 0; k < kEveryType.size(); ++k) {
            const FieldType t = kEveryType[k].type;
            const bool numeric = t != FieldType::Text && t != FieldType::Boolean && t != FieldType::DateTime;
            utf8 += numeric ? (k == 0 ? "  <td height=21 class=xl24 align=right style='height:15.75pt' x:num>"
                                      : "  <td class=xl24 align=right x:num>")
                            : (k == 0 ? "  <td height=21 class=xl24 style='height:15.75pt'>"
                                      : "  <td class=xl24>");
            const Value& v = r[k];
            switch (t) {
                case FieldType::DateTime: utf8 += v.number() == 0 ? "" : formatDate(v.number()); break;
                case FieldType::Double: utf8 += plainDecimal(v.number()); break;
                case FieldType::Boolean: utf8 += v.boolean() ? "TRUE" : "FALSE"; break;
                case FieldType::Text: utf8 += escapedLine(v.text()); break;
                default: utf8 += std::to_string(v.integer());
            }
            utf8 += "</td>\r\n";
        }
        utf8 += " </tr>\r\n";
    }
    utf8 += "</table>\r\n</body>\r\n</html>\r\n";
    return *toGbk(utf8);
}

std::string bytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class HtmlLedgerTest : public ::testing::Test {
protected:
    test::TempDir dir;
    RecordStore store{dir.path()};
    std::filesystem::path path = dir / "账.edb";
    std::filesystem::path out = dir / "分账.xls";

    void write(const std::vector<std::vector<Value>>& rows) {
        ASSERT_TRUE(store.createTable(path, kEveryType));
        ASSERT_TRUE(store.openTable(path, ""));
        {
            Action a(store);
            Table t = store.table(path);
            for (const auto& r : rows) t.append(r);
            a.commit();
        }
        writeHtmlTable(store.table(path), out);
    }
};

TEST_F(HtmlLedgerTest, CellsOfEveryTypeAreTheBytesOfTheirLines) {
    const double day = dayNumber(2013, 3, 31);
    const std::vector<std::vector<Value>> rows{
        {day, 30001, "A&B<1> 镕", 1234.5, std::int64_t{9007199254740993}, 255, true, "本月合计"},
        {day, 0, "", 0.1 + 0.2, std::int64_t{-7}, 0, false, ""},
        {day + 1, -3, "现金→库存现金", -50.0, std::int64_t{0}, 1, true, "plain ascii"},
        {0.0, 2, "1/3", 1.0 / 3, std::int64_t{1}, 2, false, "镕镕"},
        {day + 1, 4, "大额", 123456789012.34, std::int64_t{2}, 3, true, "借"},
        {day, 5, "极大", 1e15 + 0.5, std::int64_t{3}, 4, false, "-0"},
        {day, 6, "负零", -0.0, std::int64_t{4}, 5, true, "贷"}};
    write(rows);
    const std::string file = bytes(out);
    const auto at = file.find(" <col ");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(file.substr(at), expectedTable(rows));
    EXPECT_EQ(file.substr(0, 6), "<html ");
}

TEST_F(HtmlLedgerTest, ManyDistinctTextsAndALargeFileStayExact) {
    // More distinct texts than the converter keeps, and many buffers' worth.
    std::vector<std::vector<Value>> rows;
    for (int i = 0; i < 40000; ++i)
        rows.push_back({dayNumber(2013, 1, 1) + i / 50, i, "收到货款" + std::to_string(i), i * 0.01 - 7,
                        std::int64_t{i}, i % 256, i % 2 == 0, "科目" + std::to_string(i % 997)});
    write(rows);
    const std::string file = bytes(out);
    EXPECT_GT(file.size(), 2u << 20);
    EXPECT_EQ(file.substr(file.find(" <col ")), expectedTable(rows));
}

TEST_F(HtmlLedgerTest, AFileThatCannotBeOpenedIsRefused) {
    ASSERT_TRUE(store.createTable(path, kEveryType));
    ASSERT_TRUE(store.openTable(path, ""));
    const auto r = runCaught([&] { writeHtmlTable(store.table(path), dir / "无此目录" / "分账.xls"); });
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, kDiskMessage);
}

}  // namespace
}  // namespace tw
