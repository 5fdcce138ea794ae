// tallowick-cli ledger and voucher print, run as a user would: the rows as
// the page shows them, the exported workbook read back, and the printed
// ledger and voucher read back from their PDFs with pdftotext.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "ledger_cli_fixture.h"
#include "platform/xlsx_reader.h"
#include "storage/dates.h"
#include "storage/number_text.h"
#include "storage/store_fixture.h"
#include "support/pdf_text.h"

namespace tw {
namespace {

using test::pdfText;

// With TALLOWICK_SCREENSHOT_DIR set, a copy of the printed file to look at.
void keepPicture(const std::filesystem::path& file) {
    if (const char* dir = std::getenv("TALLOWICK_SCREENSHOT_DIR"))
        std::filesystem::copy_file(file, std::filesystem::path(dir) / file.filename(),
                                   std::filesystem::copy_options::overwrite_existing);
}

// True when every text occurs in `text`, each after the one before it.
::testing::AssertionResult inOrder(const std::string& text, const std::vector<std::string>& texts) {
    std::size_t at = 0;
    for (const std::string& t : texts) {
        const std::size_t found = text.find(t, at);
        if (found == std::string::npos)
            return ::testing::AssertionFailure() << "\"" << t << "\" not found after offset " << at
                                                 << " in:\n" << text;
        at = found + t.size();
    }
    return ::testing::AssertionSuccess();
}

using LedgerCliTest = test::LedgerCliFixture;

TEST_F(LedgerCliTest, RowsPrintTabSeparatedAsThePageShowsThem) {
    writeRows(file::kLedger,
              {{day(2013, 3, 1), 0, "期初余额", "现金", 0, 0, "借", 1000},
               {day(2013, 3, 9), 30002, "支付运费", "现金", 0, -300, "贷", -300},
               {day(2013, 3, 31), 0, "本月合计", "现金", 0, -300, "贷", -300}});
    writeRows(file::kGeneralLedger, {{day(2013, 3, 31), 0, "本月合计", "现金", 0, -300, "贷", -300}});
    // Without dates: the current period's month.
    const auto detail = run("ledger", {"--account", "现金"});
    EXPECT_EQ(detail.status, 0) << detail.err;
    EXPECT_EQ(detail.out,
              "2013-3-1\t\t期初余额\t\t\t借\t1000.00\n"
              "2013-3-9\t30002\t支付运费\t\t300.00\t贷\t300.00\n"
              "2013-3-31\t\t本月合计\t0\t300.00\t贷\t300.00\n");
    const auto general = run("ledger", {"--account", "现金", "--general", "--from", "2013-03-31",
                                        "--to", "2013-3-31"});
    EXPECT_EQ(general.out, "2013-3-31\t\t本月合计\t0\t300.00\t贷\t300.00\n");

    const auto none = run("ledger", {"--account", "现金", "--from", "2013-4-1", "--to", "2013-4-30"});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "");
    const auto noAccount = run("ledger", {});
    EXPECT_EQ(noAccount.status, 1);
    EXPECT_EQ(noAccount.err, "请先选择会计科目！\n");
    const auto badDate = run("ledger", {"--account", "现金", "--from", "2013-2-30"});
    EXPECT_EQ(badDate.status, 1);
    EXPECT_EQ(badDate.err, "起始日期 不是有效的日期：2013-2-30\n");
}

// 总账库 keeps the year's opening inside its 本年累计 rows: the page shows the
// year's movements instead, from January on, the balance as it stands.
TEST_F(LedgerCliTest, TheGeneralLedgersYearTotalIsTheYearsMovement) {
    // As enabling (started 2013-3-1, 银行存款 200000) and the closes of March,
    // April, December and January wrote them; the quiet months between left
    // zero 本月合计 rows, here left out.
    writeRows(file::kGeneralLedger,
              {{day(2013, 3, 31), 0, "期初余额", "银行存款", 200000, 0, "借", 200000},
               {day(2013, 3, 31), 0, "本月合计", "银行存款", 117000, -20000, "借", 297000},
               {day(2013, 3, 31), 0, "本年累计", "银行存款", 317000, -20000, "借", 297000},
               {day(2013, 4, 30), 0, "本月合计", "银行存款", 5000, -2000, "借", 300000},
               {day(2013, 4, 30), 0, "本年累计", "银行存款", 322000, -22000, "借", 300000},
               {day(2013, 4, 30), 0, "本月合计", "现金", 100, 0, "借", 5100},
               {day(2013, 12, 31), 0, "本月合计", "银行存款", 1000, 0, "借", 301000},
               {day(2013, 12, 31), 0, "本年累计", "银行存款", 323000, -22000, "借", 301000},
               {day(2014, 1, 1), 0, "期初余额", "银行存款", 301000, 0, "借", 301000},
               {day(2014, 1, 31), 0, "本月合计", "银行存款", 0, -1000, "借", 300000},
               {day(2014, 1, 31), 0, "本年累计", "银行存款", 301000, -1000, "借", 300000}});
    const auto year = run("ledger", {"--account", "银行存款", "--general", "--from", "2013-3-1",
                                     "--to", "2014-1-31"});
    ASSERT_EQ(year.status, 0) << year.err;
    EXPECT_EQ(year.out,
              "2013-3-1\t\t期初余额\t0.00\t0.00\t借\t200000.00\n"
              "2013-3-31\t\t本月合计\t117000.00\t20000.00\t借\t297000.00\n"
              "2013-3-31\t\t本年累计\t117000.00\t20000.00\t借\t297000.00\n"
              "2013-4-30\t\t本月合计\t5000.00\t2000.00\t借\t300000.00\n"
              "2013-4-30\t\t本年累计\t122000.00\t22000.00\t借\t300000.00\n"
              "2013-12-31\t\t本月合计\t1000.00\t0\t借\t301000.00\n"
              "2013-12-31\t\t本年累计\t123000.00\t22000.00\t借\t301000.00\n"
              "2014-1-1\t\t期初余额\t0.00\t0.00\t借\t301000.00\n"
              "2014-1-31\t\t本月合计\t0\t1000.00\t借\t300000.00\n"
              "2014-1-31\t\t本年累计\t0\t1000.00\t借\t300000.00\n");
    // A month alone still counts the months before it in its year.
    const auto april = run("ledger", {"--account", "银行存款", "--general", "--from", "2013-4-1",
                                      "--to", "2013-4-30"});
    EXPECT_EQ(april.out,
              "2013-4-30\t\t本月合计\t5000.00\t2000.00\t借\t300000.00\n"
              "2013-4-30\t\t本年累计\t122000.00\t22000.00\t借\t300000.00\n");

    // The stored rows stay as the close wrote them.
    const auto stored = rows(file::kGeneralLedger);
    ASSERT_EQ(stored.size(), 11u);
    EXPECT_EQ(stored[2][4].number(), 317000);
    EXPECT_EQ(stored[0][0].number(), day(2013, 3, 31));
}

// 账库 holds rows of the accounts posted only: a parent's detail ledger
// gathers its sub-accounts' rows by day under the parent's own balance.
TEST_F(LedgerCliTest, AParentsDetailLedgerGathersItsSubAccounts) {
    addSub("银行存款", "工商银行");
    addSub("银行存款", "建设银行");
    writeRows(file::kLedger,
              {{day(2013, 3, 1), 0, "期初余额", "银行存款→工商银行", 150000, 0, "借", 150000},
               {day(2013, 3, 1), 0, "期初余额", "银行存款→建设银行", 50000, 0, "借", 50000},
               // Posted in voucher order, not by day.
               {day(2013, 3, 20), 30003, "收到货款", "银行存款→工商银行", 100000, 0, "借", 250000},
               {day(2013, 3, 5), 30001, "提现", "银行存款→建设银行", 0, -3000, "借", 47000},
               {day(2013, 3, 5), 30001, "提现", "现金", 3000, 0, "借", 3000},
               {day(2013, 3, 20), 30004, "支付货款", "银行存款→建设银行", 0, -10000, "借", 37000},
               {day(2013, 3, 31), 0, "本月合计", "银行存款→工商银行", 100000, 0, "借", 250000},
               {day(2013, 3, 31), 0, "本月合计", "银行存款→建设银行", 0, -13000, "借", 37000},
               {day(2013, 3, 31), 0, "本月合计", "现金", 3000, 0, "借", 3000},
               {day(2013, 4, 8), 40001, "收到货款", "银行存款→建设银行", 5000, 0, "借", 42000},
               {day(2013, 4, 30), 0, "本月合计", "银行存款→工商银行", 0, 0, "借", 250000},
               {day(2013, 4, 30), 0, "本月合计", "银行存款→建设银行", 5000, 0, "借", 42000}});
    const auto march = run("ledger", {"--account", "银行存款"});
    ASSERT_EQ(march.status, 0) << march.err;
    EXPECT_EQ(march.out,
              "2013-3-1\t\t期初余额\t200000.00\t\t借\t200000.00\n"
              "2013-3-5\t30001\t提现\t\t3000.00\t借\t197000.00\n"
              "2013-3-20\t30003\t收到货款\t100000.00\t\t借\t297000.00\n"
              "2013-3-20\t30004\t支付货款\t\t10000.00\t借\t287000.00\n"
              "2013-3-31\t\t本月合计\t100000.00\t13000.00\t借\t287000.00\n");
    // A later month opens with the balance brought in from the sub-accounts'
    // openings and entries.
    const auto april = run("ledger", {"--account", "银行存款", "--from", "2013-4-1", "--to", "2013-4-30"});
    EXPECT_EQ(april.out,
              "2013-4-1\t\t期初余额\t\t\t借\t287000.00\n"
              "2013-4-8\t40001\t收到货款\t5000.00\t\t借\t292000.00\n"
              "2013-4-30\t\t本月合计\t5000.00\t0\t借\t292000.00\n");
    // A sub-account's page is its own rows, as before.
    const auto bank = run("ledger", {"--account", "银行存款→建设银行", "--from", "2013-4-1",
                                     "--to", "2013-4-30"});
    EXPECT_EQ(bank.out,
              "2013-4-8\t40001\t收到货款\t5000.00\t\t借\t42000.00\n"
              "2013-4-30\t\t本月合计\t5000.00\t0\t借\t42000.00\n");
}

TEST_F(LedgerCliTest, ExportIsReadBackInColumnsAToG) {
    writeRows(file::kLedger, {{day(2013, 3, 9), 30002, "支付运费", "现金", 0, -300, "贷", -300}});
    const test::TempDir out;
    const auto xlsx = out / "现金.xlsx";
    const auto done = run("ledger", {"--account", "现金", "--xlsx", xlsx.string()});
    ASSERT_EQ(done.status, 0) << done.err;
    EXPECT_EQ(done.out, "");
    std::string error;
    auto cells = readXlsxSheet(xlsx, 1, &error);
    ASSERT_TRUE(cells) << error;
    // The entry's date is a day number and its amounts numbers: read back as
    // the page shows them.
    (*cells)["A3"] = formatDate(std::stod(cells->at("A3")));
    for (const char* at : {"E3", "G3"}) (*cells)[at] = twoDecimals(std::stod(cells->at(at)));
    const std::map<std::string, std::string> expected{
        {"A1", " 明细科目：1001 现金  2013-3-1至2013-3-31"},
        {"A2", "日期"}, {"B2", "凭证号"}, {"C2", "摘要"}, {"D2", "借方"},
        {"E2", "贷方"}, {"F2", "方向"}, {"G2", "余额"},
        {"A3", "2013-3-9"}, {"B3", "30002"}, {"C3", "支付运费"}, {"E3", "300.00"},
        {"F3", "贷"}, {"G3", "300.00"}};
    EXPECT_EQ(*cells, expected);
}

TEST_F(LedgerCliTest, ATwoSheetLedgerPrintsItsRowsInOrderWithTheHeadsOnEachSheet) {
    std::vector<Row> rows{{day(2013, 3, 1), 0, "期初余额", "银行存款", 0, 0, "借", 5000}};
    double balance = 5000;
    for (int i = 1; i <= 50; ++i) {
        balance += 100 * i;
        rows.push_back({day(2013, 3, 1 + i % 28), 30000 + i, "第" + std::to_string(i) + "笔货款",
                        "银行存款", 100.0 * i, 0, "借", balance});
    }
    writeRows(file::kLedger, rows);
    const test::TempDir out;
    const auto pdf = out / "银行存款.pdf";
    const auto done = run("ledger", {"--account", "银行存款", "--pdf", pdf.string()});
    ASSERT_EQ(done.status, 0) << done.err;
    keepPicture(pdf);
    const std::string text = pdfText(pdf);
    const std::size_t sheetBreak = text.find('\f');
    ASSERT_NE(sheetBreak, std::string::npos);
    ASSERT_LT(sheetBreak + 2, text.size()) << "one sheet only";
    std::vector<std::string> expected{"明细科目：1002", "银行存款", "2013-3-1至2013-3-31", "日期",
                                      "凭证号", "摘要", "借方", "贷方", "方向", "余额", "期初余额", "5000.00"};
    for (int i = 1; i <= 50; ++i) {
        expected.push_back("第" + std::to_string(i) + "笔货款");
        expected.push_back(std::to_string(100 * i) + ".00");
    }
    expected.push_back("132500.00");  // the last balance
    EXPECT_TRUE(inOrder(text, expected));
    // The second sheet starts with the column heads again.
    EXPECT_TRUE(inOrder(text.substr(sheetBreak), {"日期", "凭证号", "摘要", "借方", "笔货款"}));
}

TEST_F(LedgerCliTest, APrintedVoucherCarriesItsTextsAndAmounts) {
    writeVoucherPage({{field::kDate, day(2013, 3, 9)},
                      {field::kMonthNumber, 30001.0},
                      {field::kPage, 1},
                      {field::kPageCount, 1},
                      {field::kAttachments, 2},
                      {field::lineSummary(1), "收到货款"},
                      {field::lineAccount(1), "银行存款"},
                      {field::lineDebit(1), 11700.0},
                      {field::lineSummary(2), "收到货款"},
                      {field::lineAccount(2), "应收账款"},
                      {field::lineCredit(2), 11700.0},
                      {field::kDebitTotal, 11700.0},
                      {field::kCreditTotal, 11700.0},
                      {field::kPreparer, "张三"},
                      {field::kReviewer, "李四"}});
    const test::TempDir out;
    const auto pdf = out / "凭证.pdf";
    const auto done = run("voucher print", {"--number", "30001", "--page", "1", "--pdf", pdf.string()});
    ASSERT_EQ(done.status, 0) << done.err;
    keepPicture(pdf);
    EXPECT_TRUE(inOrder(pdfText(pdf),
                        {"记账凭证", "测试公司", "2013-3-9", "30001", "第1张", "共1张", "2张",
                         "摘要", "科目名称", "借方金额", "贷方金额", "收到货款", "银行存款",
                         "11,700.00", "收到货款", "应收账款", "11,700.00", "合计", "11,700.00",
                         "11,700.00", "审核", "李四", "编制", "张三", "打印日期"}));

    const auto missing = run("voucher print", {"--number", "30009", "--pdf", pdf.string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "本月没有编号为30009的凭证第1张！\n");
}

}  // namespace
}  // namespace tw
