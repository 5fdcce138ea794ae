#include "vouchers/ui/voucher_window.h"

#include <algorithm>

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "accounts/ui/chart_window.h"
#include "accounts/ui/phrase_window.h"
#include "platform/ui/busy_cursor.h"
#include "platform/ui/run_program.h"
#include "platform/ui/widget_helpers.h"
#include "storage/dates.h"
#include "storage/number_text.h"
#include "storage/paths.h"
#include "storage/schemas.h"
#include "vouchers/review.h"
#include "vouchers/ui/amount_dialog.h"
#include "vouchers/ui/day_dialog.h"
#include "vouchers/ui/number_dialog.h"
#include "vouchers/ui/printed_vouchers.h"
#include "vouchers/ui/voucher_sheet.h"
#include "vouchers/voucher_completeness.h"
#include "vouchers/voucher_edits.h"
#include "vouchers/voucher_sort.h"
#include "vouchers/voucher_totals.h"

namespace tw {

namespace {

const char* const kCalculatorFailed = "计算器无法启动！";
const char* const kNoCalculator =
    "没有找到计算器程序！\n请安装一个计算器（例如 galculator），或在套账目录的“计算器”文件中写上要启动的程序。";

int periodDays(const Session& session) {
    const Ymd p = toYmd(session.login.period);
    return daysInMonth(p.year, p.month);
}

}  // namespace

VoucherWindow::VoucherWindow(AppContext& ctx, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_store(std::make_unique<RecordStore>(ctx.session.dataDir)) {
    setObjectName(QStringLiteral("凭证窗口"));
    setWindowTitle(QStringLiteral("记帐凭证"));
    setModal(true);

    m_sheet = new VoucherSheet(this);
    m_sheet->onOpen = [this](VoucherBox box, int line, const QString& typed) {
        if (openBox(box, line, typed)) focusAfter(box, line);
    };

    auto* newButton = m_newButton = namedButton(this, "新建凭证");
    auto* addPage = namedButton(this, "增加子页");
    auto* remove = namedButton(this, "删除凭证", "删除");
    auto* previous = namedButton(this, "翻到上张", "翻到上一张");
    auto* next = namedButton(this, "翻到下张", "翻到下一张");
    auto* review = namedButton(this, "审核或撤销", "审核/撤销");
    auto* reviewAllButton = namedButton(this, "审撤全部", "审/撤全部");
    auto* preview = namedButton(this, "打印预览");
    auto* print = namedButton(this, "打印当前");
    auto* calculator = namedButton(this, "计算器");
    auto* sort = namedButton(this, "按日期排序本月凭证", "将本月凭证按日期排序");

    connect(newButton, &QPushButton::clicked, this, &VoucherWindow::onNewVoucher);
    connect(addPage, &QPushButton::clicked, this, &VoucherWindow::onAddPage);
    connect(remove, &QPushButton::clicked, this, &VoucherWindow::onDelete);
    connect(previous, &QPushButton::clicked, this, [this] { onMove(-1); });
    connect(next, &QPushButton::clicked, this, [this] { onMove(1); });
    connect(review, &QPushButton::clicked, this, &VoucherWindow::onReview);
    connect(reviewAllButton, &QPushButton::clicked, this, &VoucherWindow::onReviewAll);
    connect(preview, &QPushButton::clicked, this, &VoucherWindow::onPreview);
    connect(print, &QPushButton::clicked, this, &VoucherWindow::onPrint);
    connect(calculator, &QPushButton::clicked, this, &VoucherWindow::onCalculator);
    connect(sort, &QPushButton::clicked, this, &VoucherWindow::onSort);

    auto* side = new QVBoxLayout;
    side->setSpacing(6);
    const auto group = [side](std::initializer_list<QPushButton*> buttons) {
        for (QPushButton* b : buttons) {
            b->setMinimumHeight(30);
            side->addWidget(b);
        }
        side->addSpacing(12);
    };
    group({newButton, addPage, remove});
    group({previous, next});
    group({review, reviewAllButton});
    group({preview, print});
    group({calculator, sort});
    side->addStretch();
    // The button with the focus wears the form's focus frame: Enter presses it.
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setStyleSheet(QStringLiteral("QPushButton:focus { border: 2px solid #d66e14; border-radius: 3px;"
                                        " background: #fbeee2; }"));

    // The form lies on a darker desk, as paper does.
    auto* desk = new QFrame(this);
    desk->setObjectName(QStringLiteral("凭证桌面"));
    desk->setStyleSheet(QStringLiteral("QFrame#凭证桌面 { background: #d8d4c8; }"));
    auto* deskLayout = new QVBoxLayout(desk);
    deskLayout->setContentsMargins(18, 18, 18, 18);
    deskLayout->addWidget(m_sheet);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(desk);
    layout->addLayout(side);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Tab goes along the form in reading order, then down the buttons.
    QList<QWidget*> chain = m_sheet->focusChain();
    for (QPushButton* b : {newButton, addPage, remove, previous, next, review, reviewAllButton, preview,
                           print, calculator, sort})
        chain << b;
    for (int i = 1; i < chain.size(); ++i) setTabOrder(chain[i - 1], chain[i]);
    addKeys();

    reload();
    showKeyboardFocus(newButton);
}

void VoucherWindow::addKeys() {
    for (const VoucherKey& k : kVoucherKeys) {
        auto* button = findChild<QPushButton*>(QString::fromUtf8(k.button));
        if (!button) continue;
        const QKeySequence keys(QString::fromLatin1(k.keys));
        button->setToolTip(button->text() + QStringLiteral("（") + keys.toString(QKeySequence::NativeText) +
                           QStringLiteral("）"));
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, button, [button] {
            if (button->isEnabled()) button->click();
        });
    }
}

VoucherWindow::~VoucherWindow() = default;

void VoucherWindow::message(const std::string& text) {
    if (!text.empty()) m_ctx.prompter.showMessage(this, qs(text));
}

template <class Body>
bool VoucherWindow::change(Body&& body) {
    const auto done = runAction(*m_store, std::forward<Body>(body));
    if (!done.ok) {
        refresh();
        message(done.message);
    } else {
        remember(m_page);
    }
    return done.ok;
}

void VoucherWindow::remember(std::int64_t id) {
    if (id != 0 && std::find(m_written.begin(), m_written.end(), id) == m_written.end())
        m_written.push_back(id);
}

void VoucherWindow::remember(const VoucherPage& page) {
    remember(page.id);
    runCaught([&] {
        const VoucherTable vouchers(*m_store, m_ctx.session);
        for (const VoucherPage& p : voucherOf(vouchers, page)) remember(p.id);
    });
}

bool VoucherWindow::mayLeave() {
    const auto left =
        runCaught([&] { return incompleteVouchers(*m_store, m_ctx.session, m_written); });
    message(left.message);
    for (const VoucherCompleteness& voucher : left.value) {
        if (m_ctx.prompter.confirmWith(this, qs(leaveQuestion(voucher)),
                                       QString::fromUtf8(kLeaveAsItIs), QString::fromUtf8(kBackToEdit)))
            continue;
        // 返回修改: the window stays, on the page that shows the voucher's totals.
        const auto moved =
            runCaught([&] { return m_view.goTo(*m_store, m_ctx.session, voucher.pageId); });
        refresh();
        message(moved.message);
        return false;
    }
    return true;
}

void VoucherWindow::done(int result) {
    if (mayLeave()) QDialog::done(result);
}

void VoucherWindow::reload() {
    const Outcome loaded = runCaught([&] { m_view.load(*m_store, m_ctx.session); });
    m_loaded = loaded.ok;
    const Outcome coded = loadCodes();
    refresh();
    message(loaded.ok ? coded.message : loaded.message);
}

Outcome VoucherWindow::loadCodes() {
    auto codes = runCaught([&] {
        return accountCodes(*m_store, m_ctx.session, loadAccounts(*m_store, m_ctx.session));
    });
    m_codes = std::move(codes.value);
    return codes;
}

void VoucherWindow::refresh() {
    const auto shown = runCaught([&] {
        std::pair<VoucherPage, VoucherTotals> s;
        if (m_view.current() == 0) return s;
        const VoucherTable vouchers(*m_store, m_ctx.session);
        s.first = vouchers.page(m_view.current());
        s.second = voucherTotals(vouchers, s.first);
        return s;
    });
    m_page = shown.value.first;
    m_texts = pageTexts(m_page, shown.value.second);
    m_sheet->showPage(m_texts, m_ctx.session.login.companyName);
    std::array<std::string, kLinesPerPage> codes;
    for (int i = 0; i < kLinesPerPage; ++i) codes[i] = codeOf(m_codes, m_texts.account[i]);
    m_sheet->showCodes(codes);
}

bool VoucherWindow::editable() {
    const std::string refusal = editRefusal(m_page);
    message(refusal);
    return refusal.empty();
}

void VoucherWindow::locate(const VoucherTarget& target) {
    const auto found = runCaught(
        [&] { return locatePage(*m_store, m_ctx.session, target.date, target.number, target.page); });
    const Outcome moved = runCaught([&] {
        if (!found.ok || !found.value || !m_view.goTo(*m_store, m_ctx.session, *found.value))
            m_view.goFirst(*m_store, m_ctx.session);
    });
    refresh();
    message(moved.message);
}

void VoucherWindow::printShownPage() {
    if (m_ctx.printVoucherPage) m_ctx.printVoucherPage(this, m_texts);
}

std::optional<std::vector<VoucherSheetTexts>> VoucherWindow::shownVoucherSheets() {
    if (!m_page.isVoucher()) {
        message(kNoVoucherToEdit);
        return std::nullopt;
    }
    auto read = runCaught([&] { return wholeVoucherSheets(*m_store, m_ctx.session, m_page.id); });
    if (!read.ok) {
        message(read.message);
        return std::nullopt;
    }
    return std::move(read.value);
}

void VoucherWindow::onPrint() {
    if (const auto sheets = shownVoucherSheets()) printVoucherSheets(m_ctx, this, *sheets);
}

void VoucherWindow::onPreview() {
    if (const auto sheets = shownVoucherSheets()) previewVoucherSheets(m_ctx, this, *sheets);
}

bool VoucherWindow::openBox(VoucherBox box, int line, const QString& typed) {
    switch (box) {
        case VoucherBox::Account: return onAccount(line, typed);
        case VoucherBox::Summary: return onSummary(line, typed);
        case VoucherBox::Debit: return onAmount(line, true, typed);
        case VoucherBox::Credit: return onAmount(line, false, typed);
        case VoucherBox::Attachments: return onAttachments(typed);
        case VoucherBox::Date: onDate(); return false;
        case VoucherBox::Number: onNumber(); return false;
        default: return false;  // the other boxes only show their fields
    }
}

void VoucherWindow::focusAfter(VoucherBox box, int line) {
    const auto nextLine = [&]() -> QWidget* {
        return line < kLinesPerPage ? m_sheet->box(VoucherBox::Summary, line + 1)
                                    : m_sheet->box(VoucherBox::Attachments, 0);
    };
    QWidget* next = nullptr;
    switch (box) {
        case VoucherBox::Summary: next = m_sheet->box(VoucherBox::Account, line); break;
        case VoucherBox::Account: next = m_sheet->box(VoucherBox::Debit, line); break;
        // A line holds a debit or a credit: once it has either, the next line.
        case VoucherBox::Debit: {
            const VoucherLine& l = m_page.line(line);
            next = isZero(l.debit) && isZero(l.credit) ? m_sheet->box(VoucherBox::Credit, line) : nextLine();
            break;
        }
        case VoucherBox::Credit: next = nextLine(); break;
        case VoucherBox::Attachments: next = m_newButton; break;
        default: return;
    }
    showKeyboardFocus(next);
}

// The line's own text, or else the line above's: where a picker starts.
template <class Field>
std::string startOf(const VoucherPage& page, int line, Field field) {
    const std::string own = field(page.line(line));
    if (!own.empty() || line == 1) return own;
    return field(page.line(line - 1));
}

bool VoucherWindow::onAccount(int line, const QString& typed) {
    if (!editable()) return false;
    const AccountStart start{startOf(m_page, line, [](const VoucherLine& l) { return l.account; }), typed};
    const auto picked = pickAccount(m_ctx, this, start);
    const bool done =
        picked && change([&] { setLineAccount(*m_store, m_ctx.session, m_page.id, line, *picked); });
    loadCodes();  // accounts may have been added in the picker
    refresh();
    return done;
}

bool VoucherWindow::onSummary(int line, const QString& typed) {
    if (!editable()) return false;
    const PhraseStart start{startOf(m_page, line, [](const VoucherLine& l) { return l.summary; }), typed};
    const auto picked = pickSummary(m_ctx, this, start);
    const bool done =
        picked && change([&] { setLineSummary(*m_store, m_ctx.session, m_page.id, line, *picked); });
    refresh();
    return done;
}

bool VoucherWindow::onAmount(int line, bool debit, const QString& typed) {
    const std::string refusal = amountRefusal(m_page, line);
    if (!refusal.empty()) {
        message(refusal);
        return false;
    }
    const auto balance = [&](bool side) {
        return runCaught([&] { return balancingAmount(*m_store, m_ctx.session, m_page, line, side); })
            .value;
    };
    Side side = debit ? Side::Debit : Side::Credit;
    std::optional<double> amount;
    if (typed == QLatin1String("=")) {
        // "=" on either amount box: the amount that balances the voucher, on
        // the side that takes it, without a dialog.
        const double own = balance(debit), other = own > 0 ? 0 : balance(!debit);
        if (own <= 0 && other <= 0) {
            QApplication::beep();
            return false;
        }
        if (own <= 0) side = debit ? Side::Credit : Side::Debit;
        amount = own > 0 ? own : other;
    } else {
        amount = askAmount(this, m_ctx.prompter, {balance(debit), typed});
    }
    const bool done =
        amount && change([&] { setLineAmount(*m_store, m_ctx.session, m_page.id, line, side, *amount); });
    refresh();
    return done;
}

bool VoucherWindow::onAttachments(const QString& typed) {
    if (!editable()) return false;
    const auto count = askAttachments(this, typed);
    const bool done =
        count && change([&] { setAttachments(*m_store, m_ctx.session, m_page.id, *count); });
    refresh();
    return done;
}

void VoucherWindow::onDate() {
    if (!editable()) return;
    const int shownDay = m_page.date == 0 ? 0 : toYmd(m_page.date).day;
    const auto day = askDay(this, periodDays(m_ctx.session), shownDay);
    if (day) change([&] { setVoucherDay(*m_store, m_ctx.session, m_page.id, *day); });
    refresh();
}

void VoucherWindow::onNumber() {
    if (!editable()) return;
    const std::int64_t id = m_page.id;
    NumberDialog dialog(
        m_ctx.prompter, m_texts.number, m_texts.page, m_texts.pageCount,
        [this, id](double number) {
            return runAction(*m_store, [&] { changeVoucherNumber(*m_store, m_ctx.session, id, number); });
        },
        this);
    dialog.exec();
    refresh();
}

void VoucherWindow::onNewVoucher() {
    const std::int64_t shown = m_view.current();
    const Outcome complete = runCaught([&] { requireComplete(*m_store, m_ctx.session, shown); });
    if (!complete.ok) return message(complete.message);
    // The day of the page shown is the likeliest day of the next voucher.
    const int lastDay = m_page.date == 0 ? 0 : toYmd(m_page.date).day;
    const int suggested = lastDay <= periodDays(m_ctx.session) ? lastDay : 0;
    const auto day = askDay(this, periodDays(m_ctx.session), suggested);
    if (!day) return;
    const auto made =
        runAction(*m_store, [&] { return newVoucher(*m_store, m_ctx.session, shown, *day); });
    if (made.ok) {
        m_view.appended(made.value);
        remember(made.value);
    }
    refresh();
    message(made.message);
    if (made.ok) showKeyboardFocus(m_sheet->box(VoucherBox::Summary, 1));
}

void VoucherWindow::onAddPage() {
    if (m_view.current() == 0) return;
    const auto added =
        runAction(*m_store, [&] { return addVoucherPage(*m_store, m_ctx.session, m_page.id); });
    if (added.ok && added.value != 0) {
        m_view.appended(added.value);
        remember(added.value);
    }
    refresh();
    message(added.message);
    if (added.ok && added.value != 0) showKeyboardFocus(m_sheet->box(VoucherBox::Summary, 1));
}

void VoucherWindow::onDelete() {
    if (const std::string refusal = deleteRefusal(m_page); !refusal.empty())
        return message(refusal);
    if (!m_ctx.prompter.confirm(this, QString::fromUtf8(kConfirmDelete))) return;
    const std::int64_t id = m_page.id;
    bool deleted = false;
    {
        BusyCursor busy;
        deleted = change([&] { deleteVoucherPage(*m_store, m_ctx.session, id); });
    }
    const Outcome moved =
        deleted ? runCaught([&] { m_view.removed(*m_store, m_ctx.session, id); }) : Outcome{};
    refresh();
    message(moved.message);
}

void VoucherWindow::onMove(int by) {
    const Outcome moved = runCaught([&] { m_view.move(*m_store, m_ctx.session, by); });
    refresh();
    message(moved.message);
}

void VoucherWindow::onSort() {
    if (m_view.position() == 0) return;
    Outcome sorted;
    {
        BusyCursor busy;
        sorted = runAction(*m_store, [&] { renumberAll(*m_store, m_ctx.session); });
    }
    refresh();
    message(sorted.message);
}

void VoucherWindow::onReview() {
    if (m_view.position() == 0) return message(kNoVoucherToEdit);
    change([&] { toggleReview(*m_store, m_ctx.session, m_page.id); });
    refresh();
}

void VoucherWindow::onReviewAll() {
    Result<ReviewAllResult> run;
    {
        BusyCursor busy;
        run = runAction(*m_store,
                        [&] { return reviewAll(*m_store, m_ctx.session, m_ctx.reviewAllMode); });
    }
    if (!run.ok) {
        m_view.goLast();
        refresh();
        return message(run.message);
    }
    m_ctx.reviewAllMode = run.value.mode;
    const Outcome moved = runCaught([&] { m_view.goTo(*m_store, m_ctx.session, run.value.shownId); });
    refresh();
    message(moved.message);
    message(run.value.message);
}

void VoucherWindow::onCalculator() {
    switch (runLauncher(templatePath(m_ctx.session.dataDir, file::kCalculator))) {
        case Launch::Started: return;
        case Launch::NotFound: return message(kNoCalculator);
        case Launch::Failed: return message(kCalculatorFailed);
    }
}

void runVoucherWindow(AppContext& ctx, QWidget* parent, const std::optional<VoucherTarget>& target) {
    VoucherWindow window(ctx, parent);
    if (!window.loaded()) return;
    if (target) {
        window.locate(*target);
        if (target->print) {
            window.printShownPage();
            return;
        }
    }
    window.exec();
}

}  // namespace tw
