#include "accounts/ui/chart_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "accounts/account_codes.h"
#include "accounts/account_search.h"
#include "accounts/opening_balances.h"
#include "platform/ui/widget_helpers.h"

namespace tw {

namespace {

const char* const kTabCaptions[5] = {"资产类科目", "负债类科目", "权益类科目", "成本类科目",
                                     "损益类科目"};

// The column of the trees and of the list of what was found that shows the
// code: the name keeps column 0, which everything reads, and the code is
// moved before it on screen ("1002  银行存款").
constexpr int kTreeCodeColumn = 1;
constexpr int kResultCodeColumn = 2;

void showCodeFirst(QTreeWidget* tree, int codeColumn) {
    tree->header()->moveSection(codeColumn, 0);
    tree->header()->setSectionResizeMode(codeColumn, QHeaderView::ResizeToContents);
}

void addItems(QTreeWidgetItem* parent, QTreeWidget* tree, const ChartTree& chart, int index,
              const AccountCodes& codes) {
    const ChartTree::Item& item = chart.items[index];
    auto* widgetItem = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
    widgetItem->setText(0, qs(item.name));
    widgetItem->setToolTip(0, qs(item.name));  // the whole of a name cut off at the edge
    widgetItem->setText(kTreeCodeColumn, qs(codeOf(codes, item.name)));
    for (int child : item.children) addItems(widgetItem, tree, chart, child, codes);
    if (!item.children.empty()) widgetItem->setExpanded(true);
}

}  // namespace

ChartWindow::ChartWindow(AppContext& ctx, QWidget* parent, const AccountStart& start,
                         ChartUse use)
    : QDialog(parent), m_ctx(ctx), m_use(use) {
    setObjectName(QStringLiteral("会计科目窗口"));
    setWindowTitle(QStringLiteral("会计科目"));
    setModal(true);

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("科目查找编辑框"));
    m_search->setPlaceholderText(
        QStringLiteral("查找：科目编码、科目名称或拼音首字母，如 1002、yhck"));
    m_search->setToolTip(QStringLiteral("输入科目编码的开头（如 1002 找银行存款及其下级科目）、"
                                        "科目名称的一部分或拼音首字母（如 yhck 找银行存款），"
                                        "↑↓ 选择，回车插入"));
    m_search->setClearButtonEnabled(true);
    m_search->installEventFilter(this);
    connect(m_search, &QLineEdit::textChanged, this, &ChartWindow::onSearchEdited);
    m_searchNote = new QLabel(this);
    m_searchNote->setObjectName(QStringLiteral("科目查找提示标签"));
    m_searchNote->hide();

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("选择夹"));
    m_tabs->setUsesScrollButtons(false);  // all five categories in sight
    for (int i = 0; i < 5; ++i) {
        auto* tree = new QTreeWidget(m_tabs);
        tree->setObjectName(QString::fromUtf8(categoryText(i + 1)) + QStringLiteral("树型框"));
        tree->setHeaderHidden(true);
        tree->setColumnCount(2);
        tree->setSelectionMode(QAbstractItemView::SingleSelection);
        // Long full names widen the column and the tree scrolls sideways,
        // rather than cutting them off.
        tree->header()->setStretchLastSection(false);
        tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
        showCodeFirst(tree, kTreeCodeColumn);
        tree->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        m_tabs->addTab(tree, QString::fromUtf8(kTabCaptions[i]));
        m_trees[i] = tree;
        connect(tree, &QTreeWidget::itemSelectionChanged, this,
                [this, tree] { onSelectionChanged(tree); });
        connect(tree, &QTreeWidget::itemDoubleClicked, this, [this] { pick(false); });
        tree->installEventFilter(this);
    }

    m_results = new QTreeWidget(this);
    m_results->setObjectName(QStringLiteral("科目查找列表框"));
    m_results->setRootIsDecorated(false);
    m_results->setHeaderLabels(
        {QStringLiteral("科目名称"), QStringLiteral("类别"), QStringLiteral("科目编码")});
    m_results->header()->setStretchLastSection(false);
    m_results->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_results->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    showCodeFirst(m_results, kResultCodeColumn);
    m_results->hide();
    connect(m_results, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { choose(item->text(0).toStdString()); });

    // Made in the order they stand, top to bottom, which is the order Tab follows.
    auto* pickButton = namedButton(this, "将选定科目插入到", "将选定科目插入到...");
    auto* blankButton = namedButton(this, "插入空白", "插入空白");
    auto* subButton = namedButton(this, "增加下级科目", "增加下级科目");
    auto* siblingButton = namedButton(this, "增加同级科目", "增加同级科目");
    auto* deleteButton = namedButton(this, "删除当前选定", "删除当前选定");
    connect(pickButton, &QPushButton::clicked, this, [this] { pick(false); });
    connect(blankButton, &QPushButton::clicked, this, [this] { pick(true); });
    connect(deleteButton, &QPushButton::clicked, this, &ChartWindow::onDelete);
    connect(subButton, &QPushButton::clicked, this, [this] { onAdd(AddMode::SubAccount); });
    connect(siblingButton, &QPushButton::clicked, this, [this] { onAdd(AddMode::Sibling); });

    auto* note = new QLabel(QStringLiteral("请预先设置好各级科目，科目被登账后将无法删除！"), this);
    note->setObjectName(QStringLiteral("说明标签"));
    note->setWordWrap(true);

    auto* side = new QVBoxLayout;
    side->addWidget(pickButton);
    side->addWidget(blankButton);
    side->addSpacing(16);
    side->addWidget(subButton);
    side->addWidget(siblingButton);
    side->addWidget(deleteButton);
    side->addStretch();
    side->addWidget(note);

    auto* left = new QVBoxLayout;
    left->addWidget(m_search);
    left->addWidget(m_searchNote);
    left->addWidget(m_tabs, 1);
    left->addWidget(m_results, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(side);
    note->setMaximumWidth(subButton->sizeHint().width() + 40);
    resize(640, 480);

    loadTrees();
    m_tabs->setCurrentIndex(0);
    m_ctx.chart.category = 1;
    connect(m_tabs, &QTabWidget::currentChanged, this, &ChartWindow::onTabChanged);

    if (!start.account.empty()) showAccount(start.account);
    if (!start.typed.isEmpty()) {
        m_search->setText(start.typed);
        keepTypedText(m_search);
    }
    m_search->setFocus();
}

// Shows the tab of `name` with its item selected (nothing when the chart has
// no such account).
void ChartWindow::showAccount(const std::string& name) {
    for (const Account& a : m_accounts) {
        if (a.name != name) continue;
        const int category = categoryNumber(a.category);
        if (category < 1) return;
        m_tabs->setCurrentIndex(category - 1);
        QTreeWidget* tree = m_trees[category - 1];
        const auto found = tree->findItems(qs(name), Qt::MatchExactly | Qt::MatchRecursive);
        if (found.isEmpty()) return;
        tree->setCurrentItem(found.first());
        tree->scrollToItem(found.first());
        return;
    }
}

bool ChartWindow::searching() const { return !m_search->text().trimmed().isEmpty(); }

void ChartWindow::onSearchEdited(const QString& text) {
    m_results->clear();
    const bool on = searching();
    m_tabs->setVisible(!on);
    m_results->setVisible(on);
    m_searchNote->setVisible(false);
    if (!on) return;
    const std::vector<std::string> found = searchAccounts(m_accounts, text.toStdString(), m_codes);
    for (const std::string& name : found) {
        auto* item = new QTreeWidgetItem(m_results);
        item->setText(0, qs(name));
        item->setToolTip(0, qs(name));
        item->setText(kResultCodeColumn, qs(codeOf(m_codes, name)));
        for (const Account& a : m_accounts)
            if (a.name == name) item->setText(1, qs(a.category));
    }
    if (found.empty()) {
        m_searchNote->setText(QStringLiteral("没有找到“") + text.trimmed() + QStringLiteral("”的科目"));
        m_searchNote->setVisible(true);
        return;
    }
    m_results->setCurrentItem(m_results->topLevelItem(0));
}

bool ChartWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (watched == m_search) {
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
            key == Qt::Key_PageDown) {
            // The arrows move in the list (or the tree) while typing goes on.
            QWidget* list = searching() ? static_cast<QWidget*>(m_results) : m_tabs->currentWidget();
            QKeyEvent copy(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(list, &copy);
            return true;
        }
        if (enter) {
            // Setting up the chart, Enter only selects what the search found.
            if (m_use == ChartUse::Settings) {
                selectHighlighted();
                return true;
            }
            if (searching()) {
                if (QTreeWidgetItem* item = m_results->currentItem())
                    choose(item->text(0).toStdString());
            } else if (!m_ctx.chart.selectedAccount.empty()) {
                pick(false);
            }
            return true;
        }
    } else if (enter && qobject_cast<QTreeWidget*>(watched) && watched != m_results) {
        if (!m_ctx.chart.selectedAccount.empty()) pick(false);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool ChartWindow::selectHighlighted() {
    if (!searching()) return false;
    const QTreeWidgetItem* item = m_results->currentItem();
    if (!item) return false;
    const std::string name = item->text(0).toStdString();
    m_search->clear();  // the trees again, in place of the list
    showAccount(name);
    for (const Account& a : m_accounts)
        if (a.name == name && categoryNumber(a.category) > 0)
            m_ctx.chart.category = categoryNumber(a.category);
    selectAccount(m_ctx.chart, m_accounts, name);
    return true;
}

bool ChartWindow::takeSearchedAccount() {
    if (!searching() || selectHighlighted()) return true;
    m_ctx.prompter.showMessage(this, QString::fromUtf8(kChooseAccount));
    return false;
}

void ChartWindow::choose(const std::string& name) {
    for (const Account& a : m_accounts)
        if (a.name == name && categoryNumber(a.category) > 0) m_ctx.chart.category = categoryNumber(a.category);
    selectAccount(m_ctx.chart, m_accounts, name);
    m_picked = m_ctx.chart.selectedAccount;
    accept();
}

void ChartWindow::loadTrees() {
    for (QTreeWidget* tree : m_trees) {
        const QSignalBlocker block(tree);
        tree->clear();
    }
    RecordStore store(m_ctx.session.dataDir);
    const auto chart = runCaught([&] { return loadCodedChart(store, m_ctx.session); });
    if (!chart.ok) m_ctx.prompter.showMessage(this, qs(chart.message));
    m_accounts = chart.value.accounts;
    m_codes = chart.value.codes;
    const ChartTrees trees = buildChartTrees(m_accounts);
    for (int i = 0; i < 5; ++i) {
        const QSignalBlocker block(m_trees[i]);
        for (int root : trees[i].roots) addItems(nullptr, m_trees[i], trees[i], root, m_codes);
        m_trees[i]->clearSelection();
    }
    m_ctx.chart.selectedAccount.clear();
}

void ChartWindow::onTabChanged(int index) {
    changeCategory(m_ctx.chart, index + 1);
    for (QTreeWidget* tree : m_trees) {
        const QSignalBlocker block(tree);
        tree->clearSelection();
        tree->setCurrentItem(nullptr);
    }
}

void ChartWindow::onSelectionChanged(QTreeWidget* tree) {
    const auto selected = tree->selectedItems();
    if (selected.isEmpty()) return;
    selectAccount(m_ctx.chart, m_accounts, selected.first()->text(0).toStdString());
}

void ChartWindow::pick(bool blank) {
    // While searching, the list of what was found stands in for the hidden
    // trees: their selection (where the picker started) is never picked. With
    // nothing found nothing is picked, and the window stays with its note.
    if (!blank && searching()) {
        if (QTreeWidgetItem* item = m_results->currentItem()) choose(item->text(0).toStdString());
        return;
    }
    // 插入空白 picks no account, so that the caller empties its line.
    if (blank) m_ctx.chart.selectedAccount.clear();
    m_picked = m_ctx.chart.selectedAccount;
    accept();
}

void ChartWindow::onDelete() {
    if (!takeSearchedAccount()) return;
    const std::string name = m_ctx.chart.selectedAccount;
    if (name.empty()) {
        m_ctx.prompter.showMessage(this, QString::fromUtf8(kChooseAccount));
        return;
    }
    if (!m_ctx.prompter.confirm(this,
                                QStringLiteral("是否要删除  ") + qs(name) + QStringLiteral("科目")))
        return;
    RecordStore store(m_ctx.session.dataDir);
    const auto deleted = runAction(store, [&] { return deleteAccount(store, m_ctx.session, name); });
    m_ctx.prompter.showMessage(this, qs(deleted.ok ? deleted.value : deleted.message));
    if (deleted.ok) loadTrees();
}

void ChartWindow::onAdd(AddMode mode) {
    if (!takeSearchedAccount()) return;
    const std::string refusal = addTargetRefusal(m_accounts, mode, m_ctx.chart);
    if (!refusal.empty()) {
        m_ctx.prompter.showMessage(this, qs(refusal));
        return;
    }
    AccountSettingWindow setting(m_ctx, mode, this,
                                 inheritedDirection(m_accounts, mode, m_ctx.chart));
    setting.exec();
    loadTrees();
    if (!setting.notice().isEmpty()) m_ctx.prompter.showMessage(this, setting.notice());
}

AccountSettingWindow::AccountSettingWindow(AppContext& ctx, AddMode mode, QWidget* parent,
                                           const std::string& direction)
    : QDialog(parent), m_ctx(ctx), m_mode(mode) {
    setObjectName(QStringLiteral("科目设置窗口"));
    setWindowTitle(QStringLiteral("科目设置窗口  ") + QString::fromUtf8(addModeText(mode)));
    setModal(true);

    // The next free code under the account's parent, to be taken or changed.
    m_code = new QLineEdit(this);
    m_code->setObjectName(QStringLiteral("科目编码编辑框"));
    const AccountPicker& p = m_ctx.chart;
    const std::string codeParent = mode == AddMode::SubAccount ? p.selectedAccount : p.selectedParent;
    RecordStore store(m_ctx.session.dataDir);
    m_code->setText(qs(runCaught([&] {
                           return proposeAccountCode(store, m_ctx.session, codeParent, p.category);
                       }).value));
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("科目名称编辑框"));
    m_debit = new QRadioButton(QStringLiteral("借方"), this);
    m_debit->setObjectName(QStringLiteral("借方单选框"));
    m_credit = new QRadioButton(QStringLiteral("贷方"), this);
    m_credit->setObjectName(QStringLiteral("贷方单选框"));
    auto* directions = new QButtonGroup(this);
    directions->addButton(m_debit);
    directions->addButton(m_credit);
    m_debit->setChecked(direction == "借方");
    m_credit->setChecked(direction == "贷方");

    const OkCancelRow buttons = okCancelRow(this);
    buttons.ok->setDefault(true);
    connect(buttons.ok, &QPushButton::clicked, this, &AccountSettingWindow::onConfirm);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("科目编码："), this), 0, 0);
    grid->addWidget(m_code, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("科目名称："), this), 1, 0);
    grid->addWidget(m_name, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("余额方向："), this), 2, 0);
    grid->addWidget(m_debit, 2, 1);
    grid->addWidget(m_credit, 2, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(buttons.row);
    setMinimumWidth(340);
    m_name->setFocus();
}

void AccountSettingWindow::onConfirm() {
    const AccountPicker& p = m_ctx.chart;
    NewAccount request;
    request.mode = m_mode;
    request.typed = m_name->text().toStdString();
    request.direction = m_debit->isChecked() ? "借方" : m_credit->isChecked() ? "贷方" : "";
    request.category = p.category;
    request.selectedAccount = p.selectedAccount;
    request.selectedParent = p.selectedParent;
    request.selectedLevel = p.selectedLevel;
    request.code = m_code->text().trimmed().toStdString();
    RecordStore store(m_ctx.session.dataDir);
    std::vector<std::string> cleared;
    const auto added =
        runAction(store, [&] { return addAccount(store, m_ctx.session, request, &cleared); });
    if (!added.ok) {
        m_ctx.prompter.showMessage(this, qs(added.message));
        return;
    }
    // The parent's opening amounts went with its new sub-account: the chart
    // window says so once this window has closed.
    if (!cleared.empty()) m_notice = qs(openingClearedMessage(cleared));
    accept();
}

std::optional<std::string> pickAccount(AppContext& ctx, QWidget* parent, const AccountStart& start) {
    ChartWindow window(ctx, parent, start);
    window.exec();
    return window.pickedAccount();
}

}  // namespace tw
