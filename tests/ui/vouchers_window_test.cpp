// 凭证窗口 on a real set: writing a voucher through the pickers and dialogs,
// the editable check, numbering, pages added and deleted, the number dialog,
// paging, and the dialogs' typing rules.
#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QPushButton>

#include "storage/paths.h"
#include "vouchers/ui/amount_dialog.h"
#include "vouchers/ui/day_dialog.h"
#include "vouchers_window_support.h"

namespace tw::test {
namespace {

TEST_F(VoucherWindowTest, AVoucherIsWrittenThroughPickersAndDialogs) {
    open();
    EXPECT_EQ(window->position(), 0);
    // On an empty table the first voucher comes without any check.
    answerDay(12);
    press("新建凭证");
    EXPECT_EQ(shown(), "30001 1/1");
    EXPECT_EQ(text("日期编辑框"), "2013-3-12");
    EXPECT_EQ(text("编制编辑框"), "张三");
    EXPECT_EQ(text("借方金额合计编辑框"), "0");
    EXPECT_EQ(text("贷方金额合计编辑框"), "0");
    EXPECT_EQ(child<QLabel>(window.get(), "单位标签")->text(), "单位：测试公司");

    whenModalOpens([](QWidget* phrases) {
        auto* tree = child<QTreeWidget>(phrases, "摘要树型框");
        ASSERT_NE(tree, nullptr);
        tree->setCurrentItem(tree->findItems("收到货款", Qt::MatchExactly | Qt::MatchRecursive).first());
        click(phrases, "将当前摘要插入到");
    });
    clickBox("摘要1编辑框");
    EXPECT_EQ(text("摘要1编辑框"), "收到货款");
    answerAccount("银行存款");
    clickBox("科目1编辑框");
    answerNumber("1234.5");
    clickBox("借方金额1编辑框");
    answerAccount("主营业务收入", "损益类树型框");
    clickBox("科目2编辑框");
    answerNumber("1234.5");
    clickBox("贷方金额2编辑框");
    EXPECT_EQ(text("借方金额合计编辑框"), "1234.5");
    EXPECT_EQ(text("贷方金额合计编辑框"), "1234.5");

    // 500 as the debit of a line with a credit: the credit goes.
    answerNumber("500");
    clickBox("借方金额2编辑框");
    EXPECT_EQ(text("借方金额2编辑框"), "500");
    EXPECT_EQ(text("贷方金额2编辑框"), "");
    // 清除 and 0 both empty the box they were opened for.
    answerNumber("", "清除");
    clickBox("借方金额2编辑框");
    EXPECT_EQ(text("借方金额2编辑框"), "");
    answerNumber("77");
    clickBox("借方金额2编辑框");
    answerNumber("0");
    clickBox("借方金额2编辑框");
    EXPECT_EQ(text("借方金额2编辑框"), "");
    answerNumber("2.9");
    clickBox("附件数编辑框");
    EXPECT_EQ(text("附件数编辑框"), "2");

    // Unbalanced now: no next voucher (and no day dialog), and the refusal
    // says by how much.
    press("新建凭证");
    EXPECT_EQ(prompter.messages.last(), "凭证 30001 借贷不平（差额 1234.50），不能新建凭证！");
    answerNumber("1234.5");
    clickBox("贷方金额2编辑框");
    answerDay(13);
    press("新建凭证");
    EXPECT_EQ(shown(), "30002 1/1");
    EXPECT_EQ(window->position(), 2);

    const auto pages = all();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].lines[0].summary, "收到货款");
    EXPECT_EQ(pages[0].lines[1].account, "主营业务收入");
    EXPECT_EQ(pages[0].attachments, 2);
    EXPECT_EQ(pages[0].debitTotal, 1234.5);
    EXPECT_EQ(prompter.messages.size(), 1) << prompter.messages.join("|").toStdString();
}

TEST_F(VoucherWindowTest, TheEditableCheckGuardsEveryBox) {
    open();
    const int windows = visibleTopLevelCount();
    for (const char* name : {"摘要1编辑框", "科目2编辑框", "借方金额3编辑框", "附件数编辑框", "日期编辑框",
                             "月编号编辑框"}) {
        clickBox(QString::fromUtf8(name));
        EXPECT_EQ(prompter.messages.last(), kNoVoucherToEdit) << name;
    }
    EXPECT_EQ(visibleTopLevelCount(), windows);

    simple(1, 10);
    window.reset();
    open();
    clickBox("借方金额3编辑框");  // the line has no account: no amount dialog
    EXPECT_EQ(prompter.messages.last(), kAccountFirst);
    EXPECT_EQ(visibleTopLevelCount(), windows);

    press("审核或撤销");
    EXPECT_EQ(text("审核编辑框"), "张三");
    clickBox("科目1编辑框");
    EXPECT_EQ(prompter.messages.last(), kReviewedCannotEdit);
    press("删除凭证");
    EXPECT_EQ(prompter.messages.last(), kReviewedCannotDelete);
    EXPECT_TRUE(prompter.questions.isEmpty());
}

TEST_F(VoucherWindowTest, NewVoucherNumbersAndRefusesIncompleteVouchers) {
    writePages({page(dayNumber(2013, 3, 9), 30009, 1, 1, 5, 5)});
    open();
    answerDay(10);
    press("新建凭证");
    EXPECT_EQ(shown(), "30010 1/1");
    // An empty voucher, one without a date; a complete voucher is judged on
    // all its pages, whichever of them is shown.
    press("新建凭证");
    EXPECT_EQ(prompter.messages.last(), kIncompleteVoucher);
    multiPage(11, 2, 30);
    VoucherPage undated = page(0, 30012, 1, 1, 5, 5);
    writePages({undated});
    window.reset();
    open();
    press("新建凭证");
    EXPECT_EQ(prompter.messages.last(), kIncompleteVoucher);
    press("翻到上张");
    press("翻到上张");
    EXPECT_EQ(shown(), "30011 1/2");
    QString asked = "<nothing opened>";
    whenModalOpens([&](QWidget* dialog) {
        asked = dialog->objectName();
        dialog->close();
    });
    press("新建凭证");
    EXPECT_EQ(asked, "日期输入窗口") << "the day of the next voucher";
    EXPECT_EQ(prompter.messages.size(), 2);

    session.login.period = dayNumber(2013, 12, 1);
    window.reset();
    open();
    press("翻到上张");  // the last page of 30011, complete
    answerDay(31);
    press("新建凭证");
    EXPECT_EQ(shown(), "120001 1/1");
    EXPECT_EQ(text("日期编辑框"), "2013-12-31");
}

TEST_F(VoucherWindowTest, PagesAddedAndDeleted) {
    multiPage(3, 3, 80);
    simple(4, 10);
    simple(5, 20);
    simple(6, 30);
    open();
    for (int i = 0; i < 5; ++i) press("翻到上张");
    EXPECT_EQ(shown(), "30001 1/3");
    press("翻到上张");  // the first page stays
    EXPECT_EQ(shown(), "30001 1/3");
    press("增加子页");
    EXPECT_EQ(shown(), "30001 4/4");
    EXPECT_EQ(text("借方金额合计编辑框"), "80");
    EXPECT_EQ(window->position(), 7);
    press("翻到下张");  // the last page stays
    EXPECT_EQ(window->position(), 7);

    // 不是 deletes nothing; 是的 deletes and shows the page before.
    press("删除凭证");
    EXPECT_EQ(prompter.questions.last(), kConfirmDelete);
    EXPECT_EQ(all().size(), 7u);
    prompter.confirmAnswers.enqueue(true);
    press("删除凭证");
    EXPECT_EQ(shown(), "30004 1/1");
    for (int i = 0; i < 4; ++i) press("翻到上张");
    EXPECT_EQ(shown(), "30001 2/3");
    prompter.confirmAnswers.enqueue(true);
    press("删除凭证");
    EXPECT_EQ(shown(), "30001 1/2");
    EXPECT_EQ(numbers(), (std::vector<std::string>{"30001 1/2", "30001 2/2", "30002 1/1", "30003 1/1",
                                                   "30004 1/1"}));
    // The single-page voucher 30002: 30003 and 30004 close the gap.
    press("翻到下张");
    press("翻到下张");
    prompter.confirmAnswers.enqueue(true);
    press("删除凭证");
    EXPECT_EQ(numbers(), (std::vector<std::string>{"30001 1/2", "30001 2/2", "30002 1/1", "30003 1/1"}));
    EXPECT_EQ(shown(), "30001 2/2");
}

TEST_F(VoucherWindowTest, NumberDialogRefusesATakenNumberAndKeepsPagesTogether) {
    multiPage(3, 2, 80);
    open();
    QString message;
    whenModalOpens([&](QWidget* dialog) {
        auto* number = child<QLineEdit>(dialog, "月编号输入框");
        ASSERT_NE(number, nullptr);
        EXPECT_EQ(number->text(), "30001");
        EXPECT_EQ(child<QLineEdit>(dialog, "共几输入框")->text(), "2");
        click(dialog, "确定");  // its own number
        message = prompter.messages.value(0);
        EXPECT_TRUE(dialog->isVisible());
        number->setText("0");
        click(dialog, "确定");  // silently refused
        EXPECT_EQ(prompter.messages.size(), 1);
        EXPECT_TRUE(dialog->isVisible());
        number->setText("40001");  // April's block: it would block March's numbering
        click(dialog, "确定");
        EXPECT_EQ(prompter.messages.value(1), "凭证编号必须在30001到39999之间！");
        EXPECT_TRUE(dialog->isVisible());
        number->setText("30005");
        click(dialog, "确定");
        EXPECT_FALSE(dialog->isVisible());
    });
    clickBox("月编号编辑框");
    EXPECT_EQ(message, kDuplicateNumber);
    EXPECT_EQ(shown(), "30005 2/2");
    EXPECT_EQ(numbers(), (std::vector<std::string>{"30005 1/2", "30005 2/2"}));

    answerDay(30);
    clickBox("日期编辑框");
    EXPECT_EQ(all()[0].date, dayNumber(2013, 3, 30));
}

TEST_F(VoucherWindowTest, AmountDialogTypingRules) {
    NumberInputDialog dialog(NumberInputDialog::Kind::Amount);
    dialog.show();
    auto* input = child<QLineEdit>(&dialog, "金额输入框");
    auto* ok = child<QPushButton>(&dialog, "确定");
    ASSERT_TRUE(input && ok);
    typeText(input, "-");
    EXPECT_EQ(input->text(), "");
    typeText(input, "12.3");
    EXPECT_EQ(dialog.focusWidget(), input);
    typeText(input, "4");
    EXPECT_EQ(input->text(), "12.34");
    EXPECT_EQ(dialog.focusWidget(), ok);
    // Enter, as the next key typed, presses the button that now has the focus.
    QTest::keyClick(ok, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 12.34);

    // Closed without a button: nothing, and the amount box keeps its amount.
    NumberInputDialog closed(NumberInputDialog::Kind::Amount);
    closed.show();
    closed.reject();
    EXPECT_FALSE(closed.result().has_value());
}

// 确定 reads the box through the one amount reader: what it refuses is said,
// the dialog stays open with the text as typed, and nothing is rounded.
TEST_F(VoucherWindowTest, AmountDialogRefusesWhatTheAmountReaderRefuses) {
    NumberInputDialog dialog(NumberInputDialog::Kind::Amount, nullptr, &prompter);
    dialog.show();
    auto* input = child<QLineEdit>(&dialog, "金额输入框");
    ASSERT_NE(input, nullptr);
    for (const char* text : {"1.234", "100000000000000000000", "12元"}) {
        input->setText(QString::fromUtf8(text));
        click(&dialog, "确定");
        EXPECT_TRUE(dialog.isVisible()) << text;
        EXPECT_EQ(input->text(), QString::fromUtf8(text));
    }
    EXPECT_EQ(prompter.messages,
              (QStringList{"金额最多只能有两位小数！", "金额最多只能有15位有效数字！", "金额必须是数字！"}));
    EXPECT_FALSE(dialog.result().has_value());
    input->setText("1.20");
    click(&dialog, "确定");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 1.2);
}

TEST_F(VoucherWindowTest, DayDialogKnowsLeapFebruary) {
    DayDialog dialog(daysInMonth(2012, 2), 0);
    dialog.show();
    auto* input = child<QLineEdit>(&dialog, "日期输入框");
    ASSERT_NE(input, nullptr);
    typeText(input, "29");
    EXPECT_EQ(input->text(), "29");
    input->clear();
    typeText(input, "30");
    EXPECT_EQ(input->text(), "");
    click(&dialog, "确定");  // empty: stays open
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.day().has_value());
    typeText(input, "0");
    EXPECT_EQ(input->text(), "1");

    // Through the window, in February 2012.
    session.login.period = dayNumber(2012, 2, 1);
    open();
    answerDay(29);
    press("新建凭证");
    EXPECT_EQ(text("日期编辑框"), "2012-2-29");
    EXPECT_EQ(shown(), "20001 1/1");
}

TEST_F(VoucherWindowTest, CalculatorButtonStartsTheLauncher) {
    // A launcher of our own in place of the desktop's calculator.
    const auto marker = dataDir / "started";
    const auto launcher = templatePath(dataDir, file::kCalculator);
    {
        QFile f(QString::fromStdString(launcher.string()));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(("#!/bin/sh\ntouch '" + marker.string() + "'\n").c_str());
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    open();
    press("计算器");
    for (int i = 0; i < 100 && !std::filesystem::exists(marker); ++i) QTest::qWait(20);
    EXPECT_TRUE(std::filesystem::exists(marker));
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_TRUE(child<QPushButton>(window.get(), "打印预览")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(window.get(), "打印当前")->isEnabled());
}

}  // namespace
}  // namespace tw::test
