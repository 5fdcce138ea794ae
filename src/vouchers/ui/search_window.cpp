#include "vouchers/ui/search_window.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "accounts/ui/chart_window.h"
#include "accounts/ui/phrase_window.h"
#include "platform/ui/busy_cursor.h"
#include "platform/ui/date_box.h"
#include "platform/ui/widget_helpers.h"
#include "shell/ui/user_list_window.h"
#include "storage/dates.h"
#include "storage/number_text.h"
#include "storage/record_store.h"
#include "vouchers/ui/amount_dialog.h"
#include "vouchers/ui/printed_vouchers.h"
#include "vouchers/ui/voucher_window.h"
#include "vouchers/voucher_search.h"

namespace tw {

namespace {

const QString kAny = QString::fromUtf8(kAnyCondition);

// The captions of the result list's columns, blanks included.
const char* const kColumns[] = {"    日  期", "编号", "第几", "共几", "              摘   要 １",
                                "凭证金额"};

QLineEdit* conditionBox(QWidget* parent, const char* name) {
    auto* box = new QLineEdit(kAny, parent);
    box->setObjectName(QString::fromUtf8(name));
    box->setCursor(Qt::PointingHandCursor);
    box->setMinimumWidth(120);
    return box;
}

QCheckBox* anyTick(QWidget* parent, const char* name) {
    auto* tick = new QCheckBox(QStringLiteral("任意"), parent);
    tick->setObjectName(QString::fromUtf8(name));
    tick->setChecked(true);
    return tick;
}

std::optional<std::string> pickUser(AppContext& ctx, QWidget* parent) {
    UserListWindow window(ctx, parent);
    window.exec();
    return window.pickedUser();
}

std::string boxText(const QLineEdit* box) { return box->text().toStdString(); }

}  // namespace

SearchWindow::SearchWindow(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx) {
    setObjectName(QStringLiteral("查阅凭证"));
    setWindowTitle(QStringLiteral("查阅凭证"));
    setModal(true);

    const double period = ctx.session.login.period;
    m_from = new DateBox(ctx.prompter, QStringLiteral("起始日期框"), this);
    m_from->setDay(firstDayOfMonth(period));
    m_to = new DateBox(ctx.prompter, QStringLiteral("截至日期框"), this);
    m_to->setDay(lastDayOfMonth(period));
    for (DateBox* box : {m_from, m_to}) box->setFixedWidth(130);
    m_rangeLabel = new QLabel(QStringLiteral("查询日期范围："), this);
    m_rangeLabel->setObjectName(QStringLiteral("查询日期范围标签"));

    m_conditions.reserve(6);
    const Picker summary = [this](const QString&) { return pickSummary(m_ctx, this); };
    const Picker account = [this](const QString& typed) {
        return pickAccount(m_ctx, this, AccountStart{{}, typed});
    };
    const Picker user = [this](const QString&) { return pickUser(m_ctx, this); };
    addCondition("摘要内容包括编辑框", "摘要任意选择框", summary);
    addCondition("借方科目包括编辑框", "借方科目任意选择框", account, true);
    addCondition("贷方科目包括编辑框", "贷方科目任意选择框", account, true);
    addCondition("登账编辑框", "登账任意选择框", user);
    addCondition("审核编辑框", "审核任意选择框", user);
    addCondition("编制编辑框", "编制任意选择框", user);

    const auto askAmountText = [this](const QString&) -> std::optional<std::string> {
        const auto amount = askAmount(this, m_ctx.prompter);
        if (!amount) return std::nullopt;
        return plainDecimal(*amount);
    };
    for (const char* name : {"最小金额编辑框", "最大金额编辑框"}) {
        Condition c;
        c.box = conditionBox(this, name);
        c.box->installEventFilter(this);
        c.pick = askAmountText;
        connect(c.box, &QLineEdit::textEdited, this, [this] { syncAmountTick(); });
        m_amounts.push_back(c);
    }
    m_amountAny = anyTick(this, "发生金额范围任意选择框");
    connect(m_amountAny, &QCheckBox::clicked, this, [this] { onAmountTickClicked(); });

    auto* search = namedButton(this, "按条件查找");
    auto* printAll = namedButton(this, "打印全部");
    auto* previewAll = namedButton(this, "预览全部");
    connect(search, &QPushButton::clicked, this, &SearchWindow::onSearch);
    // Enter in a date or condition box finds, as 按条件查找 does.
    for (DateBox* box : {m_from, m_to}) connect(box, &QLineEdit::returnPressed, this, &SearchWindow::onSearch);
    for (const std::vector<Condition>* boxes : {&m_conditions, &m_amounts})
        for (const Condition& c : *boxes)
            connect(c.box, &QLineEdit::returnPressed, this, &SearchWindow::onSearch);
    connect(printAll, &QPushButton::clicked, this, &SearchWindow::onPrintAll);
    connect(previewAll, &QPushButton::clicked, this, &SearchWindow::onPreviewAll);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("查找凭证超级列表框"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAlternatingRowColors(true);
    QStringList headers;
    for (const char* c : kColumns) headers << QString::fromUtf8(c);
    m_list->setHeaderLabels(headers);
    const int widths[] = {100, 70, 50, 50, 260, 110};
    for (int k = 0; k < 6; ++k) m_list->setColumnWidth(k, widths[k]);
    m_list->setMinimumSize(680, 240);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &SearchWindow::onOpen);

    // The conditions, a row each; the users share the last row.
    auto* grid = new QGridLayout;
    int row = 0;
    auto* dates = new QHBoxLayout;
    dates->addWidget(m_from);
    dates->addWidget(new QLabel(QStringLiteral("至"), this));
    dates->addWidget(m_to);
    dates->addStretch();
    grid->addWidget(m_rangeLabel, row, 0);
    grid->addLayout(dates, row++, 1, 1, 2);
    const char* labels[] = {"摘要内容包括：", "借方科目包括：", "贷方科目包括："};
    for (int k = 0; k < 3; ++k) {
        grid->addWidget(new QLabel(QString::fromUtf8(labels[k]), this), row, 0);
        grid->addWidget(m_conditions[k].box, row, 1);
        grid->addWidget(m_conditions[k].any, row++, 2);
    }
    auto* amounts = new QHBoxLayout;
    amounts->addWidget(m_amounts[0].box);
    amounts->addWidget(new QLabel(QStringLiteral("到"), this));
    amounts->addWidget(m_amounts[1].box);
    amounts->addWidget(new QLabel(QStringLiteral("元间"), this));
    grid->addWidget(new QLabel(QStringLiteral("发生金额范围："), this), row, 0);
    grid->addLayout(amounts, row, 1);
    grid->addWidget(m_amountAny, row++, 2);
    auto* users = new QHBoxLayout;
    const char* userLabels[] = {"登账：", "审核：", "编制："};
    for (int k = 0; k < 3; ++k) {
        users->addWidget(new QLabel(QString::fromUtf8(userLabels[k]), this));
        users->addWidget(m_conditions[3 + k].box, 1);
        users->addWidget(m_conditions[3 + k].any);
        users->addSpacing(6);
    }
    grid->addLayout(users, row++, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(search);
    buttons->addWidget(printAll);
    buttons->addWidget(previewAll);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->addWidget(m_list, 1);

    m_clock = new QTimer(this);
    m_clock->setObjectName(QStringLiteral("时钟1"));
    m_clock->setInterval(500);
    connect(m_clock, &QTimer::timeout, this, &SearchWindow::onTick);
    m_clock->start();
}

SearchWindow::Condition& SearchWindow::addCondition(const char* boxName, const char* tickName,
                                                   Picker pick, bool typingPicks) {
    const std::size_t index = m_conditions.size();
    Condition c;
    c.box = conditionBox(this, boxName);
    c.box->installEventFilter(this);
    c.any = anyTick(this, tickName);
    c.pick = std::move(pick);
    c.typingPicks = typingPicks;
    connect(c.box, &QLineEdit::textEdited, this,
            [this, index](const QString& text) { m_conditions[index].any->setChecked(text == kAny); });
    connect(c.any, &QCheckBox::clicked, this, [this, index] { onTickClicked(m_conditions[index]); });
    m_conditions.push_back(c);
    return m_conditions.back();
}

void SearchWindow::setAny(Condition& c) {
    c.box->setText(kAny);
    if (c.any) c.any->setChecked(true);
}

bool SearchWindow::eventFilter(QObject* watched, QEvent* event) {
    // A character typed into an account box opens the chart with it; keys
    // with Ctrl or Alt go on to the window's shortcuts.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        const Qt::KeyboardModifiers mods =
            key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
        const bool typed = mods == Qt::NoModifier && text.size() == 1 && text.at(0).isPrint() &&
                           !text.at(0).isSpace();
        for (Condition& c : m_conditions)
            if (watched == c.box && c.typingPicks && typed) {
                pickInto(c, text);
                return true;
            }
    }
    if (event->type() == QEvent::MouseButtonPress) {
        for (Condition& c : m_conditions)
            if (watched == c.box) {
                pickInto(c);
                return false;
            }
        for (Condition& c : m_amounts)
            if (watched == c.box) {
                pickInto(c);
                syncAmountTick();
                return false;
            }
    }
    return QDialog::eventFilter(watched, event);
}

// A value picked goes into the box; closing the picker without one leaves
// the box as it was. An empty pick (a blank summary) restricts nothing.
void SearchWindow::pickInto(Condition& c, const QString& typed) {
    const std::optional<std::string> picked = c.pick(typed);
    if (!picked) return;
    if (picked->empty()) return setAny(c);
    c.box->setText(qs(*picked));
    if (c.any) c.any->setChecked(false);
}

void SearchWindow::onTickClicked(Condition& c) {
    if (c.box->text() != kAny) return setAny(c);
    c.any->setChecked(true);
    pickInto(c);
}

void SearchWindow::onAmountTickClicked() {
    for (Condition& c : m_amounts) setAny(c);
    m_amountAny->setChecked(true);
}

void SearchWindow::syncAmountTick() {
    m_amountAny->setChecked(m_amounts[0].box->text() == kAny && m_amounts[1].box->text() == kAny);
}

void SearchWindow::onSearch() {
    BusyCursor busy;
    for (Condition& c : m_conditions)
        if (c.box->text().trimmed().isEmpty()) setAny(c);
    for (Condition& c : m_amounts)
        if (c.box->text().trimmed().isEmpty()) setAny(c);
    syncAmountTick();
    m_list->clear();
    m_found.clear();

    const std::optional<DayRange> range = checkedRange(*m_from, *m_to);
    if (!range) return;
    VoucherConditions q;
    q.from = range->from;
    q.to = range->to;
    q.summary = textCondition(boxText(m_conditions[0].box));
    q.debitAccount = textCondition(boxText(m_conditions[1].box));
    q.creditAccount = textCondition(boxText(m_conditions[2].box));
    q.poster = textCondition(boxText(m_conditions[3].box));
    q.reviewer = textCondition(boxText(m_conditions[4].box));
    q.preparer = textCondition(boxText(m_conditions[5].box));
    q.minimum = amountCondition(boxText(m_amounts[0].box));
    q.maximum = amountCondition(boxText(m_amounts[1].box));

    RecordStore store(m_ctx.session.dataDir);
    auto found = runCaught([&] { return searchVouchers(store, m_ctx.session, q); });
    if (!found.ok) {
        m_ctx.prompter.showMessage(this, qs(found.message));
        return;
    }
    m_found = std::move(found.value);
    QList<QTreeWidgetItem*> items;
    for (const VoucherPage& p : m_found) {
        auto* item = new QTreeWidgetItem;
        const auto cells = foundPageTexts(p);
        for (int k = 0; k < 6; ++k) {
            item->setText(k, qs(cells[k]));
            if (k != 4) item->setTextAlignment(k, Qt::AlignRight | Qt::AlignVCenter);
        }
        items << item;
    }
    m_list->addTopLevelItems(items);
}

namespace {
VoucherTarget targetOf(const VoucherPage& p) {
    VoucherTarget t;
    t.date = p.date;
    t.number = plainDecimal(p.number);
    t.page = std::to_string(p.page);
    return t;
}
}  // namespace

void SearchWindow::onOpen(QTreeWidgetItem* item) {
    const int row = m_list->indexOfTopLevelItem(item);
    if (row < 0 || row >= static_cast<int>(m_found.size())) return;
    runVoucherWindow(m_ctx, this, targetOf(m_found[row]));
}

std::optional<std::vector<VoucherSheetTexts>> SearchWindow::listedSheets() {
    std::vector<std::int64_t> ids;
    ids.reserve(m_found.size());
    for (const VoucherPage& p : m_found) ids.push_back(p.id);
    RecordStore store(m_ctx.session.dataDir);
    auto read = runCaught([&] { return listedVoucherSheets(store, m_ctx.session, ids); });
    if (!read.ok) {
        m_ctx.prompter.showMessage(this, qs(read.message));
        return std::nullopt;
    }
    return std::move(read.value);
}

void SearchWindow::onPrintAll() {
    if (const auto sheets = listedSheets()) printVoucherSheets(m_ctx, this, *sheets);
}

void SearchWindow::onPreviewAll() {
    if (const auto sheets = listedSheets()) previewVoucherSheets(m_ctx, this, *sheets);
}

void SearchWindow::onTick() {
    m_red = !m_red;
    QPalette palette = m_rangeLabel->palette();
    palette.setColor(QPalette::WindowText, m_red ? Qt::red : Qt::black);
    m_rangeLabel->setPalette(palette);
}

void runSearchWindow(AppContext& ctx, QWidget* parent) {
    // A 凭证库 that cannot be read is said at once, not at the first search.
    RecordStore store(ctx.session.dataDir);
    const Outcome readable = runCaught([&] { const VoucherTable vouchers(store, ctx.session); });
    if (!readable.ok) {
        ctx.prompter.showMessage(parent, qs(readable.message));
        return;
    }
    SearchWindow window(ctx, parent);
    window.exec();
}

}  // namespace tw
