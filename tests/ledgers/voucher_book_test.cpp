// A month's vouchers on paper: its pages in number order behind their
// binding cover, through the core and through tallowick-cli into one PDF read
// back with pdftotext; `vouchers --month` listing any month.
#include <gtest/gtest.h>

#include <sstream>

#include "ledger_cli_fixture.h"
#include "ledgers/voucher_book.h"
#include "storage/store_fixture.h"
#include "support/pdf_text.h"

namespace tw {
namespace {

VoucherPage paperPage(double number, int page, int count, std::int64_t attachments,
                      const std::string& preparer = "张三") {
    VoucherPage p;
    p.id = static_cast<std::int64_t>(number) * 10 + page;
    p.number = number;
    p.page = page;
    p.pageCount = count;
    p.attachments = attachments;
    p.preparer = preparer;
    return p;
}

std::vector<std::string> order(const VoucherBook& book) {
    std::vector<std::string> out;
    for (const VoucherPage& p : book.pages)
        out.push_back(std::to_string(static_cast<long long>(p.number)) + "/" + std::to_string(p.page));
    return out;
}

TEST(VoucherBook, PagesInNumberOrderWithoutTheEmptyOnesAndTheirCounts) {
    const VoucherBook book = voucherBook(
        YearMonth{2013, 2}, {paperPage(20002, 1, 1, 1), paperPage(20001, 2, 2, 0), paperPage(20003, 1, 1, 2),
                             paperPage(20001, 1, 2, 3), paperPage(20004, 1, 1, 9, "")});
    EXPECT_EQ(order(book), (std::vector<std::string>{"20001/1", "20001/2", "20002/1", "20003/1"}));
    EXPECT_EQ(book.firstNumber, 20001);
    EXPECT_EQ(book.lastNumber, 20003);
    EXPECT_EQ(book.vouchers, 3);
    EXPECT_EQ(book.pageCount(), 4);
    EXPECT_EQ(book.attachments, 6);  // the page that is no voucher does not count

    const PageGrid cover = voucherCover(book, "测试公司");
    std::string texts;
    for (int r = 1; r <= cover.rowCount(); ++r)
        for (int c = 1; c <= cover.columnCount(); ++c) texts += cover.text(r, c) + "|";
    for (const char* shown : {"测试公司|", "2013年2月|", "自记字第1号至记字第3号|", "共3份|", "共4张|", "共6张|"})
        EXPECT_NE(texts.find(shown), std::string::npos) << shown << " in " << texts;
    // The cover fits on the voucher's paper: one sheet.
    EXPECT_EQ(cover.sheets().size(), 1u);
}

// Pages that claim the same number and page (data typed by hand) print as
// they were written, and count as one voucher.
TEST(VoucherBook, PagesOfTheSameNumberAndPageKeepTheirRecordOrder) {
    VoucherPage later = paperPage(30001, 1, 1, 0), earlier = paperPage(30001, 1, 1, 0);
    later.id = 7;
    earlier.id = 3;
    const VoucherBook book =
        voucherBook(YearMonth{2013, 3}, {paperPage(30002, 1, 1, 0), later, earlier});
    ASSERT_EQ(book.pages.size(), 3u);
    EXPECT_EQ(book.pages[0].id, 7);
    EXPECT_EQ(book.pages[1].id, 3);
    EXPECT_EQ(book.vouchers, 2);
}

class VoucherBookCliTest : public test::LedgerCliFixture {
protected:
    void voucherPage(double date, double number, int page, int count, double amount,
                     std::int64_t attachments, const std::string& preparer = "张三") {
        const double total = page == count ? amount : 0;
        writeVoucherPage({{field::kDate, date},
                          {field::kMonthNumber, number},
                          {field::kPage, page},
                          {field::kPageCount, count},
                          {field::kAttachments, attachments},
                          {field::lineSummary(1), "收到货款"},
                          {field::lineAccount(1), "银行存款"},
                          {field::lineDebit(1), amount},
                          {field::lineAccount(2), "应收账款"},
                          {field::lineCredit(2), amount},
                          {field::kDebitTotal, total},
                          {field::kCreditTotal, total},
                          {field::kPreparer, preparer}});
    }
    // February written out of number order, a page that is no voucher, and
    // a voucher of March, the open month.
    void writeFebruary() {
        voucherPage(day(2013, 2, 20), 20002, 1, 1, 300, 1);
        voucherPage(day(2013, 2, 5), 20001, 2, 2, 117000, 0);
        voucherPage(day(2013, 2, 5), 20003, 1, 1, 50, 2);
        voucherPage(day(2013, 2, 5), 20001, 1, 2, 0, 3);
        voucherPage(day(2013, 2, 28), 20004, 1, 1, 80, 0, "");
        voucherPage(day(2013, 3, 9), 30001, 1, 1, 10, 0);
    }
};

TEST_F(VoucherBookCliTest, AClosedMonthPrintsInNumberOrderWithItsCoverLast) {
    writeFebruary();
    const test::TempDir out;
    const auto pdf = out / "二月凭证.pdf";
    const auto done = run("voucher print", {"--month", "2013-02", "--pdf", pdf.string()});
    ASSERT_EQ(done.status, 0) << done.err;
    EXPECT_EQ(done.out, "");
    const std::vector<std::string> pages = test::pdfPages(pdf);
    ASSERT_EQ(pages.size(), 5u) << test::pdfText(pdf);
    const std::pair<const char*, const char*> expected[] = {
        {"记字第1号", "第1张"}, {"记字第1号", "第2张"}, {"记字第2号", "第1张"}, {"记字第3号", "第1张"}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NE(pages[i].find(expected[i].first), std::string::npos) << i << ":\n" << pages[i];
        EXPECT_NE(pages[i].find(expected[i].second), std::string::npos) << i << ":\n" << pages[i];
    }
    // The voucher's total, on its last page only, grouped and in capitals.
    EXPECT_NE(pages[1].find("117,000.00"), std::string::npos) << pages[1];
    EXPECT_NE(pages[1].find("壹拾壹万柒仟元整"), std::string::npos) << pages[1];
    EXPECT_EQ(pages[0].find("壹拾壹万柒仟元整"), std::string::npos) << pages[0];
    for (const char* other : {"记字第4号", "30001"}) EXPECT_EQ(test::pdfText(pdf).find(other), std::string::npos) << other;

    const std::string& cover = pages[4];
    for (const char* shown : {"测试公司", "2013年2月", "自记字第1号至记字第3号", "共3份", "共4张", "共6张"})
        EXPECT_NE(cover.find(shown), std::string::npos) << shown << " in:\n" << cover;
}

TEST_F(VoucherBookCliTest, OnePageOfAnotherMonthAndTheRefusals) {
    writeFebruary();
    const test::TempDir out;
    const auto pdf = out / "凭证.pdf";
    const auto one = run("voucher print",
                         {"--month", "2013-2", "--number", "20001", "--page", "2", "--pdf", pdf.string()});
    ASSERT_EQ(one.status, 0) << one.err;
    const std::vector<std::string> pages = test::pdfPages(pdf);
    ASSERT_EQ(pages.size(), 1u);
    for (const char* shown : {"记字第1号", "20001", "第2张", "共2张", "壹拾壹万柒仟元整"})
        EXPECT_NE(pages[0].find(shown), std::string::npos) << shown;

    const auto missing =
        run("voucher print", {"--month", "2013-02", "--number", "20009", "--pdf", pdf.string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "2013年2月没有编号为20009的凭证第1张！\n");

    const auto none = out / "一月.pdf";
    const auto empty = run("voucher print", {"--month", "2013-01", "--pdf", none.string()});
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.err, "2013年1月没有凭证！\n");
    EXPECT_FALSE(std::filesystem::exists(none));

    const auto bad = run("voucher print", {"--month", "2013-13", "--pdf", none.string()});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, "月份应写成 YYYY-MM：2013-13\n");
    const auto pageOnly = run("voucher print", {"--page", "2", "--pdf", none.string()});
    EXPECT_EQ(pageOnly.status, 1);
    EXPECT_EQ(pageOnly.err, "--page 须与 --number 一起给出。\n");
    EXPECT_FALSE(std::filesystem::exists(none));
}

TEST_F(VoucherBookCliTest, TheOpenMonthPrintsWithoutAMonthGiven) {
    writeFebruary();
    const test::TempDir out;
    const auto pdf = out / "三月.pdf";
    const auto done = run("voucher print", {"--pdf", pdf.string()});
    ASSERT_EQ(done.status, 0) << done.err;
    const std::vector<std::string> pages = test::pdfPages(pdf);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_NE(pages[0].find("记字第1号"), std::string::npos);
    EXPECT_NE(pages[1].find("2013年3月"), std::string::npos);
    EXPECT_NE(pages[1].find("共1份"), std::string::npos);
}

TEST_F(VoucherBookCliTest, VouchersListsAnyMonthInRecordOrder) {
    writeFebruary();
    const auto february = run("vouchers", {"--month", "2013-02"});
    ASSERT_EQ(february.status, 0) << february.err;
    EXPECT_EQ(test::listedPages(february.out), "20002 1/1;20001 2/2;20003 1/1;20001 1/2; /;");
    EXPECT_EQ(test::listedPages(run("vouchers", {}).out), "30001 1/1;");
    EXPECT_EQ(run("vouchers", {"--month", "2013-03"}).out, run("vouchers", {}).out);
    EXPECT_EQ(run("vouchers", {"--month", "2012-12"}).out, "");
    const auto bad = run("vouchers", {"--month", "三月"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, "月份应写成 YYYY-MM：三月\n");
}

}  // namespace
}  // namespace tw
