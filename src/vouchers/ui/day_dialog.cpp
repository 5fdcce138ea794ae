#include "vouchers/ui/day_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "platform/ui/widget_helpers.h"

namespace tw {

DayDialog::DayDialog(int daysInMonth, int initialDay, QWidget* parent)
    : QDialog(parent), m_days(daysInMonth) {
    setObjectName(QStringLiteral("日期输入窗口"));
    setWindowTitle(QStringLiteral("输入日期"));
    setModal(true);

    m_box = new QLineEdit(this);
    m_box->setObjectName(QStringLiteral("日期输入框"));
    m_box->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,2}")), m_box));
    m_box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_box->setFixedWidth(80);
    QFont big = m_box->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    m_box->setFont(big);
    if (initialDay > 0) m_box->setText(QString::number(initialDay));
    m_box->selectAll();
    auto* unit = new QLabel(QStringLiteral("日"), this);
    unit->setObjectName(QStringLiteral("日"));

    const OkCancelRow buttons = okCancelRow(this);
    connect(buttons.ok, &QPushButton::clicked, this, &DayDialog::onConfirm);
    connect(m_box, &QLineEdit::textEdited, this, &DayDialog::onEdited);
    connect(m_box, &QLineEdit::returnPressed, this, &DayDialog::onConfirm);

    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(m_box);
    row->addWidget(unit);
    row->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons.row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_box->setFocus();
}

void DayDialog::onEdited(const QString& text) {
    const int day = text.toInt();
    if (day > m_days)
        m_box->clear();
    else if (day <= 0)
        m_box->setText(QStringLiteral("1"));
}

void DayDialog::onConfirm() {
    if (m_box->text().isEmpty()) {
        m_box->setFocus();
        return;
    }
    m_day = m_box->text().toInt();
    accept();
}

std::optional<int> askDay(QWidget* parent, int daysInMonth, int initialDay) {
    DayDialog dialog(daysInMonth, initialDay, parent);
    dialog.exec();
    return dialog.day();
}

}  // namespace tw
