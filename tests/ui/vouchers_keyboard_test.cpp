// 凭证窗口 from the keyboard: the focus order on the form, Enter and typed
// keys on a box, the balancing amount, the pickers' search, the buttons' keys
// — and a whole voucher typed without the mouse.
#include <gtest/gtest.h>

#include <QFile>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>

#include "accounts/ui/chart_window.h"
#include "accounts/ui/phrase_window.h"
#include "typist.h"
#include "vouchers/review.h"
#include "vouchers/ui/amount_dialog.h"
#include "vouchers_window_support.h"

namespace tw::test {
namespace {

class VoucherKeyboardTest : public VoucherWindowTest {
protected:
    void openActive() {
        open();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    // The focus within the voucher window (whether or not it is the active window).
    QString focused() {
        QWidget* f = window->focusWidget();
        return f ? f->objectName() : QStringLiteral("<none>");
    }
    void focus(const char* box) { this->box(QString::fromUtf8(box))->setFocus(Qt::TabFocusReason); }
    // The dialog or picker that the next key opens, as the key left it, then closed by `close`.
    QString opensWith(const std::function<void()>& key, const std::function<QString(QWidget*)>& look) {
        QString seen = "<nothing opened>";
        whenModalOpens([&](QWidget* dialog) {
            seen = look(dialog);
            dialog->close();
        });
        key();
        return seen;
    }
};

TEST_F(VoucherKeyboardTest, AFourLineVoucherIsWrittenFromTheKeyboardAlone) {
    addSub("银行存款", "工商银行");
    simple(5, 10);  // an earlier voucher of the day: the day dialog offers 5
    openActive();
    ASSERT_EQ(focused(), "新建凭证");

    // Enter on a box opens its picker, Enter in the picker takes what it
    // offers: the phrase found, the account found, the summary above.
    Typist typist;
    typist.press(Qt::Key_F5).press(Qt::Key_Return)             // 新建凭证 on the 5th
        .type("b").press(Qt::Key_Return)                        // 报销差旅费
        .type("gl").press(Qt::Key_Return)                       // 管理费用
        .type("800").press(Qt::Key_Return)                      // debit 800
        .press(Qt::Key_Return).press(Qt::Key_Return)            // the summary above
        .type("zzs").press(Qt::Key_Return)                      // 应交税费→应交增值税
        .type("48").press(Qt::Key_Return)                       // debit 48
        .press(Qt::Key_Return).press(Qt::Key_Return)
        .type("xj").press(Qt::Key_Return)                       // 现金
        .press(Qt::Key_Tab).type("500").press(Qt::Key_Return)   // credit 500
        .press(Qt::Key_Return).press(Qt::Key_Return)
        .type("gsyh").press(Qt::Key_Return)                     // 银行存款→工商银行
        .type("=")                                              // credit 348: balanced
        .press(Qt::Key_F5).press(Qt::Key_Escape);               // 新建凭证; the next one waits
    ASSERT_TRUE(typist.play());
    EXPECT_LE(typist.keys(), 40);
    EXPECT_EQ(typist.mouseClicks(), 0);
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join("|").toStdString();

    const auto pages = all();
    ASSERT_EQ(pages.size(), 2u) << "no page added, no voucher left half made";
    const VoucherPage& p = pages[1];
    EXPECT_EQ(p.number, 30002);
    EXPECT_EQ(p.date, dayNumber(2013, 3, 5));
    EXPECT_EQ(p.pageCount, 1);
    const std::string expected[4][2] = {{"管理费用", "800|"},
                                        {"应交税费→应交增值税", "48|"},
                                        {"现金", "|500"},
                                        {"银行存款→工商银行", "|348"}};
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(p.line(n).summary, "报销差旅费") << n;
        EXPECT_EQ(p.line(n).account, expected[n - 1][0]) << n;
        EXPECT_EQ(amountText(p.line(n).debit) + "|" + amountText(p.line(n).credit), expected[n - 1][1]) << n;
    }
    EXPECT_EQ(p.debitTotal, 848);
    EXPECT_EQ(p.creditTotal, 848);
    EXPECT_EQ(focused(), "附件数编辑框") << "the day dialog was cancelled";
}

// Accounts typed by their codes: the picker opens on the first digit, the
// code names one account, Enter takes it. Each line shows its code.
TEST_F(VoucherKeyboardTest, AVoucherIsWrittenWithAccountCodesAlone) {
    addSub("银行存款", "工商银行");  // 100201
    simple(5, 10);
    openActive();
    ASSERT_EQ(focused(), "新建凭证");

    Typist typist;
    typist.press(Qt::Key_F5).press(Qt::Key_Return)  // 30002 on the 5th
        .press(Qt::Key_Tab)                          // 科目1
        .type("1001").press(Qt::Key_Return)          // 现金
        .type("300").press(Qt::Key_Return)           // debit 300
        .press(Qt::Key_Tab)                          // 科目2
        .type("100201").press(Qt::Key_Return)        // 银行存款→工商银行
        .type("=");                                  // credit 300: balanced
    ASSERT_TRUE(typist.play());
    EXPECT_EQ(typist.keys(), 21);
    EXPECT_EQ(typist.mouseClicks(), 0);
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join("|").toStdString();

    const auto pages = all();
    ASSERT_EQ(pages.size(), 2u);
    const VoucherPage& p = pages[1];
    EXPECT_EQ(p.line(1).account, "现金");
    EXPECT_EQ(p.line(1).debit, 300);
    EXPECT_EQ(p.line(2).account, "银行存款→工商银行");
    EXPECT_EQ(p.line(2).credit, 300);
    EXPECT_EQ(text("科目2编辑框"), "银行存款→工商银行");
    const auto code = [&](const char* label) { return child<QLabel>(window.get(), label)->text(); };
    EXPECT_EQ(code("科目编码1标签"), "1001");
    EXPECT_EQ(code("科目编码2标签"), "100201");
    EXPECT_EQ(code("科目编码3标签"), "") << "a line without an account";
    press("翻到上张");
    EXPECT_EQ(code("科目编码2标签"), "1002") << "the voucher before: 银行存款";
}

TEST_F(VoucherKeyboardTest, TabFollowsTheFormInReadingOrderThenTheButtons) {
    simple(5, 10);
    openActive();
    QStringList form;
    for (int n = 1; n <= 4; ++n)
        for (const char* kind : {"摘要", "科目", "借方金额", "贷方金额"})
            form << QString::fromUtf8(kind) + QString::number(n) + "编辑框";
    form << "附件数编辑框" << "新建凭证" << "增加子页" << "删除凭证";
    EXPECT_EQ(tabOrder(box("摘要1编辑框"), 19), form);
    // Shift+Tab walks back; the header boxes and the buttons' neighbours stay out.
    focus("摘要2编辑框");
    QTest::keyClick(window->focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(focused(), "贷方金额1编辑框");
    // Up and Down keep the column.
    QTest::keyClick(window->focusWidget(), Qt::Key_Down);
    EXPECT_EQ(focused(), "贷方金额2编辑框");
    QTest::keyClick(window->focusWidget(), Qt::Key_Up);
    QTest::keyClick(window->focusWidget(), Qt::Key_Up);
    EXPECT_EQ(focused(), "贷方金额1编辑框");
    QTest::keyClick(window->focusWidget(), Qt::Key_End);
    EXPECT_EQ(focused(), "附件数编辑框");
    QTest::keyClick(window->focusWidget(), Qt::Key_Home);
    EXPECT_EQ(focused(), "摘要1编辑框");
    EXPECT_EQ(box("日期编辑框")->focusPolicy(), Qt::NoFocus);
}

TEST_F(VoucherKeyboardTest, EnterOrATypedKeyOpensTheFocusedBoxAndTheFocusMovesOn) {
    simple(5, 10);
    openActive();
    focus("摘要1编辑框");
    // Enter: the summary picker, starting with the line's own summary.
    const QString summary = opensWith([&] { QTest::keyClick(box("摘要1编辑框"), Qt::Key_Return); },
                                      [](QWidget* d) {
                                          return d->objectName() + ":" +
                                                 child<QLineEdit>(d, "摘要文本框")->text();
                                      });
    EXPECT_EQ(summary, "摘要窗口:提现");
    EXPECT_EQ(focused(), "摘要1编辑框") << "closed without a pick: the focus stays";

    // A typed letter: the account picker with the letter in its search box.
    focus("科目2编辑框");
    const QString account = opensWith([&] { QTest::keyClick(box("科目2编辑框"), 'y'); }, [](QWidget* d) {
        return d->objectName() + ":" + child<QLineEdit>(d, "科目查找编辑框")->text();
    });
    EXPECT_EQ(account, "会计科目窗口:y");

    // A typed digit: the amount dialog with the digit typed.
    focus("借方金额2编辑框");
    const QString amount = opensWith([&] { QTest::keyClick(box("借方金额2编辑框"), '7'); },
                                     [](QWidget* d) { return child<QLineEdit>(d, "金额输入框")->text(); });
    EXPECT_EQ(amount, "7");

    // Picked: the focus moves to the next box; a debit skips the credit box.
    whenModalOpens([](QWidget* d) { QTest::keyClick(child<QLineEdit>(d, "摘要文本框"), Qt::Key_Return); });
    QTest::keyClick(box("摘要1编辑框"), Qt::Key_Return);
    EXPECT_EQ(focused(), "科目1编辑框");
    answerNumber("10");
    QTest::keyClick(box("借方金额1编辑框"), Qt::Key_Return);
    EXPECT_EQ(text("借方金额1编辑框"), "10");
    EXPECT_EQ(focused(), "摘要2编辑框");
    answerNumber("3");
    QTest::keyClick(box("附件数编辑框"), Qt::Key_Return);
    EXPECT_EQ(focused(), "新建凭证");
    EXPECT_TRUE(prompter.messages.isEmpty());

    // A reviewed page refuses as a click does, and opens nothing.
    press("审核或撤销");
    ASSERT_EQ(text("审核编辑框"), "张三");
    focus("摘要1编辑框");
    const int windows = visibleTopLevelCount();
    QTest::keyClick(box("摘要1编辑框"), 'a');
    EXPECT_EQ(prompter.messages.value(0), kReviewedCannotEdit);
    EXPECT_EQ(visibleTopLevelCount(), windows);
}

TEST_F(VoucherKeyboardTest, TheAmountDialogOffersWhatBalancesAndEqualsFillsIt) {
    open();
    answerDay(8);
    press("新建凭证");
    answerAccount("管理费用", "损益类树型框");
    clickBox("科目1编辑框");
    answerNumber("300.5");
    clickBox("借方金额1编辑框");
    answerAccount("现金");
    clickBox("科目2编辑框");

    // The credit of line 2 would balance: offered, selected.
    const QString offered = opensWith([&] { clickBox("贷方金额2编辑框"); }, [](QWidget* d) {
        auto* input = child<QLineEdit>(d, "金额输入框");
        return input->text() + (input->selectedText() == input->text() ? " selected" : "");
    });
    EXPECT_EQ(offered, "300.5 selected");
    // The debit of line 2 would not: the box starts empty.
    EXPECT_EQ(opensWith([&] { clickBox("借方金额2编辑框"); },
                        [](QWidget* d) { return child<QLineEdit>(d, "金额输入框")->text(); }),
              "");
    // Typing replaces the offer; "=" brings it back and is never typed itself.
    NumberInputDialog dialog(NumberInputDialog::Kind::Amount, nullptr, nullptr, {300.5, {}});
    dialog.show();
    auto* input = child<QLineEdit>(&dialog, "金额输入框");
    typeText(input, "12");
    EXPECT_EQ(input->text(), "12");
    QTest::keyClick(input, '=');
    EXPECT_EQ(input->text(), "300.5");
    NumberInputDialog none(NumberInputDialog::Kind::Amount, nullptr, nullptr, {0, "="});
    EXPECT_EQ(child<QLineEdit>(&none, "金额输入框")->text(), "");

    // "=" on the form fills at once, on the side that balances.
    QTest::keyClick(box("借方金额2编辑框"), '=');
    EXPECT_EQ(text("借方金额2编辑框"), "");
    EXPECT_EQ(text("贷方金额2编辑框"), "300.5");
    EXPECT_EQ(text("贷方金额合计编辑框"), "300.5");
    // Balanced: "=" has nothing to fill.
    answerAccount("现金");
    clickBox("科目3编辑框");
    QTest::keyClick(box("贷方金额3编辑框"), '=');
    EXPECT_EQ(text("贷方金额3编辑框"), "");
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(VoucherKeyboardTest, TabThenEnterAfterAnAmountNeverAddsAPage) {
    open();
    answerDay(9);
    press("新建凭证");
    for (int n = 1; n <= 4; ++n) {
        answerAccount("现金");
        clickBox("科目" + QString::number(n) + "编辑框");
        // An amount typed and taken with Enter, then Tab and Enter: the next
        // box's picker opens (closed here), never a button.
        const QString amountBox = (n % 2 ? "借方金额" : "贷方金额") + QString::number(n) + "编辑框";
        answerNumber("10");
        QTest::keyClick(box(amountBox), Qt::Key_Return);
        QWidget* next = window->focusWidget();
        ASSERT_NE(next, nullptr);
        QTest::keyClick(next, Qt::Key_Tab);
        QString opened = "<nothing>";
        whenModalOpens([&](QWidget* d) {
            opened = d->objectName();
            d->close();
        });
        QTest::keyClick(window->focusWidget(), Qt::Key_Return);
        // After line 4 the way leads past 附件数 to 新建凭证 (its day dialog
        // for the next voucher, closed here), not to 增加子页.
        EXPECT_EQ(opened, n < 4 ? "会计科目窗口" : "日期输入窗口") << n;
    }
    EXPECT_EQ(numbers(), std::vector<std::string>{"30001 1/1"});
    EXPECT_EQ(text("借方金额合计编辑框"), "20");
}

// A typo in the account picker finds nothing: Tab, Tab and Enter reach its
// pick button, which must neither insert the account the picker started on
// (the line above's) nor anything else. With a match, the same keys insert
// what the search found.
TEST_F(VoucherKeyboardTest, AnAccountSearchWithoutAMatchPutsNothingIn) {
    addSub("银行存款", "工商银行");
    openActive();
    answerDay(6);
    press("新建凭证");
    answerAccount("现金");
    clickBox("科目1编辑框");
    answerNumber("100");
    clickBox("借方金额1编辑框");
    focus("科目2编辑框");

    Typist typo;
    typo.type("gsyy").press(Qt::Key_Tab).press(Qt::Key_Tab).press(Qt::Key_Return)
        .press(Qt::Key_Escape);  // the picker, still open, is closed
    ASSERT_TRUE(typo.play());
    EXPECT_EQ(text("科目2编辑框"), "");
    EXPECT_EQ(all()[0].line(2).account, "");
    EXPECT_EQ(focused(), "科目2编辑框");

    Typist found;
    found.type("gsyh").press(Qt::Key_Tab).press(Qt::Key_Tab).press(Qt::Key_Return);
    ASSERT_TRUE(found.play());
    EXPECT_EQ(text("科目2编辑框"), "银行存款→工商银行");
    EXPECT_EQ(focused(), "借方金额2编辑框");
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join("|").toStdString();
}

// F5 on the first page of a complete two-page voucher: the voucher is judged
// on all its pages, and the next one starts.
TEST_F(VoucherKeyboardTest, F5AfterAnyPageOfACompleteVoucherStartsTheNext) {
    multiPage(5, 2, 80);
    openActive();
    QTest::keyClick(window.get(), Qt::Key_PageUp);
    ASSERT_EQ(shown(), "30001 1/2");
    Typist typist;
    typist.press(Qt::Key_F5).press(Qt::Key_Return);  // the day dialog offers the 5th
    ASSERT_TRUE(typist.play());
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join("|").toStdString();
    EXPECT_EQ(shown(), "30002 1/1");
    EXPECT_EQ(text("日期编辑框"), "2013-3-5");
}

// An unbalanced voucher is not left behind without a word: F5 says by how
// much it is off, and Esc asks, naming it. 返回修改 (Enter's answer) stays on
// it, wherever the window was; 保留离开 leaves it as it is.
TEST_F(VoucherKeyboardTest, LeavingAnUnbalancedVoucherAsksFirst) {
    simple(5, 10);
    openActive();
    Typist typist;
    typist.press(Qt::Key_F5).press(Qt::Key_Return)  // 30002 on the 5th
        .press(Qt::Key_Tab)                          // 科目1
        .type("xj").press(Qt::Key_Return)            // 现金
        .type("100").press(Qt::Key_Return)           // debit 100, and no credit
        .press(Qt::Key_F5)                           // refused
        .press(Qt::Key_PageUp)                       // the voucher before
        .press(Qt::Key_Escape);                      // asked
    ASSERT_TRUE(typist.play());
    const QString question = "凭证 30002 借贷不平（差额 100.00），返回修改，还是保留离开？";
    EXPECT_EQ(prompter.messages, QStringList{"凭证 30002 借贷不平（差额 100.00），不能新建凭证！"});
    EXPECT_EQ(prompter.questions, QStringList{question});
    EXPECT_TRUE(window->isVisible()) << "返回修改";
    EXPECT_EQ(shown(), "30002 1/1");

    prompter.confirmAnswers.enqueue(true);  // 保留离开
    Typist leave;
    leave.press(Qt::Key_Escape);
    ASSERT_TRUE(leave.play());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(prompter.questions, (QStringList{question, question}));
    const auto pages = all();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[1].line(1).debit, 100) << "kept as it was";
}

// Amounts are typed as bookkeepers write them, 1,000 for a thousand; a third
// decimal is refused as it is typed, with the amount reader's message, and
// the box keeps it to be corrected instead of dropping the key.
TEST_F(VoucherKeyboardTest, AmountsTakeThousandsSeparatorsAndRefuseAThirdDecimal) {
    simple(5, 10);
    openActive();
    Typist typist;
    typist.press(Qt::Key_F5).press(Qt::Key_Return)    // 30002 on the 5th
        .press(Qt::Key_Tab).type("xj").press(Qt::Key_Return)
        .type("1,000").press(Qt::Key_Return)          // debit 1000
        .press(Qt::Key_Tab).type("yhck").press(Qt::Key_Return)
        .press(Qt::Key_Tab).type("12.345")             // credit: the 5 is refused
        .press(Qt::Key_Backspace).press(Qt::Key_Return);
    ASSERT_TRUE(typist.play(15000));
    EXPECT_EQ(prompter.messages, QStringList{"金额最多只能有两位小数！"});
    const VoucherPage p = all()[1];
    EXPECT_EQ(p.line(1).debit, 1000);
    EXPECT_EQ(p.line(2).account, "银行存款");
    EXPECT_EQ(p.line(2).credit, 12.34);
    EXPECT_EQ(text("借方金额1编辑框"), "1000");

    // The full-width comma of a Chinese input method, in the same dialog.
    NumberInputDialog dialog(NumberInputDialog::Kind::Amount, nullptr, &prompter);
    dialog.show();
    auto* input = child<QLineEdit>(&dialog, "金额输入框");
    ASSERT_NE(input, nullptr);
    typeText(input, "2，500.5");
    QTest::keyClick(input, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 2500.5);
}

TEST_F(VoucherKeyboardTest, TheButtonsHaveKeysShownInTheirTooltips) {
    simple(5, 10);
    simple(6, 20);
    openActive();
    for (const VoucherKey& k : kVoucherKeys) {
        auto* b = child<QPushButton>(window.get(), QString::fromUtf8(k.button));
        ASSERT_NE(b, nullptr);
        EXPECT_TRUE(b->toolTip().contains(QKeySequence(QString::fromLatin1(k.keys)).toString(
            QKeySequence::NativeText)))
            << k.button;
    }
    EXPECT_EQ(shown(), "30002 1/1");
    QTest::keyClick(window.get(), Qt::Key_PageUp);
    EXPECT_EQ(shown(), "30001 1/1");
    QTest::keyClick(window.get(), Qt::Key_PageDown);
    EXPECT_EQ(shown(), "30002 1/1");
    QTest::keyClick(window.get(), Qt::Key_F7);
    EXPECT_EQ(text("审核编辑框"), "张三");
    QTest::keyClick(window.get(), Qt::Key_F7);
    EXPECT_EQ(text("审核编辑框"), "");
    QTest::keyClick(window.get(), Qt::Key_F6);
    EXPECT_EQ(shown(), "30002 2/2");
    QTest::keyClick(window.get(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(prompter.questions.value(0), kConfirmDelete);
    EXPECT_EQ(all().size(), 3u) << "answered 不是";
}

// 审/撤全部 has its key too, beside F7's 审核/撤销: Shift+F7.
TEST_F(VoucherKeyboardTest, ShiftF7ReviewsTheWholeMonthAndUndoesItAgain) {
    simple(5, 10);
    multiPage(6, 2, 20);
    openActive();
    auto* reviewAll = child<QPushButton>(window.get(), "审撤全部");
    ASSERT_NE(reviewAll, nullptr);
    EXPECT_EQ(reviewAll->toolTip(),
              "审/撤全部（" + QKeySequence(QStringLiteral("Shift+F7")).toString(QKeySequence::NativeText) +
                  "）");
    QTest::keyClick(window.get(), Qt::Key_F7, Qt::ShiftModifier);
    EXPECT_EQ(prompter.messages.value(0), kAllReviewed);
    for (const VoucherPage& p : all()) EXPECT_EQ(p.reviewer, "张三");
    QTest::keyClick(window.get(), Qt::Key_F7, Qt::ShiftModifier);
    EXPECT_EQ(prompter.messages.value(1), kAllUndone);
    for (const VoucherPage& p : all()) EXPECT_EQ(p.reviewer, "");
}

// F8 with no calculator installed says so, and how to get one, rather than
// nothing at all.
TEST_F(VoucherKeyboardTest, F8SaysSoWhenNoCalculatorIsInstalled) {
    const auto launcher = templatePath(dataDir, file::kCalculator);
    {
        QFile f(QString::fromStdString(launcher.string()));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("#!/bin/sh\necho \"没有找到计算器程序\" >&2\nexit 127\n");
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    openActive();
    QTest::keyClick(window.get(), Qt::Key_F8);
    EXPECT_EQ(prompter.messages,
              QStringList{"没有找到计算器程序！\n请安装一个计算器（例如 galculator），或在套账目录的“计算器”文件中写上要启动的程序。"});
    // A launcher that fails otherwise is a calculator that cannot start.
    {
        QFile f(QString::fromStdString(launcher.string()));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("#!/bin/sh\nexit 2\n");
    }
    prompter.clearRecords();
    QTest::keyClick(window.get(), Qt::Key_F8);
    EXPECT_EQ(prompter.messages, QStringList{"计算器无法启动！"});
}

}  // namespace
}  // namespace tw::test
