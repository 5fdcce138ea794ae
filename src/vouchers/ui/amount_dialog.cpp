#include "vouchers/ui/amount_dialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "platform/ui/widget_helpers.h"
#include "shell/ui/window_prompter.h"
#include "storage/amount_reader.h"
#include "storage/number_text.h"

namespace tw {

NumberInputDialog::NumberInputDialog(Kind kind, QWidget* parent, Prompter* prompter,
                                     const NumberStart& start)
    : QDialog(parent),
      m_kind(kind),
      m_prompter(prompter),
      m_balancing(kind == Kind::Amount ? start.balancing : 0) {
    const bool amount = kind == Kind::Amount;
    setObjectName(amount ? QStringLiteral("金额输入窗口") : QStringLiteral("附件数输入窗口"));
    setWindowTitle(amount ? QStringLiteral("输入金额") : QStringLiteral("输入附件数"));
    setModal(true);

    m_box = new QLineEdit(this);
    m_box->setObjectName(amount ? QStringLiteral("金额输入框") : QStringLiteral("附件输入框"));
    m_box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_box->setMinimumWidth(180);
    QFont big = m_box->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    m_box->setFont(big);
    auto* unit = new QLabel(amount ? QStringLiteral("元") : QStringLiteral("张"), this);
    unit->setObjectName(QStringLiteral("元"));

    m_confirm = namedButton(this, "确定");
    auto* clear = namedButton(this, "清除");
    connect(m_confirm, &QPushButton::clicked, this, &NumberInputDialog::onConfirm);
    connect(clear, &QPushButton::clicked, this, &NumberInputDialog::onClear);
    connect(m_box, &QLineEdit::textEdited, this, &NumberInputDialog::onEdited);
    connect(m_box, &QLineEdit::returnPressed, this, [this] {
        if (!m_box->text().isEmpty()) onConfirm();
    });

    auto* row = new QHBoxLayout;
    row->addWidget(m_box, 1);
    row->addWidget(unit);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_confirm);
    buttons->addWidget(clear);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_box->installEventFilter(this);
    m_confirm->installEventFilter(this);
    m_box->setFocus();

    if (start.typed == QLatin1String("=")) {
        offerBalancing();
    } else if (!start.typed.isEmpty()) {
        // As if typed into the box: the typing rules apply to it.
        m_box->setText(start.typed);
        keepTypedText(m_box);
        onEdited(start.typed);
    } else {
        offerBalancing();
    }
}

void NumberInputDialog::offerBalancing() {
    if (m_balancing <= 0) return;
    m_box->setText(QString::fromStdString(plainDecimal(m_balancing)));
    m_box->selectAll();
}

bool NumberInputDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_box && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->text() == QLatin1String("=")) {
        offerBalancing();
        return true;
    }
    // The focus moved on to 确定 after two decimals: a digit typed now is a
    // third decimal, which goes into the box to be refused there, not lost.
    if (watched == m_confirm && m_kind == Kind::Amount && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString t = key->text();
        if (t.size() == 1 && t.at(0) >= QLatin1Char('0') && t.at(0) <= QLatin1Char('9')) {
            m_box->setFocus();
            m_box->end(false);
            QKeyEvent typed(QEvent::KeyPress, key->key(), key->modifiers(), t);
            QApplication::sendEvent(m_box, &typed);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void NumberInputDialog::onEdited(const QString& text) {
    if (m_kind != Kind::Amount) return;
    if (text == QLatin1String("-")) {
        m_box->clear();
        return;
    }
    double ignored = 0;
    if (readAmount(text.toStdString(), ignored) == kAmountTooManyDecimals)
        return showRefusal(kAmountTooManyDecimals);
    if (text.size() >= 3 && text.at(text.size() - 3) == QLatin1Char('.')) m_confirm->setFocus();
}

void NumberInputDialog::onConfirm() {
    const std::string typed = m_box->text().toStdString();
    if (m_kind == Kind::Attachments) {
        m_result = std::trunc(parseNumber(typed));
        accept();
        return;
    }
    double value = 0;
    if (const std::string refusal = readAmount(typed, value); !refusal.empty())
        return showRefusal(refusal);
    m_result = value;
    accept();
}

void NumberInputDialog::showRefusal(const std::string& message) {
    WindowPrompter windows;
    (m_prompter ? *m_prompter : static_cast<Prompter&>(windows)).showMessage(this, qs(message));
    m_box->setFocus();
}

void NumberInputDialog::onClear() {
    m_box->clear();
    m_result = 0.0;
    accept();
}

std::optional<double> askAmount(QWidget* parent, Prompter& prompter, const NumberStart& start) {
    NumberInputDialog dialog(NumberInputDialog::Kind::Amount, parent, &prompter, start);
    dialog.exec();
    return dialog.result();
}

std::optional<long long> askAttachments(QWidget* parent, const QString& typed) {
    NumberInputDialog dialog(NumberInputDialog::Kind::Attachments, parent, nullptr, {0, typed});
    dialog.exec();
    if (!dialog.result()) return std::nullopt;
    return static_cast<long long>(*dialog.result());
}

}  // namespace tw
