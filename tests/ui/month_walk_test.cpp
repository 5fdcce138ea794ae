// A month as a bookkeeper keeps it, in the real windows: March's vouchers
// typed in the voucher window from the keyboard, reviewed, one printed, the
// month posted and closed; then the general ledger, the 科目余额表, the
// detail ledger of a parent account and the cash journal must tell the same
// figures. TALLOWICK_SCREENSHOT_DIR keeps a picture of each window.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "ledgers/ledger_page.h"
#include "ledgers/ui/journal_window.h"
#include "ledgers/ui/ledger_window.h"
#include "picture_check.h"
#include "platform/ui/date_box.h"
#include "platform/ui/page_grid_widget.h"
#include "scripted_prompter.h"
#include "shell/ui/app_context.h"
#include "statements/statement_fixture.h"
#include "statements/ui/statements_window.h"
#include "storage/dates.h"
#include "storage/number_text.h"
#include "support/pdf_text.h"
#include "test_support.h"
#include "typist.h"
#include "vouchers/review.h"
#include "vouchers/ui/voucher_window.h"
#include "vouchers/voucher_fixture.h"
#include "vouchers/voucher_page.h"
#include "vouchers/voucher_texts.h"

namespace tw::test {
namespace {

constexpr auto npos = std::string::npos;

using Cells = std::array<std::string, 7>;

// The texts of columns 1 to 7 of ledger page row `row`.
Cells pageRow(const PageGrid& page, int row) {
    Cells cells;
    for (int c = 1; c <= 7; ++c) cells[c - 1] = page.text(row, c);
    return cells;
}

// The first row of `page` whose `column` reads `text`; 0 when none does.
int rowOf(const PageGrid& page, int column, const std::string& text) {
    for (int r = 1; r <= page.rowCount(); ++r)
        if (page.text(r, column) == text) return r;
    return 0;
}

// An amount as a window shows it ("11,700.00", "11700.00", "3700"), as a number.
double figure(const std::string& shown) {
    QString plain = QString::fromStdString(shown);
    plain.remove(QLatin1Char(','));
    bool ok = false;
    const double x = plain.toDouble(&ok);
    EXPECT_TRUE(ok) << "not an amount: \"" << shown << "\"";
    return x;
}

// "30001 2013-3-5 提取现金 现金 1000|": each line in use of each page.
std::vector<std::string> lineTexts(const std::vector<VoucherPage>& pages) {
    std::vector<std::string> out;
    for (const VoucherPage& p : pages)
        for (const VoucherLine& l : p.lines)
            if (!l.account.empty())
                out.push_back(plainDecimal(p.number) + " " + formatDate(p.date) + " " + l.summary +
                              " " + l.account + " " + amountText(l.debit) + "|" +
                              amountText(l.credit));
    return out;
}

// A set started in March 2013 with cash 3000 and 200000 in 工商银行 under
// 银行存款, both from the owners' 203000 of 实收资本.
class MonthWalkTest : public StatementTest {
protected:
    void SetUp() override {
        StatementTest::SetUp();
        addSub("银行存款", "工商银行");  // 100201
        enableWith({{"现金", 3000}, {"银行存款→工商银行", 200000}, {"实收资本", -203000}});
    }

    std::unique_ptr<VoucherWindow> openVoucherWindow() {
        auto w = std::make_unique<VoucherWindow>(ctx);
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
        return w;
    }
    std::vector<VoucherPage> storedPages() { return storedVoucherPages(*store, session); }

    static void marchIn(QWidget* w) {
        child<DateBox>(w, "起始日期框")->setDay(dayNumber(2013, 3, 1));
        child<DateBox>(w, "截至日期框")->setDay(dayNumber(2013, 3, 31));
    }
    // The ledger window listing March of `account`: Enter in the end date lists.
    std::unique_ptr<LedgerWindow> listLedger(LedgerMode mode, const QString& account) {
        auto w = std::make_unique<LedgerWindow>(ctx, mode);
        w->resize(900, 720);
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        child<QLineEdit>(w.get(), "选择科目编辑框")->setText(account);
        marchIn(w.get());
        QTest::keyClick(child<DateBox>(w.get(), "截至日期框"), Qt::Key_Return);
        QTest::qWait(50);
        return w;
    }
    static const PageGrid& listedPage(QWidget* w) { return child<PageGridWidget>(w, "账页表格")->grid(); }

    static void click(QWidget* w, const char* name) {
        auto* b = child<QAbstractButton>(w, QString::fromUtf8(name));
        ASSERT_NE(b, nullptr);
        ASSERT_TRUE(b->isEnabled()) << name;
        QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center());
    }
    // Picks `account` in the cash account list that opens next.
    static void answerCashAccount(const QString& account) {
        whenModalOpens([=](QWidget* window) {
            auto* list = child<QListWidget>(window, "收付科目列表框");
            ASSERT_NE(list, nullptr);
            const auto found = list->findItems(account, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << account.toStdString();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(found.first()).center());
        });
    }
    // The journal's rows as it shows them, columns 日期 … 对应科目.
    static QList<QStringList> journalLines(QWidget* journal) {
        return treeRows(journal, "日记账超级列表框", 7);
    }

    ScriptedPrompter prompter;
    AppContext ctx{session, prompter};
};

TEST_F(MonthWalkTest, AMonthByKeyboardAgreesOnEveryScreen) {
    // 1. March typed from the keyboard: cash drawn from the bank, a sale paid
    //    into 工商银行, travel expenses paid in cash. Summaries by their
    //    initials, accounts by code or initials, the second line of each
    //    taking the summary above and "=" the amount that balances. Shift+F7
    //    reviews the month and shows its first voucher.
    auto vouchers = openVoucherWindow();
    {
        Typist typist;
        typist.press(Qt::Key_F5).type("5").press(Qt::Key_Return)    // 30001 on the 5th
            .type("tqxj").press(Qt::Key_Return)                       // 提取现金
            .type("1001").press(Qt::Key_Return)                       // 现金
            .type("1000").press(Qt::Key_Return)                       // debit 1000
            .press(Qt::Key_Return).press(Qt::Key_Return)              // the summary above
            .type("100201").press(Qt::Key_Return)                     // 银行存款→工商银行
            .type("=")                                                // credit 1000
            .press(Qt::Key_F5).type("10").press(Qt::Key_Return)       // 30002 on the 10th
            .type("sdhk").press(Qt::Key_Return)                       // 收到货款
            .type("100201").press(Qt::Key_Return)                     // 银行存款→工商银行
            .type("11700").press(Qt::Key_Return)                      // debit 11700
            .press(Qt::Key_Return).press(Qt::Key_Return)
            .type("zyywsr").press(Qt::Key_Return)                     // 主营业务收入
            .type("=")                                                // credit 11700
            .press(Qt::Key_F5).type("15").press(Qt::Key_Return)       // 30003 on the 15th
            .type("bxclf").press(Qt::Key_Return)                      // 报销差旅费
            .type("glfy").press(Qt::Key_Return)                       // 管理费用
            .type("300").press(Qt::Key_Return)                        // debit 300
            .press(Qt::Key_Return).press(Qt::Key_Return)
            .type("1001").press(Qt::Key_Return)                       // 现金
            .type("=")                                                // credit 300
            .press(Qt::Key_F7, Qt::ShiftModifier);                    // 审撤全部
        ASSERT_TRUE(typist.play(60000));
        EXPECT_EQ(typist.mouseClicks(), 0);
    }
    EXPECT_EQ(prompter.messages, QStringList{QString::fromUtf8(kAllReviewed)});
    const std::vector<VoucherPage> typed = storedPages();
    EXPECT_EQ(lineTexts(typed), (std::vector<std::string>{
                                    "30001 2013-3-5 提取现金 现金 1000|",
                                    "30001 2013-3-5 提取现金 银行存款→工商银行 |1000",
                                    "30002 2013-3-10 收到货款 银行存款→工商银行 11700|",
                                    "30002 2013-3-10 收到货款 主营业务收入 |11700",
                                    "30003 2013-3-15 报销差旅费 管理费用 300|",
                                    "30003 2013-3-15 报销差旅费 现金 |300"}));
    for (const VoucherPage& p : typed) EXPECT_EQ(p.reviewer, "张三") << plainDecimal(p.number);

    // 2. 打印当前 on the voucher shown, the month's first: its PDF carries the
    //    voucher's number as printed and the total in capitals.
    ASSERT_EQ(child<QLineEdit>(vouchers.get(), "月编号编辑框")->text(), "30001");
    checkPicture(*vouchers, "month_walk_voucher.png",
                 {"月编号编辑框", "摘要1编辑框", "科目2编辑框", "借方金额1编辑框", "贷方金额2编辑框"});
    QTemporaryDir out;
    const QString pdf = out.filePath("month_walk_voucher.pdf");
    prompter.clearRecords();
    prompter.printFileAnswers.enqueue(pdf);
    click(vouchers.get(), "打印当前");
    EXPECT_EQ(prompter.printRequests, QList<int>{1});
    EXPECT_EQ(prompter.messages, QStringList{"共打印1页。"});
    const std::vector<std::string> printed = pdfPages(pdf.toStdString());
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_NE(printed[0].find("记字第1号"), npos) << printed[0];
    EXPECT_NE(printed[0].find("壹仟元整"), npos) << printed[0];
    EXPECT_NE(printed[0].find("1,000.00"), npos) << printed[0];
    vouchers.reset();

    // 3. Posted and closed, as the closing window does it; the windows
    //    below read the tables through stores of their own.
    ASSERT_NO_FATAL_FAILURE(closeMonth());
    ASSERT_EQ(session.login.period, dayNumber(2013, 4, 1));
    store.reset();
    prompter.clearRecords();
    const int first = loadLedgerTemplate(dataDir).dataRow();

    // 4. The general ledger of 银行存款: its 本年累计 row holds the year's
    //    movement, which the 科目余额表 shows for March as both 本期 and
    //    本年累计, with the same closing balance.
    double yearDebit = 0;
    {
        auto general = listLedger(LedgerMode::General, "银行存款");
        const PageGrid& page = listedPage(general.get());
        EXPECT_EQ(page.text(1, 1), " 总账科目：1002 银行存款  2013-3-1至2013-3-31");
        const int year = rowOf(page, 3, "本年累计");
        ASSERT_NE(year, 0) << "no 本年累计 row";
        EXPECT_EQ(pageRow(page, year),
                  (Cells{"2013-3-31", "", "本年累计", "11700.00", "1000.00", "借", "210700.00"}));
        yearDebit = figure(page.text(year, 4));
        checkPicture(*general, "month_walk_general_ledger.png",
                     {"选择科目编辑框", "起始日期框", "截至日期框", "账页表格"});
    }
    {
        StatementsWindow statements(ctx);
        statements.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&statements));
        child<QComboBox>(&statements, "报表选择框")->setCurrentIndex(StatementsWindow::Balances);
        const PageGrid& sheet = child<PageGridWidget>(&statements, "报表表格")->grid();
        EXPECT_EQ(sheet.text(1, 1), "科目余额表");
        EXPECT_EQ(sheet.text(3, 4), "2013年3月");
        // Columns: 科目名称; 期初, 本期, 本年累计 and 期末, each 借方 then 贷方.
        const int bank = rowOf(sheet, 1, "1002 银行存款");
        ASSERT_NE(bank, 0) << "no row of 银行存款";
        EXPECT_EQ(sheet.text(bank, 4), "11,700.00");
        EXPECT_EQ(figure(sheet.text(bank, 4)), yearDebit) << "本期";
        EXPECT_EQ(figure(sheet.text(bank, 6)), yearDebit) << "本年累计";
        EXPECT_EQ(figure(sheet.text(bank, 8)), 210700.0) << "期末";
        checkPicture(statements, "month_walk_balances.png", {"报表选择框", "报表表格"});
    }

    // 5. The detail ledger of 银行存款, which has 工商银行 below it: the
    //    bank's rows by day, with 银行存款's balance.
    {
        auto parent = listLedger(LedgerMode::Detail, "银行存款");
        const PageGrid& page = listedPage(parent.get());
        EXPECT_EQ(page.text(1, 1), " 明细科目：1002 银行存款  2013-3-1至2013-3-31");
        ASSERT_EQ(page.rowCount(), first + 3);
        EXPECT_EQ(pageRow(page, first),
                  (Cells{"2013-3-1", "", "期初余额", "200000.00", "", "借", "200000.00"}));
        EXPECT_EQ(pageRow(page, first + 1),
                  (Cells{"2013-3-5", "30001", "提取现金", "", "1000.00", "借", "199000.00"}));
        EXPECT_EQ(pageRow(page, first + 2),
                  (Cells{"2013-3-10", "30002", "收到货款", "11700.00", "", "借", "210700.00"}));
        EXPECT_EQ(pageRow(page, first + 3),
                  (Cells{"2013-3-31", "", "本月合计", "11700.00", "1000.00", "借", "210700.00"}));
        checkPicture(*parent, "month_walk_parent_ledger.png",
                     {"选择科目编辑框", "起始日期框", "截至日期框", "账页表格"});
    }
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join("|").toStdString();

    // 6. The cash journal, once 从凭证引入 has brought the posted cash lines
    //    in, ends on the balance of the detail ledger of 现金.
    std::string ledgerBalance;
    {
        auto cash = listLedger(LedgerMode::Detail, "现金");
        const PageGrid& page = listedPage(cash.get());
        ASSERT_EQ(page.rowCount(), first + 3);
        EXPECT_EQ(pageRow(page, first + 3),
                  (Cells{"2013-3-31", "", "本月合计", "1000.00", "300.00", "借", "3700.00"}));
        ledgerBalance = page.text(first + 3, 7);
    }
    {
        JournalWindow journal(ctx);
        journal.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&journal));
        marchIn(&journal);
        answerCashAccount("现金");  // the box still shows its prompt: the list opens first
        click(&journal, "从凭证引入");
        EXPECT_EQ(prompter.messages, QStringList{"已从凭证引入2笔收付。"});
        const QList<QStringList> lines = journalLines(&journal);
        EXPECT_EQ(lines,
                  (QList<QStringList>{
                      {"2013-3-1", "", "", "3000", "", "期初余额", ""},
                      {"2013-3-5", "收", "1000", "4000", "凭证30001第1张第1行", "提取现金", "银行存款→工商银行"},
                      {"2013-3-15", "付", "-300", "3700", "凭证30003第1张第2行", "报销差旅费", "管理费用"}}));
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_EQ(figure(lines.last().value(3).toStdString()), figure(ledgerBalance));
        checkPicture(journal, "month_walk_journal.png",
                     {"选择科目编辑框", "起始日期框", "日记账超级列表框"});
    }
}

}  // namespace
}  // namespace tw::test
