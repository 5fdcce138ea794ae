#include "shell/ui/message_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace tw {

QString displayText(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

MessageWindow::MessageWindow(const QString& text, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("提示窗口"));
    setWindowTitle(QStringLiteral("提示"));
    setModal(true);

    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);

    m_text = new QLabel(displayText(text), this);
    m_text->setObjectName(QStringLiteral("提示信息"));
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    m_text->setMinimumWidth(260);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_close = new QPushButton(QStringLiteral("关闭"), this);
    m_close->setObjectName(QStringLiteral("关闭提示"));
    m_close->setDefault(true);
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(m_text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(row);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    m_close->setFocus();
}

void MessageWindow::run(QWidget* parent, const QString& text) {
    MessageWindow window(text, parent);
    window.exec();
}

}  // namespace tw
