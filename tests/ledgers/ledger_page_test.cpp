// The ledger page: which rows of 账库 / 总账库 it lists, how each row reads,
// and how the rows fall on the page template.
#include <gtest/gtest.h>

#include <fstream>

#include "ledger_fixture.h"
#include "ledgers/ledger_page.h"
#include "shell/session.h"

namespace tw {
namespace {

using Cells = std::array<std::string, 7>;

class LedgerPageTest : public test::LedgerTest {
protected:
    Result<LedgerListing> list(LedgerMode mode, const std::string& account, double from,
                               double to) {
        const LedgerRequest r{mode, account, from, to};
        return runCaught([&] { return listLedgerPage(*store, session, r); });
    }
    std::vector<Cells> cells(const Result<LedgerListing>& listed) {
        std::vector<Cells> out;
        for (const LedgerLine& l : listed.value.lines) out.push_back(l.cells);
        return out;
    }
};

TEST_F(LedgerPageTest, DetailRowsReadAsTheLedgerPageShowsThem) {
    writeRows(file::kLedger,
              {{day(2013, 3, 1), 0, "期初余额", "现金", 0, 0, "借", 1000},
               {day(2013, 3, 5), 30001, "收到货款", "现金", 1500, 0, "借", 2500},
               {day(2013, 3, 9), 30002, "支付运费", "现金", 0, -300, "借", 2200},
               {day(2013, 3, 31), 0, "本月合计", "现金", 0, -300, "借", 2200},
               {day(2013, 3, 31), 0, "本年累计", "现金", 1500, 0, "借", 2200}});
    const auto listed = list(LedgerMode::Detail, "现金", day(2013, 3, 1), day(2013, 3, 31));
    ASSERT_TRUE(listed.ok) << listed.message;
    const std::vector<Cells> expected{
        // An opening row has no voucher number and no amounts.
        {"2013-3-1", "", "期初余额", "", "", "借", "1000.00"},
        {"2013-3-5", "30001", "收到货款", "1500.00", "", "借", "2500.00"},
        // A credit of 300 (stored −300) shows positive in column 5.
        {"2013-3-9", "30002", "支付运费", "", "300.00", "借", "2200.00"},
        // Total rows show a zero amount as "0", ordinary rows as nothing.
        {"2013-3-31", "", "本月合计", "0", "300.00", "借", "2200.00"},
        {"2013-3-31", "", "本年累计", "1500.00", "0", "借", "2200.00"},
    };
    EXPECT_EQ(cells(listed), expected);
}

// A voucher line its writer summarised "本月合计" is a voucher line: a zero
// amount shows nothing there; only the close's row (凭证编号 0) shows "0".
TEST_F(LedgerPageTest, ALineSummarisedAsATotalReadsAsAVoucherLine) {
    writeRows(file::kLedger, {{day(2013, 3, 31), 30009, "本月合计", "现金", 0, -50, "借", 950},
                              {day(2013, 3, 31), 0, "本月合计", "现金", 0, -50, "借", 950}});
    const auto listed = list(LedgerMode::Detail, "现金", day(2013, 3, 1), day(2013, 3, 31));
    ASSERT_TRUE(listed.ok) << listed.message;
    EXPECT_EQ(cells(listed), (std::vector<Cells>{
                                 {"2013-3-31", "30009", "本月合计", "", "50.00", "借", "950.00"},
                                 {"2013-3-31", "", "本月合计", "0", "50.00", "借", "950.00"}}));
}

TEST_F(LedgerPageTest, CreditBalancesShowPositiveAndAZeroBalanceStillShows) {
    writeRows(file::kLedger,
              {{day(2013, 3, 2), 30001, "借入款项", "短期借款", 0, -300, "贷", -300},
               {day(2013, 3, 3), 30002, "归还借款", "短期借款", 300, 0, "平", 0},
               // A balance that rounds to nothing is never shown as "-0.00".
               {day(2013, 3, 4), 30003, "尾差", "短期借款", 0.004, 0, "平", -0.004}});
    const auto listed = list(LedgerMode::Detail, "短期借款", day(2013, 3, 1), day(2013, 3, 31));
    ASSERT_TRUE(listed.ok);
    const std::vector<Cells> expected{
        {"2013-3-2", "30001", "借入款项", "", "300.00", "贷", "300.00"},
        {"2013-3-3", "30002", "归还借款", "300.00", "", "平", "0.00"},
        {"2013-3-4", "30003", "尾差", "0.00", "", "平", "0.00"},
    };
    EXPECT_EQ(cells(listed), expected);
}

TEST_F(LedgerPageTest, OnlyTheAccountsOwnRowsInTheRangeInTableOrder) {
    writeRows(file::kLedger,
              {{day(2013, 2, 28), 20001, "二月", "银行存款", 1, 0, "借", 1},
               {day(2013, 3, 31), 30009, "月末", "银行存款", 2, 0, "借", 3},
               // Table order, not date order: rows are listed as they were written.
               {day(2013, 3, 1), 30001, "月初", "银行存款", 3, 0, "借", 6},
               // A row stamped later in the day of the range's end still belongs to it.
               {day(2013, 3, 31) + 0.5, 30010, "傍晚", "银行存款", 4, 0, "借", 10},
               {day(2013, 4, 1), 40001, "四月", "银行存款", 5, 0, "借", 15},
               // A sub-account's and another account's rows are not the parent's.
               {day(2013, 3, 10), 30005, "子科目", "银行存款→工商银行", 6, 0, "借", 6},
               {day(2013, 3, 10), 30006, "别的", "银行存款 ", 7, 0, "借", 7}});
    const auto listed = list(LedgerMode::Detail, "银行存款", day(2013, 3, 1), day(2013, 3, 31));
    ASSERT_TRUE(listed.ok);
    std::vector<std::string> summaries;
    for (const Cells& c : cells(listed)) summaries.push_back(c[2]);
    EXPECT_EQ(summaries, (std::vector<std::string>{"月末", "月初", "傍晚"}));

    const auto none = list(LedgerMode::Detail, "银行存款", day(2013, 5, 1), day(2013, 5, 31));
    ASSERT_TRUE(none.ok);
    EXPECT_TRUE(none.value.lines.empty());
    // Nothing listed: the template with its heading only.
    PageGrid expected = loadLedgerTemplate(dataDir);
    expected.setText(1, 1, " 明细科目：1002 银行存款  2013-5-1至2013-5-31");
    EXPECT_EQ(none.value.page, expected);
}

TEST_F(LedgerPageTest, GeneralModeListsTopLevelAccountsWithZerosAndNoNumbers) {
    writeRows(file::kGeneralLedger,
              {{day(2013, 3, 31), 30001, "本月合计", "银行存款", 0, -250, "贷", -250},
               {day(2013, 3, 31), 0, "期初余额", "银行存款", 0, 0, "平", 0}});
    // The same rows in 账库 are not the general ledger's.
    writeRows(file::kLedger, {{day(2013, 3, 5), 30001, "收到货款", "银行存款", 9, 0, "借", 9}});
    const auto top = list(LedgerMode::General, "银行存款", day(2013, 3, 1), day(2013, 3, 31));
    ASSERT_TRUE(top.ok);
    const std::vector<Cells> expected{
        {"2013-3-31", "", "本月合计", "0", "250.00", "贷", "250.00"},
        // The opening row: a balance on the range's first day, no movement.
        {"2013-3-1", "", "期初余额", "0.00", "0.00", "平", "0.00"},
    };
    EXPECT_EQ(cells(top), expected);
    EXPECT_EQ(top.value.page.text(1, 1), " 总账科目：1002 银行存款  2013-3-1至2013-3-31");

    const auto sub =
        list(LedgerMode::General, "银行存款→工商银行", day(2013, 3, 1), day(2013, 3, 31));
    ASSERT_TRUE(sub.ok);
    EXPECT_TRUE(sub.value.lines.empty());
}

TEST_F(LedgerPageTest, RowsFillThePageBelowTheColumnHeadsRuledAndAligned) {
    const std::string twoLines(32, 'x');  // 32 GBK bytes: one line still
    writeRows(file::kLedger,
              // A tall first row does not make the rows after it tall.
              {{day(2013, 3, 1), 30000, "一二三四五六七八九十一二三四五六七", "现金", 1, 0, "借", 0},
               {day(2013, 3, 1), 30001, twoLines, "现金", 1, 0, "借", 1},
               // 17 Chinese characters: 34 bytes, a taller row.
               {day(2013, 3, 2), 30002, "一二三四五六七八九十一二三四五六七", "现金", 1, 0, "借", 2},
               // 65 bytes: 32 Chinese characters and one letter.
               {day(2013, 3, 3), 30003, std::string("一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一二") + "x",
                "现金", 1, 0, "借", 3}});
    const auto listed = list(LedgerMode::Detail, "现金", day(2013, 3, 1), day(2013, 3, 31));
    ASSERT_TRUE(listed.ok);
    const PageGrid& page = listed.value.page;
    const PageGrid templ = loadLedgerTemplate(dataDir);
    const int first = templ.dataRow();
    // The template's empty data row takes the first line; no blank row is left.
    ASSERT_EQ(page.rowCount(), first + 3);
    EXPECT_EQ(page.text(1, 1), " 明细科目：1001 现金  2013-3-1至2013-3-31");
    EXPECT_EQ(page.text(first - 1, 3), "摘要");
    EXPECT_EQ(page.text(first, 2), "30000");
    EXPECT_EQ(page.text(first + 3, 7), "3.00");
    EXPECT_EQ(page.rowHeight(first), kTwoLineRowHeight);
    EXPECT_EQ(page.rowHeight(first + 1), templ.rowHeight(first));
    EXPECT_EQ(page.rowHeight(first + 2), kTwoLineRowHeight);
    EXPECT_EQ(page.rowHeight(first + 3), kManyLineRowHeight);
    const HAlign align[7] = {HAlign::Left,  HAlign::Centre, HAlign::Left, HAlign::Right,
                             HAlign::Right, HAlign::Centre, HAlign::Right};
    for (int r = first; r <= first + 3; ++r)
        for (int c = 1; c <= 7; ++c) {
            EXPECT_EQ(page.cell(r, c).borders, CellBorders::all()) << r << "," << c;
            EXPECT_EQ(page.cell(r, c).align, align[c - 1]) << r << "," << c;
        }
}

TEST_F(LedgerPageTest, AMissingAccountOrUnreadableLedgerIsRefused) {
    for (const std::string account : {"", kChooseAccountPrompt}) {
        const auto listed = list(LedgerMode::Detail, account, day(2013, 3, 1), day(2013, 3, 31));
        EXPECT_FALSE(listed.ok);
        EXPECT_EQ(listed.message, kChooseAccountFirst);
    }
    // A damaged ledger is said to be unreadable, never shown as an empty page.
    std::ofstream(path(file::kGeneralLedger), std::ios::trunc) << "not a table";
    const auto damaged = list(LedgerMode::General, "现金", day(2013, 3, 1), day(2013, 3, 31));
    EXPECT_FALSE(damaged.ok);
    EXPECT_EQ(damaged.message, kUnreadableSet);
}

TEST_F(LedgerPageTest, AnUnusableTemplateFileGivesWayToTheProgramsOwn) {
    const auto file = templatePath(dataDir, file::kLedgerPage);
    PageGrid narrow(3, 4);  // too few columns for a ledger
    narrow.setDataRow(3);
    ASSERT_TRUE(narrow.save(file, nullptr));
    EXPECT_EQ(loadLedgerTemplate(dataDir), ledgerPageTemplate());
    std::ofstream(file, std::ios::trunc) << "{";
    EXPECT_EQ(loadLedgerTemplate(dataDir), ledgerPageTemplate());

    // A template of the user's own is used as it is.
    PageGrid own = ledgerPageTemplate();
    own.setText(2, 3, "摘    要");
    ASSERT_TRUE(own.save(file, nullptr));
    EXPECT_EQ(loadLedgerTemplate(dataDir).text(2, 3), "摘    要");
}

}  // namespace
}  // namespace tw
