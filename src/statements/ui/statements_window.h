#pragma once
// `财务报表窗口` (财务报表): the statements of the open set on screen.
// `报表选择框` picks 资产负债表, 利润表 (a month), 利润表（季报）, 科目余额表,
// 现金流量表 (a month) or 现金流量表（季报）;
// `年份框` with `月份框` (or `季度框` for the quarter) names the month, and for
// 科目余额表 `起始年份框`/`起始月份框` the first month of the range and
// `级次框` 一级科目 or 全部科目. It opens on the last closed month, never on
// one before the books start (their first month while none is closed, which
// `报表提示` says), and shows its balance sheet; the 科目余额表's range starts
// in the first month of that year in the books. Choosing another statement
// shows it at once, as `显示` does: it computes the statement and shows it
// in `报表表格` as it prints, its notices in `报表提示`; `打印`
// opens its print preview; `导出Excel` and `导出PDF` write it into the
// export folder (资产负债表-2013-03.xlsx …), asking before an earlier file is
// replaced, open it in the desktop's program and name the file; `导出到`
// chooses the export folder (ledgers/ui/export_folder.h).
// With a cash-flow statement chosen, `现金流量明细` shows what went into its
// lines (cash_flow_detail.h).

#include <QDialog>
#include <filesystem>
#include <optional>

#include "shell/ui/app_context.h"
#include "statements/statement_sheets.h"

class QComboBox;
class QLabel;
class QSpinBox;

namespace tw {

class PageGridWidget;

class StatementsWindow : public QDialog {
    Q_OBJECT
public:
    explicit StatementsWindow(AppContext& ctx, QWidget* parent = nullptr);

    enum Choice { BalanceSheet, IncomeMonth, IncomeQuarter, Balances, CashFlowMonth, CashFlowQuarter };

    // Where the exports go: by default the export folder (exportFolder()).
    void setExportFolder(const std::filesystem::path& folder) { m_exportFolder = folder; }

private:
    void onChoice();
    void onShow();
    void onPrint();
    void exportAs(const char* extension);
    void onDetail();
    // The month or the quarter of the cash-flow statement chosen.
    StatementPeriod cashFlowPeriod() const;
    // Computes the chosen statement; a refusal is told (over this window
    // when `tell`, else in the notice line) and leaves the page empty.
    void compute(bool tell);

    AppContext& m_ctx;
    bool m_anyClosed = true;  // a month of the books is closed
    QComboBox* m_choice;
    QSpinBox* m_year;
    QSpinBox* m_month;
    QComboBox* m_quarter;
    QSpinBox* m_fromYear;
    QSpinBox* m_fromMonth;
    QComboBox* m_level;
    QWidget* m_monthRow;
    QWidget* m_quarterRow;
    QWidget* m_rangeRow;
    QWidget* m_detail;
    PageGridWidget* m_page;
    QLabel* m_notices;
    std::optional<SheetLayout> m_shown;
    std::string m_stem;  // the shown statement's file name without extension
    std::filesystem::path m_exportFolder;
};

// Opens the window modally over `parent`.
void runStatementsWindow(AppContext& ctx, QWidget* parent);

}  // namespace tw
