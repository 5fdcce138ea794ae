#include "statements/ui/statements_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <system_error>

#include "ledgers/ui/export_folder.h"
#include "platform/ui/busy_cursor.h"
#include "platform/ui/open_document.h"
#include "platform/ui/page_grid_widget.h"
#include "platform/ui/page_printing.h"
#include "platform/ui/widget_helpers.h"
#include "statements/account_balances.h"
#include "statements/book_months.h"
#include "statements/cash_flow.h"
#include "statements/statement.h"
#include "statements/statement_files.h"
#include "statements/ui/cash_flow_detail.h"
#include "storage/outcome.h"
#include "storage/record_store.h"
#include "storage/user_files.h"

namespace tw {

namespace {

QSpinBox* spinBox(QWidget* parent, const char* name, int low, int high, int value, const char* suffix) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromUtf8(name));
    box->setRange(low, high);
    box->setValue(value);
    box->setSuffix(QString::fromUtf8(suffix));
    return box;
}

const char* const kNothingClosed = "本套账还没有结账的月份，期末结账后才有报表！";

// The months the window opens on: the last closed month, or the books'
// first month while none is closed; and the first month of that year in the
// books, where the 科目余额表's range starts. Books whose facts cannot be
// read open on the month before the period: showing says why.
struct OpeningMonths {
    YearMonth shown;
    YearMonth rangeStart;
    bool anyClosed = true;
};

OpeningMonths openingMonths(const AppContext& ctx) {
    const YearMonth before = YearMonth::of(ctx.session.login.period).previous();
    RecordStore store(ctx.session.dataDir);
    const auto read = runCaught([&] {
        const Books books = readBookFacts(store, ctx.session);
        const YearMonth shown = std::max(books.lastClosed, books.start);
        return OpeningMonths{shown, books.yearStart(shown), books.start <= books.lastClosed};
    });
    if (!read.ok) return {before, {before.year, 1}, true};
    return read.value;
}

// A row of widgets with their labels, left-aligned.
QWidget* row(QWidget* parent, std::initializer_list<QWidget*> widgets) {
    auto* w = new QWidget(parent);
    auto* layout = new QHBoxLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* x : widgets) layout->addWidget(x);
    layout->addStretch();
    return w;
}

}  // namespace

StatementsWindow::StatementsWindow(AppContext& ctx, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_exportFolder(exportFolder()) {
    setObjectName(QStringLiteral("财务报表窗口"));
    setWindowTitle(QStringLiteral("财务报表"));
    setModal(true);

    m_choice = new QComboBox(this);
    m_choice->setObjectName(QStringLiteral("报表选择框"));
    m_choice->addItems({QStringLiteral("资产负债表"), QStringLiteral("利润表"),
                        QStringLiteral("利润表（季报）"), QStringLiteral("科目余额表"),
                        QStringLiteral("现金流量表"), QStringLiteral("现金流量表（季报）")});
    const OpeningMonths opening = openingMonths(ctx);
    const YearMonth shown = opening.shown;
    m_anyClosed = opening.anyClosed;
    m_year = spinBox(this, "年份框", 1900, 9999, shown.year, " 年");
    m_month = spinBox(this, "月份框", 1, 12, shown.month, " 月");
    m_quarter = new QComboBox(this);
    m_quarter->setObjectName(QStringLiteral("季度框"));
    m_quarter->addItems({QStringLiteral("第1季度"), QStringLiteral("第2季度"), QStringLiteral("第3季度"),
                         QStringLiteral("第4季度")});
    m_quarter->setCurrentIndex(quarterOf(shown) - 1);
    m_fromYear = spinBox(this, "起始年份框", 1900, 9999, opening.rangeStart.year, " 年");
    m_fromMonth = spinBox(this, "起始月份框", 1, 12, opening.rangeStart.month, " 月");
    m_level = new QComboBox(this);
    m_level->setObjectName(QStringLiteral("级次框"));
    m_level->addItems({QStringLiteral("全部科目"), QStringLiteral("一级科目")});

    auto* yearOfQuarter = spinBox(this, "季度年份框", 1900, 9999, shown.year, " 年");
    connect(yearOfQuarter, &QSpinBox::valueChanged, m_year, &QSpinBox::setValue);
    connect(m_year, &QSpinBox::valueChanged, yearOfQuarter, &QSpinBox::setValue);
    m_rangeRow = row(this, {new QLabel(QStringLiteral("从"), this), m_fromYear, m_fromMonth,
                            new QLabel(QStringLiteral("到"), this)});
    m_monthRow = row(this, {m_year, m_month});
    m_quarterRow = row(this, {yearOfQuarter, m_quarter});
    auto* levelRow = row(this, {new QLabel(QStringLiteral("级次："), this), m_level});

    auto* showButton = namedButton(this, "显示");
    showButton->setDefault(true);
    auto* printButton = namedButton(this, "打印");
    auto* excelButton = namedButton(this, "导出Excel");
    auto* pdfButton = namedButton(this, "导出PDF");
    connect(showButton, &QPushButton::clicked, this, &StatementsWindow::onShow);
    connect(printButton, &QPushButton::clicked, this, &StatementsWindow::onPrint);
    connect(excelButton, &QPushButton::clicked, this, [this] { exportAs(".xlsx"); });
    connect(pdfButton, &QPushButton::clicked, this, [this] { exportAs(".pdf"); });
    auto* detailButton = namedButton(this, "现金流量明细");
    connect(detailButton, &QPushButton::clicked, this, &StatementsWindow::onDetail);
    m_detail = detailButton;
    auto* folderButton = exportFolderButton(m_ctx, this, m_exportFolder);
    // Another statement chosen is shown at once, so that what is shown,
    // printed and exported is always the statement named.
    connect(m_choice, &QComboBox::currentIndexChanged, this, [this] {
        onChoice();
        compute(false);
    });

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("报表："), this));
    top->addWidget(m_choice);
    top->addSpacing(12);
    top->addWidget(m_rangeRow);
    top->addWidget(m_monthRow);
    top->addWidget(m_quarterRow);
    top->addWidget(levelRow);
    top->addStretch();
    for (QPushButton* b : {showButton, detailButton, printButton, excelButton, pdfButton, folderButton})
        top->addWidget(b);

    m_page = new PageGridWidget(this);
    m_page->setObjectName(QStringLiteral("报表表格"));
    m_page->setZoom(80);
    m_notices = new QLabel(this);
    m_notices->setObjectName(QStringLiteral("报表提示"));
    m_notices->setWordWrap(true);
    m_notices->setStyleSheet(QStringLiteral("color: #b00000;"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_notices);
    layout->addWidget(m_page, 1);
    resize(1180, 760);

    onChoice();
    compute(false);
}

void StatementsWindow::onChoice() {
    const int choice = m_choice->currentIndex();
    const bool quarter = choice == IncomeQuarter || choice == CashFlowQuarter;
    m_rangeRow->setVisible(choice == Balances);
    m_monthRow->setVisible(!quarter);
    m_quarterRow->setVisible(quarter);
    m_level->parentWidget()->setVisible(choice == Balances);
    m_detail->setVisible(choice == CashFlowMonth || choice == CashFlowQuarter);
}

void StatementsWindow::onShow() { compute(true); }

void StatementsWindow::compute(bool tell) {
    m_shown.reset();
    m_stem.clear();
    Result<std::pair<SheetLayout, std::string>> made;
    {
        BusyCursor busy;
        RecordStore store(m_ctx.session.dataDir);
        const YearMonth month{m_year->value(), m_month->value()};
        made = runCaught([&]() -> std::pair<SheetLayout, std::string> {
            if (!m_anyClosed) refuse(kNothingClosed);
            switch (m_choice->currentIndex()) {
                case IncomeMonth: {
                    const Statement s = incomeStatement(store, m_ctx.session, monthPeriod(month));
                    return {statementLayout(s), s.fileStem};
                }
                case IncomeQuarter: {
                    const Statement s = incomeStatement(
                        store, m_ctx.session,
                        quarterPeriod(m_year->value(), m_quarter->currentIndex() + 1));
                    return {statementLayout(s), s.fileStem};
                }
                case CashFlowMonth:
                case CashFlowQuarter: {
                    const Statement s = cashFlowStatement(store, m_ctx.session, cashFlowPeriod());
                    return {statementLayout(s), s.fileStem};
                }
                case Balances: {
                    const AccountBalances b = accountBalances(
                        store, m_ctx.session, {m_fromYear->value(), m_fromMonth->value()}, month,
                        m_level->currentIndex() == 1 ? 1 : 0);
                    return {balancesLayout(b), b.fileStem()};
                }
                default: {
                    const Statement s = balanceSheet(store, m_ctx.session, month);
                    return {statementLayout(s), s.fileStem};
                }
            }
        });
    }
    if (!made.ok) {
        m_page->setGrid(PageGrid());
        m_notices->setText(qs(made.message));
        if (tell) m_ctx.prompter.showMessage(this, qs(made.message));
        return;
    }
    m_page->setGrid(layoutPage(made.value.first));
    QStringList notes;
    for (const std::string& n : made.value.first.notes) notes << qs(n);
    m_notices->setText(notes.join(QStringLiteral("\n")));
    m_shown = std::move(made.value.first);
    m_stem = made.value.second;
}

StatementPeriod StatementsWindow::cashFlowPeriod() const {
    if (m_choice->currentIndex() == CashFlowQuarter)
        return quarterPeriod(m_year->value(), m_quarter->currentIndex() + 1);
    return monthPeriod({m_year->value(), m_month->value()});
}

void StatementsWindow::onDetail() { runCashFlowDetail(m_ctx, this, cashFlowPeriod()); }

void StatementsWindow::onPrint() {
    if (!m_shown) {
        m_ctx.prompter.showMessage(this, QStringLiteral("请先显示报表！"));
        return;
    }
    printPreview(this, PrintJob{{m_page->grid()}, qs(m_stem), SheetFooter{}});
}

void StatementsWindow::exportAs(const char* extension) {
    if (!m_shown) {
        m_ctx.prompter.showMessage(this, QStringLiteral("请先显示报表！"));
        return;
    }
    const bool pdf = std::string(extension) == ".pdf";
    // A folder inside the account-set directory is refused as a folder, before anything is asked.
    if (!checkExportFolder(m_ctx, this, m_exportFolder)) return;
    const std::filesystem::path file = statementFile(m_exportFolder, m_stem, extension);
    std::error_code ec;
    if (std::filesystem::exists(file, ec) &&
        !m_ctx.prompter.confirm(this, QStringLiteral("文件“%1”已经存在，是否替换？")
                                          .arg(qs(pathText(file.filename())))))
        return;
    Outcome saved;
    {
        BusyCursor busy;
        saved = runCaught([&] {
            if (!pdf) return saveStatementWorkbook(m_ctx.session, layoutWorkbook({*m_shown}), file);
            const PageGrid page = m_page->grid();
            writeStatementFile(m_ctx.session, file, [&](const std::filesystem::path& tmp) {
                return writePdf(page, qs(pathText(tmp)), nullptr);
            });
        });
    }
    if (!saved.ok) {
        m_ctx.prompter.showMessage(this, qs(saved.message));
        return;
    }
    if (!pdf) {
        openExported(m_ctx, this, file);
        return;
    }
    const QString told = openDocument(file)
                             ? qs(exportedMessage(file))
                             : QStringLiteral("报表已保存到：\n%1").arg(qs(pathText(file)));
    m_ctx.prompter.showMessage(this, told);
}

void runStatementsWindow(AppContext& ctx, QWidget* parent) {
    StatementsWindow window(ctx, parent);
    window.exec();
}

}  // namespace tw
