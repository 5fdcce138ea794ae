#include "statements/ui/cash_flow_detail.h"

#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "platform/ui/busy_cursor.h"
#include "platform/ui/widget_helpers.h"
#include "statements/cash_flow.h"
#include "storage/dates.h"
#include "storage/number_text.h"
#include "storage/outcome.h"
#include "storage/record_store.h"

namespace tw {

void runCashFlowDetail(AppContext& ctx, QWidget* parent, const StatementPeriod& period) {
    Result<CashFlow> made;
    {
        BusyCursor busy;
        RecordStore store(ctx.session.dataDir);
        made = runCaught([&] { return cashFlow(store, ctx.session, period); });
    }
    if (!made.ok) {
        ctx.prompter.showMessage(parent, qs(made.message));
        return;
    }
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("现金流量明细窗口"));
    dialog.setWindowTitle(QStringLiteral("现金流量明细"));
    const std::vector<CashFlowEntry>& entries = made.value.entries;
    auto* table = new QTableWidget(static_cast<int>(entries.size()), 6, &dialog);
    table->setObjectName(QStringLiteral("现金流量明细表格"));
    table->setHorizontalHeaderLabels({QStringLiteral("行次"), QStringLiteral("凭证编号"), QStringLiteral("日期"),
                                      QStringLiteral("摘要"), QStringLiteral("金额"), QStringLiteral("对方科目")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    for (int row = 0; row < static_cast<int>(entries.size()); ++row) {
        const CashFlowEntry& e = entries[row];
        const std::string cells[6] = {std::to_string(e.line), plainDecimal(e.number), formatDate(e.date),
                                      e.summary, twoDecimals(e.amount), e.source()};
        for (int c = 0; c < 6; ++c) {
            auto* item = new QTableWidgetItem(qs(cells[c]));
            if (c == 0 || c == 4) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(row, c, item);
        }
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(qs(made.value.statement.date), &dialog));
    layout->addWidget(table, 1);
    dialog.resize(900, 560);
    dialog.exec();
}

}  // namespace tw
