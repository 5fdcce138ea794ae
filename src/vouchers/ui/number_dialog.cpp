#include "vouchers/ui/number_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "platform/ui/prompter.h"
#include "platform/ui/widget_helpers.h"
#include "storage/number_text.h"

namespace tw {

NumberDialog::NumberDialog(Prompter& prompter, const std::string& number, const std::string& page,
                           const std::string& pageCount, Apply apply, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_apply(std::move(apply)) {
    setObjectName(QStringLiteral("编号输入窗口"));
    setWindowTitle(QStringLiteral("凭证编号"));
    setModal(true);

    auto* caption = new QLabel(QStringLiteral("编号：      第几：  共几："), this);
    caption->setObjectName(QStringLiteral("编号"));
    m_number = new QLineEdit(qs(number), this);
    m_number->setObjectName(QStringLiteral("月编号输入框"));
    m_number->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), m_number));
    m_number->setFixedWidth(110);
    m_number->selectAll();
    auto* pageBox = new QLineEdit(qs(page), this);
    pageBox->setObjectName(QStringLiteral("第几输入框"));
    auto* countBox = new QLineEdit(qs(pageCount), this);
    countBox->setObjectName(QStringLiteral("共几输入框"));
    for (QLineEdit* box : {pageBox, countBox}) {
        box->setReadOnly(true);
        box->setEnabled(false);
        box->setFixedWidth(44);
    }

    const OkCancelRow buttons = okCancelRow(this);
    connect(buttons.ok, &QPushButton::clicked, this, &NumberDialog::onConfirm);
    connect(m_number, &QLineEdit::returnPressed, this, &NumberDialog::onConfirm);

    auto* boxes = new QHBoxLayout;
    boxes->addWidget(m_number);
    boxes->addWidget(pageBox);
    boxes->addWidget(countBox);
    boxes->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addLayout(boxes);
    layout->addLayout(buttons.row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_number->setFocus();
}

void NumberDialog::onConfirm() {
    const Outcome applied = m_apply(parseNumber(m_number->text().toStdString()));
    if (applied.ok) {
        accept();
        return;
    }
    if (!applied.message.empty()) m_prompter.showMessage(this, qs(applied.message));
    m_number->setFocus();
}

}  // namespace tw
