// 上机日志窗口 lists the set's log and filters it by user and days;
// 套账选项窗口 keeps 审核人与制单人不能为同一人; both are for administrators.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTreeWidget>

#include "platform/ui/date_box.h"
#include "shell/action_log.h"
#include "shell/set_options.h"
#include "shell/ui/action_log_window.h"
#include "shell/ui/set_options_window.h"
#include "shell_window_support.h"

namespace tw::test {
namespace {

class ActionLogWindowTest : public ShellWindowTest {
protected:
    void SetUp() override {
        ShellWindowTest::SetUp();
        setPassword = makeSet("华兴");
        logInAs("华兴", "张三", "mima");
    }
    void plant(const LogEntry& entry) {
        RecordStore store(session.dataDir);
        const Outcome out =
            recordOnItsOwn(store, setFolder(session.dataDir, "华兴"), setPassword, entry);
        ASSERT_TRUE(out.ok) << out.message;
    }
    // "时间 用户 操作 内容" of every row.
    static QStringList rows(QWidget* w) {
        QStringList out;
        auto* list = child<QTreeWidget>(w, "上机日志列表框");
        for (int i = 0; list && i < list->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = list->topLevelItem(i);
            out << item->text(0) + " " + item->text(1) + " " + item->text(2) + " " + item->text(3);
        }
        return out;
    }
    std::vector<LogEntry> entries() {
        RecordStore store(session.dataDir);
        const auto log = runCaught([&] { return readActionLog(store, session, {}); });
        EXPECT_TRUE(log.ok) << log.message;
        return log.value.entries;
    }
    std::string setPassword;
};

TEST_F(ActionLogWindowTest, ListsTheLogAndFiltersItByUserAndDays) {
    const double march1 = dayNumber(2013, 3, 1);
    plant({march1 + 0.5, "张三", "登录", ""});
    plant({march1 + 1.25, "李四", "新建凭证", "30001"});
    plant({march1 + 2.75, "李四", "审核凭证", "30001"});
    ActionLogWindow w(ctx);
    w.show();
    EXPECT_EQ(w.objectName(), "上机日志窗口");
    EXPECT_EQ(rows(&w), (QStringList{"2013-3-1 12:00:00 张三 登录 ",
                                     "2013-3-2 06:00:00 李四 新建凭证 30001",
                                     "2013-3-3 18:00:00 李四 审核凭证 30001"}));
    EXPECT_EQ(child<QLabel>(&w, "条数标签")->text(), "共 3 条");
    auto* users = child<QComboBox>(&w, "用户筛选框");
    ASSERT_NE(users, nullptr);
    QStringList names;
    for (int i = 0; i < users->count(); ++i) names << users->itemText(i);
    EXPECT_EQ(names, (QStringList{"全部用户", "张三", "李四"}));

    users->setCurrentIndex(2);
    click(&w, "查询");
    EXPECT_EQ(rows(&w).size(), 2);
    type(&w, "起始日期框", "2013-3-3");
    click(&w, "查询");
    EXPECT_EQ(rows(&w), QStringList{"2013-3-3 18:00:00 李四 审核凭证 30001"});
    EXPECT_EQ(users->currentText(), "李四") << "the user chosen stays chosen";

    users->setCurrentIndex(0);
    type(&w, "起始日期框", "");
    type(&w, "截至日期框", "2013-3-1");
    click(&w, "查询");
    EXPECT_EQ(rows(&w), QStringList{"2013-3-1 12:00:00 张三 登录 "});
    EXPECT_EQ(child<QLabel>(&w, "条数标签")->text(), "共 1 条");

    // A date that names no day is told, and the list stays as it was.
    type(&w, "截至日期框", "2013-2-30");
    click(&w, "查询");
    EXPECT_EQ(prompter.messages, QStringList{unreadableDateMessage(QStringLiteral("2013-2-30"))});
    EXPECT_EQ(rows(&w), QStringList{"2013-3-1 12:00:00 张三 登录 "});
    EXPECT_EQ(entries().size(), 3u) << "reading the log writes nothing";
}

TEST_F(ActionLogWindowTest, TheSetOptionsWindowKeepsTheReviewerOption) {
    const QString name = QString::fromUtf8(kReviewerApartOption);
    {
        SetOptionsWindow w(ctx);
        w.show();
        EXPECT_EQ(w.objectName(), "套账选项窗口");
        auto* box = child<QCheckBox>(&w, name);
        ASSERT_NE(box, nullptr);
        EXPECT_FALSE(box->isChecked()) << "off by default";
        box->setChecked(true);
        click(&w, "取消");
    }
    RecordStore store(session.dataDir);
    EXPECT_FALSE(reviewerApart(store, session)) << "取消 keeps the set as it was";
    {
        SetOptionsWindow w(ctx);
        w.show();
        child<QCheckBox>(&w, name)->setChecked(true);
        click(&w, "确定");
        EXPECT_FALSE(w.isVisible());
    }
    EXPECT_TRUE(reviewerApart(store, session));
    {
        SetOptionsWindow w(ctx);
        w.show();
        EXPECT_TRUE(child<QCheckBox>(&w, name)->isChecked());
        click(&w, "确定");  // nothing changed: nothing written
    }
    const auto log = entries();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].what, "修改套账选项");
    EXPECT_EQ(log[0].detail, "审核人与制单人不能为同一人：是");
    EXPECT_TRUE(prompter.messages.isEmpty());
}

}  // namespace
}  // namespace tw::test
