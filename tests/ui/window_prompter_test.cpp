// The real message, confirm and input windows behind WindowPrompter, driven as
// a user would.
#include "shell/ui/window_prompter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "test_support.h"

namespace tw::test {
namespace {

void click(QWidget* window, const QString& name) {
    QPushButton* b = child<QPushButton>(window, name);
    ASSERT_TRUE(b);
    QTest::mouseClick(b, Qt::LeftButton);
}

TEST(MessageWindowTest, ShowsTheTextAndClosesWithItsButton) {
    WindowPrompter prompter;
    QString shown;
    whenModalOpens([&](QWidget* w) {
        QLabel* label = child<QLabel>(w, "提示信息");
        ASSERT_TRUE(label);
        shown = label->text();
        click(w, "关闭提示");
    });
    prompter.showMessage(nullptr, "是否创建用户：李四  ？\r\n创建后将不能再删除！");
    EXPECT_EQ(shown, "是否创建用户：李四  ？\n创建后将不能再删除！");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// Only 是的 says yes; 不是, Esc and the title-bar button all say no.
TEST(ConfirmWindowTest, OnlyYesButtonAnswersYes) {
    WindowPrompter prompter;
    const QString question = "是否要删除  测试套账";

    QString shown;
    whenModalOpens([&](QWidget* w) {
        shown = child<QLabel>(w, "确认信息")->text();
        click(w, "是的");
    });
    EXPECT_TRUE(prompter.confirm(nullptr, question));
    EXPECT_EQ(shown, question);

    whenModalOpens([&](QWidget* w) { click(w, "不是"); });
    EXPECT_FALSE(prompter.confirm(nullptr, question));

    whenModalOpens([&](QWidget* w) { w->close(); });
    EXPECT_FALSE(prompter.confirm(nullptr, question));

    whenModalOpens([&](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_FALSE(prompter.confirm(nullptr, question));

    // Enter presses the default button, which must be 不是.
    whenModalOpens([&](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });
    EXPECT_FALSE(prompter.confirm(nullptr, question));
}

// On the way out of a window: 是的, 不是, or 取消 to stay. Every way of
// dismissing the question stays (取消), Enter included: nothing is saved or
// dropped by a hasty key.
TEST(ConfirmWindowTest, AQuestionWithCancelAnswersEachButtonAndStaysWhenDismissed) {
    WindowPrompter prompter;
    using Answer = Prompter::Answer;
    const QString question = "是否保存修改？";
    QStringList buttons;
    whenModalOpens([&](QWidget* w) {
        for (QPushButton* b : w->findChildren<QPushButton*>()) buttons << b->objectName();
        click(w, "是的");
    });
    EXPECT_EQ(prompter.confirmOrCancel(nullptr, question), Answer::Yes);
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{"不是", "取消", "是的"}));

    whenModalOpens([&](QWidget* w) { click(w, "不是"); });
    EXPECT_EQ(prompter.confirmOrCancel(nullptr, question), Answer::No);
    whenModalOpens([&](QWidget* w) { click(w, "取消"); });
    EXPECT_EQ(prompter.confirmOrCancel(nullptr, question), Answer::Cancel);
    whenModalOpens([&](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(prompter.confirmOrCancel(nullptr, question), Answer::Cancel);
    whenModalOpens([&](QWidget* w) { w->close(); });
    EXPECT_EQ(prompter.confirmOrCancel(nullptr, question), Answer::Cancel);
    whenModalOpens([&](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });
    EXPECT_EQ(prompter.confirmOrCancel(nullptr, question), Answer::Cancel);
}

// A question with answers of its own: only the first says yes; Enter, Esc
// and the title-bar button give the second, the one that changes nothing.
TEST(ConfirmWindowTest, AQuestionWithItsOwnAnswersGivesTheSecondWhenDismissed) {
    WindowPrompter prompter;
    const QString question = "凭证 30003 借贷不平（差额 100.00），返回修改，还是保留离开？";
    QStringList buttons;
    whenModalOpens([&](QWidget* w) {
        for (QPushButton* b : w->findChildren<QPushButton*>()) buttons << b->text();
        click(w, "保留离开");
    });
    EXPECT_TRUE(prompter.confirmWith(nullptr, question, "保留离开", "返回修改"));
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{"保留离开", "返回修改"}));
    whenModalOpens([&](QWidget* w) { click(w, "返回修改"); });
    EXPECT_FALSE(prompter.confirmWith(nullptr, question, "保留离开", "返回修改"));
    whenModalOpens([&](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });
    EXPECT_FALSE(prompter.confirmWith(nullptr, question, "保留离开", "返回修改"));
    whenModalOpens([&](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_FALSE(prompter.confirmWith(nullptr, question, "保留离开", "返回修改"));
    whenModalOpens([&](QWidget* w) { w->close(); });
    EXPECT_FALSE(prompter.confirmWith(nullptr, question, "保留离开", "返回修改"));
}

TEST(InputWindowTest, TextIsReturnedOnOkAndNothingOnCancel) {
    WindowPrompter prompter;
    whenModalOpens([&](QWidget* w) {
        QLineEdit* line = child<QLineEdit>(w, "输入编辑框");
        ASSERT_TRUE(line);
        EXPECT_EQ(line->text(), "旧名称");
        line->clear();
        typeText(line, "差旅费");
        click(w, "确定");
    });
    EXPECT_EQ(prompter.inputText(nullptr, "摘要", "请输入摘要：", "旧名称"),
              std::optional<QString>("差旅费"));

    whenModalOpens([&](QWidget* w) {
        typeText(child<QLineEdit>(w, "输入编辑框"), "不要");
        click(w, "取消");
    });
    EXPECT_EQ(prompter.inputText(nullptr, "摘要", "请输入摘要：", ""), std::nullopt);
}

// The number box takes digits, a sign, one point and thousands separators,
// nothing else.
TEST(InputWindowTest, NumberBoxAcceptsOnlyNumbers) {
    WindowPrompter prompter;
    whenModalOpens([&](QWidget* w) {
        QLineEdit* line = child<QLineEdit>(w, "输入编辑框");
        QPushButton* ok = child<QPushButton>(w, "确定");
        ASSERT_TRUE(line && ok);
        EXPECT_EQ(line->text(), "80");
        line->clear();
        EXPECT_FALSE(ok->isEnabled()) << "an empty box is no number";
        typeText(line, "-1a,2b34.5元x");
        EXPECT_EQ(line->text(), "-1,234.5");
        EXPECT_TRUE(ok->isEnabled());
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    EXPECT_EQ(prompter.inputNumber(nullptr, "金额", "请输入金额：", 80.0),
              std::optional<double>(-1234.5));

    whenModalOpens([&](QWidget* w) { click(w, "取消"); });
    EXPECT_EQ(prompter.inputNumber(nullptr, "金额", "请输入金额：", 0.1 + 0.2), std::nullopt);
}

// 确定 reads the box through the amount reader: a third decimal is said, and
// the box stays open with the text as typed, never rounded; thousands
// separators, the full-width one too, are read.
TEST(InputWindowTest, NumberBoxRefusesWhatTheAmountReaderRefuses) {
    WindowPrompter prompter;
    QString said;
    whenModalOpens([&](QWidget* w) {
        QLineEdit* line = child<QLineEdit>(w, "输入编辑框");
        ASSERT_TRUE(line);
        line->clear();
        typeText(line, "1，000.505");
        whenModalOpens([&](QWidget* message) {
            said = child<QLabel>(message, "提示信息")->text();
            click(message, "关闭提示");
        });
        click(w, "确定");
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(line->text(), "1，000.505");
        QTest::keyClick(line, Qt::Key_Backspace);
        click(w, "确定");
    });
    EXPECT_EQ(prompter.inputNumber(nullptr, "金额", "请输入金额：", 0), std::optional<double>(1000.5));
    EXPECT_EQ(said, "金额最多只能有两位小数！");
}

// A backup file typed without an extension gets ".zip".
TEST(FileDialogTest, SaveDialogAddsTheDefaultSuffix) {
    TempDataDir dir;
    const QString folder = QString::fromStdString(dir.path().string());
    WindowPrompter prompter;
    whenModalOpens([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_TRUE(dialog);
        EXPECT_EQ(dialog->objectName(), "保存对话框");
        EXPECT_EQ(dialog->nameFilters(), QStringList{"*.zip"});
        dialog->setDirectory(folder);
        dialog->selectFile(QDir(folder).filePath("备份"));
        static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept is protected
    });
    const QString chosen = prompter.saveFileName(nullptr, "保存", "*.zip", "zip");
    EXPECT_EQ(chosen, QDir(folder).filePath("备份.zip"));

    whenModalOpens([&](QWidget* w) {
        EXPECT_EQ(w->objectName(), "打开对话框");
        qobject_cast<QDialog*>(w)->reject();
    });
    EXPECT_EQ(prompter.openFileName(nullptr, "打开", "*.zip"), QString());
}

// A dialog opens where it is told: the save dialog in the suggested file's
// folder with its name filled in, the open dialog in the folder given.
TEST(FileDialogTest, DialogsOpenWhereTheyAreTold) {
    TempDataDir dir;
    const QString folder = QString::fromStdString(dir.path().string());
    WindowPrompter prompter;
    whenModalOpens([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_TRUE(dialog);
        EXPECT_EQ(QDir(dialog->directory()).absolutePath(), QDir(folder).absolutePath());
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(prompter.saveFileName(nullptr, "保存", "*.zip", "zip",
                                    QDir(folder).filePath("华兴-20120301.zip")),
              QDir(folder).filePath("华兴-20120301.zip"));

    whenModalOpens([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_TRUE(dialog);
        EXPECT_EQ(QDir(dialog->directory()).absolutePath(), QDir(folder).absolutePath());
        dialog->reject();
    });
    EXPECT_EQ(prompter.openFileName(nullptr, "打开", "*.zip", folder), QString());
}

}  // namespace
}  // namespace tw::test
