#include "closing/ui/closing_window.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "closing/period_close.h"
#include "closing/posting.h"
#include "platform/ui/busy_cursor.h"
#include "platform/ui/widget_helpers.h"
#include "shell/set_options.h"
#include "storage/outcome.h"

namespace tw {

namespace {

constexpr const char* kCounterText = "本月共有凭证     张，其中     张已被登账，还有     张未审核。";

// A count shown in one of the counter text's gaps: a label laid over the
// text, after `before` (the text up to the gap).
QLabel* gapLabel(QLabel* text, const char* name, const QString& before) {
    auto* label = new QLabel(QStringLiteral("0"), text);
    label->setObjectName(QString::fromUtf8(name));
    label->setAlignment(Qt::AlignCenter);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    const QFontMetrics m(text->font());
    const int gap = m.horizontalAdvance(QStringLiteral("     "));
    label->setGeometry(m.horizontalAdvance(before), 0, gap, m.height() + 4);
    return label;
}

}  // namespace

ClosingWindow::ClosingWindow(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx) {
    setObjectName(QStringLiteral("凭证登账、结转损益、期末结账窗口"));
    setWindowTitle(QStringLiteral("凭证登账、结转损益、期末结账"));
    setModal(true);

    auto* counter = new QLabel(QString::fromUtf8(kCounterText), this);
    counter->setObjectName(QStringLiteral("透明标签1"));
    counter->setMinimumHeight(QFontMetrics(counter->font()).height() + 6);
    counter->setMinimumWidth(QFontMetrics(counter->font()).horizontalAdvance(counter->text()) + 8);
    m_total = gapLabel(counter, "本月凭证总张数标签", QStringLiteral("本月共有凭证"));
    m_posted = gapLabel(counter, "已被登账数标签", QStringLiteral("本月共有凭证     张，其中"));
    m_waiting = gapLabel(counter, "待处理数标签",
                         QStringLiteral("本月共有凭证     张，其中     张已被登账，还有"));

    m_post = namedButton(this, "将已审核凭证按编号登账");
    connect(m_post, &QPushButton::clicked, this, &ClosingWindow::onPost);

    m_pairs = new QTreeWidget(this);
    m_pairs->setObjectName(QStringLiteral("结转损益超级列表框"));
    m_pairs->setRootIsDecorated(false);
    m_pairs->setHeaderLabels({QStringLiteral("结账前将要结转损益的科目"), QStringLiteral("对应科目")});
    m_pairs->header()->setSectionResizeMode(QHeaderView::Stretch);
    m_pairs->setMinimumHeight(220);

    m_new = namedButton(this, "新建");
    m_modify = namedButton(this, "修改");
    m_delete = namedButton(this, "删除");
    m_protect = new QCheckBox(QStringLiteral("结转损益设置保护"), this);
    m_protect->setObjectName(QStringLiteral("结转损益设置保护"));
    m_protect->setChecked(true);
    for (QPushButton* b : {m_new, m_modify, m_delete}) b->setEnabled(false);
    connect(m_new, &QPushButton::clicked, this, &ClosingWindow::onNewPair);
    connect(m_modify, &QPushButton::clicked, this, &ClosingWindow::onModifyPair);
    connect(m_delete, &QPushButton::clicked, this, &ClosingWindow::onDeletePair);
    connect(m_protect, &QCheckBox::clicked, this, &ClosingWindow::onProtect);

    m_yearEnd = new QCheckBox(QString::fromUtf8(kYearEndTransferOption), this);
    m_yearEnd->setObjectName(QString::fromUtf8(kYearEndTransferOption));
    m_yearEnd->setToolTip(QStringLiteral("十二月结账时，在结转损益之后把“本年利润”的余额转入"
                                         "“利润分配→未分配利润”。"));
    {
        RecordStore store(m_ctx.session.dataDir);
        const auto on =
            runCaught([&] { return setOptionOn(store, m_ctx.session, kYearEndTransferOption); });
        m_yearEnd->setChecked(on.ok && on.value);
        m_yearEnd->setEnabled(on.ok);
    }
    connect(m_yearEnd, &QCheckBox::clicked, this, &ClosingWindow::onYearEnd);

    m_close = namedButton(this, "结转损益并期末结账", "立刻结转损益并期末结账");
    connect(m_close, &QPushButton::clicked, this, &ClosingWindow::onClose);

    auto* pairButtons = new QHBoxLayout;
    pairButtons->addWidget(m_protect);
    pairButtons->addStretch();
    pairButtons->addWidget(m_new);
    pairButtons->addWidget(m_modify);
    pairButtons->addWidget(m_delete);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(counter);
    layout->addWidget(m_post, 0, Qt::AlignLeft);
    layout->addSpacing(10);
    layout->addWidget(new QLabel(QStringLiteral("结账前将要结转损益的科目："), this));
    layout->addWidget(m_pairs, 1);
    layout->addLayout(pairButtons);
    layout->addSpacing(10);
    auto* closeRow = new QHBoxLayout;
    closeRow->addWidget(m_yearEnd);
    closeRow->addStretch();
    closeRow->addWidget(m_close);
    layout->addLayout(closeRow);
    resize(560, 460);

    refreshCounts();
}

void ClosingWindow::refreshCounts() {
    // The sentence counts vouchers; what may be done follows the pages.
    struct Counts {
        PostingCounts pages;
        VoucherCounts vouchers;
    };
    RecordStore store(m_ctx.session.dataDir);
    const auto counts = runCaught([&] {
        return Counts{refreshPostingCounts(store, m_ctx.session),
                      countMonthVouchers(store, m_ctx.session)};
    });
    if (!counts.ok) m_ctx.prompter.showMessage(this, qs(counts.message));
    const VoucherCounts& v = counts.value.vouchers;
    m_total->setText(QString::number(v.total));
    m_posted->setText(QString::number(v.posted));
    m_waiting->setText(QString::number(v.unreviewed));
    m_post->setEnabled(counts.ok && counts.value.pages.canPost());
    m_close->setEnabled(counts.ok && counts.value.pages.canClose());
    fillList();
}

void ClosingWindow::fillList() {
    m_pairs->clear();
    RecordStore store(m_ctx.session.dataDir);
    const auto pairs = runCaught([&] { return fillCarryForwardList(store, m_ctx.session); });
    if (!pairs.ok) m_ctx.prompter.showMessage(this, qs(pairs.message));
    for (const CarryForwardPair& p : pairs.value)
        new QTreeWidgetItem(m_pairs, {qs(p.source), qs(p.target)});
}

CarryForwardPair ClosingWindow::selectedPair() const {
    const auto selected = m_pairs->selectedItems();
    if (selected.isEmpty()) return {};
    return {selected.first()->text(0).toStdString(), selected.first()->text(1).toStdString()};
}

void ClosingWindow::onPost() {
    Result<int> posted;
    {
        BusyCursor busy;
        RecordStore store(m_ctx.session.dataDir);
        posted = runAction(store, [&] { return postReviewedVouchers(store, m_ctx.session); });
    }
    m_ctx.prompter.showMessage(this, qs(posted.ok ? postedMessage(posted.value) : posted.message));
    refreshCounts();
}

void ClosingWindow::onProtect() {
    const bool enable = !m_new->isEnabled();
    for (QPushButton* b : {m_new, m_modify, m_delete}) b->setEnabled(enable);
}

void ClosingWindow::onYearEnd(bool on) {
    RecordStore store(m_ctx.session.dataDir);
    const Outcome out =
        runAction(store, [&] { setOptionOn(store, m_ctx.session, kYearEndTransferOption, on); });
    if (out.ok) return;
    m_ctx.prompter.showMessage(this, qs(out.message));
    m_yearEnd->setChecked(!on);
}

void ClosingWindow::onNewPair() {
    CarryForwardSettingWindow setting(m_ctx, selectedPair(), this);
    setting.exec();
    fillList();
}

void ClosingWindow::onModifyPair() {
    const CarryForwardPair pair = selectedPair();
    if (pair.source.empty()) {
        m_ctx.prompter.showMessage(this, QString::fromUtf8(kChooseToModify));
        return;
    }
    CarryForwardSettingWindow setting(m_ctx, pair, this);
    setting.exec();
    fillList();
}

void ClosingWindow::onDeletePair() {
    const CarryForwardPair pair = selectedPair();
    if (pair.source.empty()) {
        m_ctx.prompter.showMessage(this, QString::fromUtf8(kChoosePairToDelete));
        return;
    }
    if (!m_ctx.prompter.confirm(this, qs(deletePairQuestion(pair)))) return;
    RecordStore store(m_ctx.session.dataDir);
    const Outcome out =
        runAction(store, [&] { deleteCarryForwardPair(store, m_ctx.session, pair.source); });
    if (!out.ok) m_ctx.prompter.showMessage(this, qs(out.message));
    fillList();
}

void ClosingWindow::onClose() {
    m_close->setEnabled(false);
    if (!m_ctx.prompter.confirm(this, qs(closeQuestion(m_ctx.session.login.period)))) {
        m_close->setEnabled(true);
        return;
    }
    Result<Closed> closed;
    {
        BusyCursor busy;
        RecordStore store(m_ctx.session.dataDir);
        closed = runAction(store, [&] { return closePeriod(store, m_ctx.session); });
    }
    if (!closed.ok) {
        m_ctx.prompter.showMessage(this, qs(closed.message));
        refreshCounts();
        return;
    }
    // The action has committed: the messages of the run, the new period.
    m_ctx.prompter.showMessage(this, qs(postedMessage(closed.value.posted)));
    m_ctx.session.login.period = closed.value.period;
    if (m_ctx.refreshTitle) m_ctx.refreshTitle();
    accept();
    m_ctx.prompter.showMessage(parentWidget(), qs(closed.value.message()));
}

CarryForwardSettingWindow::CarryForwardSettingWindow(AppContext& ctx, const CarryForwardPair& shown,
                                                     QWidget* parent)
    : QDialog(parent), m_ctx(ctx) {
    setObjectName(QStringLiteral("结转损益设置窗口"));
    setWindowTitle(QStringLiteral("结转损益设置"));
    setModal(true);
    m_source = new QLineEdit(qs(shown.source), this);
    m_source->setObjectName(QStringLiteral("结账前将要结转损益的科目编辑框"));
    m_target = new QLineEdit(qs(shown.target), this);
    m_target->setObjectName(QStringLiteral("对应科目编辑框"));
    const OkCancelRow buttons = okCancelRow(this);
    buttons.ok->setDefault(true);
    connect(buttons.ok, &QPushButton::clicked, this, &CarryForwardSettingWindow::onConfirm);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("结账前将要结转损益的科目："), this), 0, 0);
    grid->addWidget(m_source, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("对应科目："), this), 1, 0);
    grid->addWidget(m_target, 1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons.row);
    setMinimumWidth(420);
}

void CarryForwardSettingWindow::onConfirm() {
    const CarryForwardPair pair{m_source->text().toStdString(), m_target->text().toStdString()};
    RecordStore store(m_ctx.session.dataDir);
    const Outcome out = runAction(store, [&] { saveCarryForwardPair(store, m_ctx.session, pair); });
    if (!out.ok) {
        m_ctx.prompter.showMessage(this, qs(out.message));
        return;
    }
    accept();
}

void runUndoPosting(AppContext& ctx, QWidget* parent) {
    if (!ctx.prompter.confirm(parent, QString::fromUtf8(kUndoPostingQuestion))) return;
    Outcome out;
    {
        BusyCursor busy;
        RecordStore store(ctx.session.dataDir);
        out = runAction(store, [&] { undoPosting(store, ctx.session); });
    }
    ctx.prompter.showMessage(parent, QString::fromUtf8(out.ok ? kPostingUndone : out.message.c_str()));
}

void runUndoClose(AppContext& ctx, QWidget* parent) {
    RecordStore store(ctx.session.dataDir);
    if (const Outcome allowed = runCaught([&] { checkUndoClose(store, ctx.session); }); !allowed) {
        ctx.prompter.showMessage(parent, qs(allowed.message));
        return;
    }
    if (!ctx.prompter.confirm(parent, QString::fromUtf8(kUndoCloseQuestion))) return;
    Result<Reopened> reopened;
    {
        BusyCursor busy;
        reopened = runAction(store, [&] { return undoClose(store, ctx.session); });
    }
    if (!reopened.ok) {
        ctx.prompter.showMessage(parent, qs(reopened.message));
        return;
    }
    ctx.session.login.period = reopened.value.period;
    if (ctx.refreshTitle) ctx.refreshTitle();
    ctx.prompter.showMessage(parent, qs(reopened.value.message()));
}

}  // namespace tw
