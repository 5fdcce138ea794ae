// The printed voucher: placeholders of 标准凭证.grd filled from a page as the
// voucher window shows it, and the page read from 凭证库.
#include <gtest/gtest.h>

#include "ledger_fixture.h"
#include "ledgers/voucher_sheet.h"

namespace tw {
namespace {

// A template of one row holding the given cell texts.
PageGrid rowOf(const std::vector<std::string>& texts) {
    PageGrid g(1, static_cast<int>(texts.size()));
    for (int c = 1; c <= static_cast<int>(texts.size()); ++c) g.setText(1, c, texts[c - 1]);
    return g;
}

std::vector<std::string> rowTexts(const PageGrid& g) {
    std::vector<std::string> out;
    for (int c = 1; c <= g.columnCount(); ++c) out.push_back(g.text(1, c));
    return out;
}

VoucherSheetTexts pageTwoOfThree() {
    VoucherSheetTexts p;
    p.company = "华兴科技";
    p.date = "2013-3-9";
    p.number = "30002";
    p.page = "2";
    p.pageCount = "3";
    p.attachments = "3";
    p.summaries = {"收到货款", "", "", ""};
    p.accounts = {"银行存款", "", "", ""};
    p.debits = {"1234.5", "", "80", ""};
    p.credits = {"", "12元", "", "abc"};
    p.preparer = "张三";
    return p;
}

TEST(VoucherSheet, PlaceholdersReadAsThePaperVoucherPrintsThem) {
    const PageGrid filled = fillVoucherSheet(
        rowOf({"[借方金额1]", "[借方金额2]", "[借方金额3]", "[第几]", "[共几]", "[附件数]", "[日期]",
               "[单位]", "[编号]", "[打印日期]", "[贷方金额2]", "[贷方金额4]"}),
        pageTwoOfThree(), dayNumber(2013, 4, 2));
    EXPECT_EQ(rowTexts(filled),
              (std::vector<std::string>{"1234.50", "", "80.00", "第2张", "共3张", "3张", " 2013-3-9",
                                        "华兴科技", "30002", "2013-4-2",
                                        // A box's leading number, else 0.00.
                                        "12.00", "0.00"}));
}

TEST(VoucherSheet, UnknownNamesEmptyAndPlainTextsStay) {
    const PageGrid filled =
        fillVoucherSheet(rowOf({"[主管]", "借方金额1", "[摘要1]", "[摘要1]", "合计", "[借方合计]"}),
                         pageTwoOfThree(), dayNumber(2013, 4, 2));
    // A repeated placeholder is filled each time; totals of a page that is not
    // the voucher's last are empty.
    EXPECT_EQ(rowTexts(filled), (std::vector<std::string>{"", "借方金额1", "收到货款", "收到货款",
                                                          "合计", ""}));
}

TEST(VoucherSheet, TheProgramsTemplateLeavesNoPlaceholderBehind) {
    VoucherSheetTexts p = pageTwoOfThree();
    p.page = p.pageCount = "1";
    p.debitTotal = p.creditTotal = "1314.5";
    const PageGrid filled = fillVoucherSheet(voucherPageTemplate(), p, dayNumber(2013, 4, 2));
    EXPECT_TRUE(filled.placeholders().empty());
    bool total = false;
    for (int r = 1; r <= filled.rowCount(); ++r)
        for (int c = 1; c <= filled.columnCount(); ++c) total |= filled.text(r, c) == "1314.50";
    EXPECT_TRUE(total);
}

class VoucherPageReadTest : public test::LedgerTest {
protected:
    void page(double date, double number, int page, int count, double debitTotal,
              const std::string& preparer = "张三") {
        writeVoucherPage({{field::kDate, date},
                          {field::kMonthNumber, number},
                          {field::kPage, page},
                          {field::kPageCount, count},
                          {field::kAttachments, 2},
                          {field::lineSummary(1), "收到货款第" + std::to_string(page) + "页"},
                          {field::lineAccount(1), "银行存款"},
                          {field::lineDebit(1), 11700.0},
                          {field::lineAccount(2), "应收账款"},
                          {field::lineCredit(2), 11700.0},
                          {field::kDebitTotal, debitTotal},
                          {field::kCreditTotal, debitTotal},
                          {field::kPreparer, preparer},
                          {field::kReviewer, "李四"}});
    }
    Result<VoucherSheetTexts> read(std::int64_t number, int p) {
        return runCaught([&] { return readVoucherPage(*store, session, number, p); });
    }
};

TEST_F(VoucherPageReadTest, APageOfTheCurrentMonthReadsAsItsBoxesShowIt) {
    page(day(2013, 3, 9), 30001, 1, 2, 0);
    page(day(2013, 3, 9), 30001, 2, 2, 23400);
    page(day(2013, 4, 9), 30001, 1, 1, 5);  // another month's voucher of that number
    const auto first = read(30001, 1);
    ASSERT_TRUE(first.ok) << first.message;
    EXPECT_EQ(first.value.company, "测试公司");
    EXPECT_EQ(first.value.date, "2013-3-9");
    EXPECT_EQ(first.value.number, "30001");
    EXPECT_EQ(first.value.pageCount, "2");
    EXPECT_EQ(first.value.attachments, "2");
    EXPECT_EQ(first.value.summaries[0], "收到货款第1页");
    EXPECT_EQ(first.value.debits[0], "11700");
    EXPECT_EQ(first.value.credits[0], "");
    EXPECT_EQ(first.value.credits[1], "11700");
    EXPECT_EQ(first.value.debitTotal, "");  // not the last page
    EXPECT_EQ(first.value.reviewer, "李四");

    const auto last = read(30001, 2);
    ASSERT_TRUE(last.ok);
    EXPECT_EQ(last.value.debitTotal, "23400");
    EXPECT_EQ(last.value.creditTotal, "23400");
}

TEST_F(VoucherPageReadTest, NoSuchPageIsRefused) {
    page(day(2013, 3, 9), 30001, 1, 1, 11700);
    page(day(2013, 3, 10), 30002, 1, 1, 11700, "");  // not written yet: no voucher
    page(day(2013, 4, 1), 40001, 1, 1, 11700);         // not the current month
    for (const auto& [number, p] : {std::pair{30001, 2}, {30002, 1}, {40001, 1}}) {
        const auto r = read(number, p);
        EXPECT_FALSE(r.ok) << number;
        EXPECT_EQ(r.message, missingVoucherMessage(number, p));
    }
    EXPECT_EQ(missingVoucherMessage(30001, 2), "本月没有编号为30001的凭证第2张！");
}

}  // namespace
}  // namespace tw
