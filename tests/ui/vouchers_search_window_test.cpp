// 查阅凭证: its conditions with their pickers and 任意 ticks, the result list,
// a double-click into the voucher window, 打印全部 into one PDF through the
// scripted print dialog, 预览全部, the blinking label, and the
// main window's button that opens it, and a picture of a search, of which
// TALLOWICK_SCREENSHOT_DIR keeps a copy.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QColor>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPrintPreviewWidget>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include "app/main_window.h"
#include "picture_check.h"
#include "platform/ui/date_box.h"
#include "support/pdf_text.h"
#include "vouchers/ui/search_window.h"
#include "typist.h"
#include "vouchers_window_support.h"

namespace tw::test {
namespace {

const QStringList kBoxes = {"摘要内容包括编辑框", "借方科目包括编辑框", "贷方科目包括编辑框",
                            "最小金额编辑框",     "最大金额编辑框",     "登账编辑框",
                            "审核编辑框",         "编制编辑框"};
const QStringList kTicks = {"摘要任意选择框", "借方科目任意选择框", "贷方科目任意选择框",
                            "发生金额范围任意选择框", "登账任意选择框", "审核任意选择框",
                            "编制任意选择框"};

class SearchWindowTest : public VoucherWindowTest {
protected:
    void SetUp() override {
        VoucherWindowTest::SetUp();
        simple(5, 50);                                          // 30001
        multiPage(9, 2, 150);                                   // 30002, two pages
        ASSERT_TRUE(add(12, {{"销售货物", "银行存款", 200, 0},  // 30003
                             {"销售货物", "主营业务收入", 0, 200}})
                        .ok);
        search = std::make_unique<SearchWindow>(ctx);
        search->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(search.get()));
    }
    void TearDown() override {
        search.reset();
        VoucherWindowTest::TearDown();
    }

    QString boxText(const QString& name) {
        auto* b = child<QLineEdit>(search.get(), name);
        return b ? b->text() : "<missing>";
    }
    bool ticked(const QString& name) {
        auto* t = child<QCheckBox>(search.get(), name);
        return t && t->isChecked();
    }
    void pressBox(const QString& name) {
        auto* b = child<QLineEdit>(search.get(), name);
        ASSERT_NE(b, nullptr);
        QTest::mousePress(b, Qt::LeftButton, {}, b->rect().center());
        QTest::mouseRelease(b, Qt::LeftButton, {}, b->rect().center());
    }
    void clickTick(const QString& name) {
        auto* t = child<QCheckBox>(search.get(), name);
        ASSERT_NE(t, nullptr);
        QTest::mouseClick(t, Qt::LeftButton, {}, QPoint(6, t->height() / 2));
    }
    QTreeWidget* list() { return child<QTreeWidget>(search.get(), "查找凭证超级列表框"); }
    // "30002 2/2 150" per row, "-" for an empty amount.
    QStringList rows() {
        QStringList out;
        for (int i = 0; i < list()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* it = list()->topLevelItem(i);
            out << it->text(1) + " " + it->text(2) + "/" + it->text(3) + " " +
                       (it->text(5).isEmpty() ? "-" : it->text(5));
        }
        return out;
    }
    void answerUser(const QString& name) {
        whenModalOpens([=](QWidget* users) {
            EXPECT_EQ(users->objectName(), "用户列表窗口");
            auto* l = child<QListWidget>(users, "用户列表框");
            ASSERT_NE(l, nullptr);
            const auto found = l->findItems(name, Qt::MatchExactly);
            ASSERT_FALSE(found.isEmpty());
            l->setCurrentItem(found.first());
            QTest::keyClick(l, Qt::Key_Return);
        });
    }

    std::unique_ptr<SearchWindow> search;
};

TEST_F(SearchWindowTest, OpensOnTheMonthWithEveryConditionAny) {
    EXPECT_EQ(boxText("起始日期框"), "2013-3-1");
    EXPECT_EQ(boxText("截至日期框"), "2013-3-31");
    for (const QString& b : kBoxes) EXPECT_EQ(boxText(b), "[任意]") << b.toStdString();
    for (const QString& t : kTicks) EXPECT_TRUE(ticked(t)) << t.toStdString();
    QStringList heads;
    for (int k = 0; k < list()->columnCount(); ++k) heads << list()->headerItem()->text(k);
    EXPECT_EQ(heads, (QStringList{"    日  期", "编号", "第几", "共几", "              摘   要 １",
                                  "凭证金额"}));
    EXPECT_EQ(list()->topLevelItemCount(), 0);
}

TEST_F(SearchWindowTest, SearchListsEveryPageAndEmptiedBoxesTurnBackIntoAny) {
    auto* summary = child<QLineEdit>(search.get(), "摘要内容包括编辑框");
    ASSERT_NE(summary, nullptr);
    summary->setFocus();
    summary->selectAll();
    QTest::keyClick(summary, Qt::Key_Delete);
    EXPECT_EQ(summary->text(), "");
    EXPECT_FALSE(ticked("摘要任意选择框"));
    click(search.get(), "按条件查找");
    EXPECT_EQ(summary->text(), "[任意]");
    EXPECT_TRUE(ticked("摘要任意选择框"));
    EXPECT_EQ(rows(), (QStringList{"30001 1/1 50", "30002 1/2 -", "30002 2/2 150", "30003 1/1 200"}));
    EXPECT_EQ(list()->topLevelItem(3)->text(0), "2013-3-12");
    EXPECT_EQ(list()->topLevelItem(3)->text(4), "销售货物");
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(SearchWindowTest, EnterInADateBoxSearches) {
    auto* from = child<QLineEdit>(search.get(), "起始日期框");
    from->setText("2013-3-9");
    QTest::keyClick(from, Qt::Key_Return);
    EXPECT_EQ(rows(), (QStringList{"30002 1/2 -", "30002 2/2 150", "30003 1/1 200"}));
}

// Enter in any condition box finds, as 按条件查找 does; 摘要内容包括 takes
// a fragment of a summary.
TEST_F(SearchWindowTest, EnterInAConditionBoxFindsAndTheSummaryIsAFragment) {
    auto* summary = child<QLineEdit>(search.get(), "摘要内容包括编辑框");
    ASSERT_NE(summary, nullptr);
    summary->setFocus();
    summary->selectAll();
    QTest::keyClick(summary, Qt::Key_Delete);
    typeText(summary, QStringLiteral("货物"));
    EXPECT_FALSE(ticked("摘要任意选择框"));
    QTest::keyClick(summary, Qt::Key_Return);
    EXPECT_EQ(rows(), QStringList{"30003 1/1 200"});

    // Emptied again, Enter in an amount box finds every page above 100.
    summary->clear();
    auto* minimum = child<QLineEdit>(search.get(), "最小金额编辑框");
    ASSERT_NE(minimum, nullptr);
    minimum->setFocus();
    minimum->selectAll();
    QTest::keyClicks(minimum, "100");
    QTest::keyClick(minimum, Qt::Key_Return);
    EXPECT_EQ(boxText("摘要内容包括编辑框"), "[任意]");
    EXPECT_EQ(rows(), (QStringList{"30002 2/2 150", "30003 1/1 200"}));
    EXPECT_TRUE(prompter.messages.isEmpty());
}

// As in the voucher window: a key typed into an account box opens the chart
// with the key in its search box; the account picked there goes into the box.
TEST_F(SearchWindowTest, TypingInAnAccountBoxOpensTheChartWithTheKeysTyped) {
    search->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(search.get()));
    auto* debit = child<QLineEdit>(search.get(), "借方科目包括编辑框");
    ASSERT_NE(debit, nullptr);
    debit->setFocus(Qt::TabFocusReason);
    Typist typist;
    typist.type("xj").press(Qt::Key_Return)  // the chart finds 现金 and Enter picks it
        .press(Qt::Key_Return);             // Enter in the box finds
    ASSERT_TRUE(typist.play(15000));
    EXPECT_EQ(debit->text(), "现金");
    EXPECT_FALSE(ticked("借方科目任意选择框"));
    EXPECT_EQ(rows(), (QStringList{"30001 1/1 50", "30002 2/2 150"}));

    // Keys with Ctrl go on to the window, and the box keeps its account.
    QTest::keyClick(debit, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(QApplication::activeModalWidget(), search.get());
    EXPECT_EQ(debit->text(), "现金");
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(SearchWindowTest, PickersFillTheBoxesAndTicksResetThem) {
    answerAccount("现金");
    pressBox("借方科目包括编辑框");
    EXPECT_EQ(boxText("借方科目包括编辑框"), "现金");
    EXPECT_FALSE(ticked("借方科目任意选择框"));
    click(search.get(), "按条件查找");
    EXPECT_EQ(rows(), (QStringList{"30001 1/1 50", "30002 2/2 150"}));

    // The tick on a box with a value makes it [任意] again.
    clickTick("借方科目任意选择框");
    EXPECT_EQ(boxText("借方科目包括编辑框"), "[任意]");
    EXPECT_TRUE(ticked("借方科目任意选择框"));
    // On a [任意] box it opens the picker; closing it picks nothing.
    whenModalOpens([](QWidget* chart) {
        EXPECT_EQ(chart->objectName(), "会计科目窗口");
        chart->close();
    });
    clickTick("借方科目任意选择框");
    EXPECT_EQ(boxText("借方科目包括编辑框"), "[任意]");
    EXPECT_TRUE(ticked("借方科目任意选择框"));

    answerUser("张三");
    pressBox("编制编辑框");
    EXPECT_EQ(boxText("编制编辑框"), "张三");
    EXPECT_FALSE(ticked("编制任意选择框"));

    answerNumber("100");
    pressBox("最小金额编辑框");
    EXPECT_EQ(boxText("最小金额编辑框"), "100");
    EXPECT_FALSE(ticked("发生金额范围任意选择框"));
    click(search.get(), "按条件查找");
    EXPECT_EQ(rows(), (QStringList{"30002 2/2 150", "30003 1/1 200"}));
    answerNumber("160");
    pressBox("最大金额编辑框");
    clickTick("发生金额范围任意选择框");
    EXPECT_EQ(boxText("最小金额编辑框"), "[任意]");
    EXPECT_EQ(boxText("最大金额编辑框"), "[任意]");
    EXPECT_TRUE(ticked("发生金额范围任意选择框"));

    answerUser("张三");
    clickTick("审核任意选择框");  // nobody has reviewed anything
    EXPECT_EQ(boxText("审核编辑框"), "张三");
    click(search.get(), "按条件查找");
    EXPECT_TRUE(rows().isEmpty());
}

TEST_F(SearchWindowTest, DoubleClickOpensThatPageAndPrintAllPrintsEveryRow) {
    click(search.get(), "按条件查找");
    ASSERT_EQ(list()->topLevelItemCount(), 4);
    QString shownPage;
    whenModalOpens([&](QWidget* voucher) {
        EXPECT_EQ(voucher->objectName(), "凭证窗口");
        auto* number = child<QLineEdit>(voucher, "月编号编辑框");
        auto* page = child<QLineEdit>(voucher, "第几编辑框");
        if (number && page) shownPage = number->text() + "/" + page->text();
        voucher->close();
    });
    emit list()->itemDoubleClicked(list()->topLevelItem(2), 0);
    EXPECT_EQ(shownPage, "30002/2");

    // 打印全部: one print dialog for the whole list, then one document of
    // every listed page in list order, and how many pages it printed.
    QTemporaryDir out;
    const QString pdf = out.filePath("全部凭证.pdf");
    prompter.printFileAnswers.enqueue(pdf);
    click(search.get(), "打印全部");
    EXPECT_EQ(prompter.printRequests, QList<int>{4});
    EXPECT_EQ(prompter.messages, QStringList{"共打印4页。"});
    const std::vector<std::string> printed = pdfPages(pdf.toStdString());
    ASSERT_EQ(printed.size(), 4u);
    const std::pair<const char*, const char*> pages[] = {
        {"记字第1号", "第1张"}, {"记字第2号", "第1张"}, {"记字第2号", "第2张"}, {"记字第3号", "第1张"}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NE(printed[i].find(pages[i].first), std::string::npos) << i << ":\n" << printed[i];
        EXPECT_NE(printed[i].find(pages[i].second), std::string::npos) << i << ":\n" << printed[i];
    }
    // The queue shows the job's name.
    EXPECT_NE(pdfInfo(pdf.toStdString()).find("凭证 30001至30003 共4张"), std::string::npos);
    EXPECT_EQ(QApplication::activeModalWidget(), search.get()) << "a voucher window stayed open";

    // A print dialog cancelled prints nothing and says nothing.
    prompter.clearRecords();
    click(search.get(), "打印全部");
    EXPECT_EQ(prompter.printRequests, QList<int>{4});
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(SearchWindowTest, PreviewAllShowsTheListedPagesAsOneDocument) {
    click(search.get(), "预览全部");  // nothing listed yet
    EXPECT_EQ(prompter.messages, QStringList{"没有可打印的凭证！"});
    answerAccount("现金");
    pressBox("借方科目包括编辑框");
    click(search.get(), "按条件查找");
    ASSERT_EQ(rows(), (QStringList{"30001 1/1 50", "30002 2/2 150"}));
    QString title;
    int pages = -1;
    whenModalOpens([&](QWidget* modal) {
        title = modal->windowTitle();
        if (auto* preview = modal->findChild<QPrintPreviewWidget*>()) pages = preview->pageCount();
        modal->close();
    });
    click(search.get(), "预览全部");
    EXPECT_EQ(title, "打印预览");
    EXPECT_EQ(pages, 2);
    EXPECT_TRUE(prompter.printRequests.isEmpty());
}

TEST_F(SearchWindowTest, DateRangeLabelBlinks) {
    auto* clock = search->findChild<QTimer*>("时钟1");
    ASSERT_NE(clock, nullptr);
    EXPECT_TRUE(clock->isActive());
    auto* label = child<QLabel>(search.get(), "查询日期范围标签");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "查询日期范围：");
    QSet<QRgb> colours;
    for (int i = 0; i < 3; ++i) {
        QTest::qWait(clock->interval() + 50);
        colours << label->palette().color(QPalette::WindowText).rgb();
    }
    EXPECT_EQ(colours, (QSet<QRgb>{QColor(Qt::red).rgb(), QColor(Qt::black).rgb()}));
}

// A search by debit account, drawn whole in a Chinese font: the chosen
// account and the found pages in sight and drawn. TALLOWICK_SCREENSHOT_DIR
// keeps a copy of the picture.
TEST_F(SearchWindowTest, PictureOfASearchByDebitAccount) {
    answerAccount("现金");
    pressBox("借方科目包括编辑框");
    click(search.get(), "按条件查找");
    search->resize(760, 480);
    QTest::qWait(50);
    EXPECT_EQ(rows(), (QStringList{"30001 1/1 50", "30002 2/2 150"}));
    checkPicture(*search, "voucher_search_window.png",
                 {"起始日期框", "借方科目包括编辑框", "查找凭证超级列表框", "查询日期范围标签"});
}

TEST(SearchWindowMain, ButtonOpensTheSearchWindowOrSaysTheSetCannotBeRead) {
    TempDataDir dir;
    Session session;
    session.dataDir = dir.path();
    ScriptedPrompter prompter;
    AppContext ctx{session, prompter};
    MainWindow main(ctx);
    session.login.loggedIn = true;
    session.login.setName = "没有的套账";
    session.login.period = dayNumber(2013, 3, 1);
    auto* button = child<QToolButton>(&main, "查找凭证按钮");
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(prompter.messages, QStringList{"无法读出套账数据！  请检查后重试！"});
}

class SearchWindowOpened : public VoucherWindowTest {};

TEST_F(SearchWindowOpened, FromTheMainWindow) {
    MainWindow main(ctx);
    QString opened;
    whenModalOpens([&](QWidget* w) {
        opened = w->objectName();
        w->close();
    });
    auto* button = child<QToolButton>(&main, "查找凭证按钮");
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(opened, "查阅凭证");
    EXPECT_TRUE(button->isEnabled());
}

}  // namespace
}  // namespace tw::test
