#include "ledgers/ui/account_range_row.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <utility>

#include "platform/ui/date_box.h"
#include "platform/ui/widget_helpers.h"
#include "storage/dates.h"

namespace tw {

AccountRangeRow makeAccountRangeRow(QWidget* window, Prompter& prompter, const char* prompt,
                                    double month, std::function<void()> pick,
                                    const QList<QPushButton*>& buttons) {
    AccountRangeRow row;
    row.account = new QLineEdit(QString::fromUtf8(prompt), window);
    row.account->setObjectName(QStringLiteral("选择科目编辑框"));
    row.account->setReadOnly(true);
    row.account->setCursor(Qt::PointingHandCursor);
    row.account->setMinimumWidth(240);
    whenClicked(row.account, std::move(pick));

    row.from = new DateBox(prompter, QStringLiteral("起始日期框"), window);
    row.from->setDay(firstDayOfMonth(month));
    row.to = new DateBox(prompter, QStringLiteral("截至日期框"), window);
    row.to->setDay(lastDayOfMonth(month));
    for (DateBox* box : {row.from, row.to}) box->setFixedWidth(125);

    row.layout = new QHBoxLayout;
    row.layout->addWidget(new QLabel(QStringLiteral("科目："), window));
    row.layout->addWidget(row.account, 1);
    row.layout->addSpacing(8);
    row.layout->addWidget(new QLabel(QStringLiteral("从"), window));
    row.layout->addWidget(row.from);
    row.layout->addWidget(new QLabel(QStringLiteral("至"), window));
    row.layout->addWidget(row.to);
    row.layout->addSpacing(8);
    for (QPushButton* b : buttons) row.layout->addWidget(b);
    // Tab follows the row from the left; the window opens on the account box,
    // where Enter opens the picker.
    QWidget* previous = row.to;
    QWidget::setTabOrder(row.account, row.from);
    QWidget::setTabOrder(row.from, row.to);
    for (QPushButton* b : buttons) {
        QWidget::setTabOrder(previous, b);
        previous = b;
    }
    row.account->setFocus();
    return row;
}

}  // namespace tw
