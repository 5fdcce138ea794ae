// The printed voucher: placeholders of 标准凭证.grd filled from a page as the
// voucher window shows it, and the page read from 凭证库.
#include <gtest/gtest.h>

#include <algorithm>

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
              (std::vector<std::string>{"1,234.50", "", "80.00", "第2张", "共3张", "3张", " 2013-3-9",
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
        for (int c = 1; c <= filled.columnCount(); ++c) total |= filled.text(r, c) == "1,314.50";
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

// The paper names the voucher as bookkeepers do and writes the total in
// capitals, on the page that carries the totals only.
TEST(VoucherSheet, NumberAsBookkeepersReadItAndTheTotalInCapitals) {
    VoucherSheetTexts last = pageTwoOfThree();
    last.page = "3";
    last.debitTotal = last.creditTotal = "117000";
    const auto v = voucherPlaceholderValues(last, dayNumber(2013, 4, 2));
    EXPECT_EQ(v.at("凭证字号"), "记字第2号");
    EXPECT_EQ(v.at("编号"), "30002");
    EXPECT_EQ(v.at("大写"), "壹拾壹万柒仟元整");
    EXPECT_EQ(v.at("借方合计"), "117,000.00");
    last.debitTotal = "1005.2";
    EXPECT_EQ(voucherPlaceholderValues(last, dayNumber(2013, 4, 2)).at("大写"), "壹仟零伍元贰角");
    EXPECT_EQ(voucherPlaceholderValues(pageTwoOfThree(), dayNumber(2013, 4, 2)).at("大写"), "");
}

TEST(VoucherSheet, TheProgramsTemplateCarriesTheNumberAndTheCapitals) {
    VoucherSheetTexts p = pageTwoOfThree();
    p.page = p.pageCount = "1";
    p.debitTotal = p.creditTotal = "100.05";
    const PageGrid filled = fillVoucherSheet(voucherPageTemplate(), p, dayNumber(2013, 4, 2));
    std::vector<std::string> texts;
    for (int r = 1; r <= filled.rowCount(); ++r)
        for (int c = 1; c <= filled.columnCount(); ++c) texts.push_back(filled.text(r, c));
    for (const char* shown : {"记字第2号", "30002", "壹佰元零伍分", "100.05"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), shown), texts.end()) << shown;
}

TEST(VoucherSheet, JobNamesSayWhichVouchersAndPages) {
    const auto sheet = [](const char* number, const char* page) {
        VoucherSheetTexts s;
        s.number = number;
        s.page = page;
        return s;
    };
    EXPECT_EQ(voucherJobName({sheet("30001", "1")}), "凭证 30001 第1张");
    EXPECT_EQ(voucherJobName({sheet("30001", "2"), sheet("30001", "1")}), "凭证 30001 第1至2张");
    EXPECT_EQ(voucherJobName({sheet("30003", "1"), sheet("30001", "1"), sheet("30002", "2")}),
              "凭证 30001至30003 共3张");
    EXPECT_EQ(voucherJobName({}), "凭证");
}

TEST_F(VoucherPageReadTest, AnotherMonthsPageIsReadAndItsAbsenceNamesTheMonth) {
    page(day(2013, 2, 9), 20001, 1, 1, 500);
    page(day(2013, 3, 9), 30001, 1, 1, 11700);
    const auto february =
        runCaught([&] { return readVoucherPage(*store, session, YearMonth{2013, 2}, 20001, 1); });
    ASSERT_TRUE(february.ok) << february.message;
    EXPECT_EQ(february.value.date, "2013-2-9");
    EXPECT_EQ(february.value.debitTotal, "500");
    const auto missing =
        runCaught([&] { return readVoucherPage(*store, session, YearMonth{2013, 2}, 30001, 1); });
    EXPECT_EQ(missing.message, "2013年2月没有编号为30001的凭证第1张！");
    // The current month named as a month still says 本月, as before.
    const auto current =
        runCaught([&] { return readVoucherPage(*store, session, YearMonth{2013, 3}, 20001, 1); });
    EXPECT_EQ(current.message, missingVoucherMessage(20001, 1));
}

TEST_F(VoucherPageReadTest, AWholeVoucherByPageAndListedPagesInTheirOrder) {
    page(day(2013, 3, 9), 30001, 2, 2, 23400);  // its second page written first
    page(day(2013, 3, 9), 30002, 1, 1, 5);
    page(day(2013, 3, 9), 30001, 1, 2, 0);
    const auto ids = runCaught([&] {
        const VoucherTable vouchers(*store, session);
        std::vector<std::int64_t> out;
        for (const VoucherPage& p : vouchers.pages({})) out.push_back(p.id);
        return out;
    });
    ASSERT_TRUE(ids.ok && ids.value.size() == 3) << ids.message;
    const auto pagesOf = [](const std::vector<VoucherSheetTexts>& sheets) {
        std::vector<std::string> out;
        for (const VoucherSheetTexts& s : sheets) out.push_back(s.number + "/" + s.page + " " + s.debitTotal);
        return out;
    };
    const auto whole = runCaught([&] { return wholeVoucherSheets(*store, session, ids.value[0]); });
    ASSERT_TRUE(whole.ok) << whole.message;
    EXPECT_EQ(pagesOf(whole.value), (std::vector<std::string>{"30001/1 ", "30001/2 23400"}));
    // A page deleted since it was listed is left out; the rest keep the list's order.
    const auto listed = runCaught([&] {
        return listedVoucherSheets(*store, session, {ids.value[1], ids.value[2] + 100, ids.value[2], ids.value[0]});
    });
    ASSERT_TRUE(listed.ok) << listed.message;
    EXPECT_EQ(pagesOf(listed.value), (std::vector<std::string>{"30002/1 5", "30001/1 ", "30001/2 23400"}));
}

}  // namespace
}  // namespace tw
