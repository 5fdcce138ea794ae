#include "shell/ui/confirm_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "shell/ui/message_window.h"

namespace tw {

namespace {
const QString kYes = QStringLiteral("是的");
const QString kNo = QStringLiteral("不是");
const QString kCancel = QStringLiteral("取消");
}  // namespace

ConfirmWindow::ConfirmWindow(const QString& text, QWidget* parent, bool withCancel)
    : ConfirmWindow(text, Captions{kYes, kNo}, parent, withCancel) {}

ConfirmWindow::ConfirmWindow(const QString& text, const Captions& captions, QWidget* parent,
                             bool withCancel)
    : QDialog(parent), m_answer(withCancel ? kCancel : captions.no) {
    setObjectName(QStringLiteral("确认窗口"));
    setWindowTitle(QStringLiteral("请确认"));
    setModal(true);

    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);

    m_text = new QLabel(displayText(text), this);
    m_text->setObjectName(QStringLiteral("确认信息"));
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    m_text->setMinimumWidth(300);

    m_yes = new QPushButton(captions.yes, this);
    m_yes->setObjectName(captions.yes);
    m_no = new QPushButton(captions.no, this);
    m_no->setObjectName(captions.no);
    // Enter answers "不是": a hasty key press must not delete or overwrite anything.
    m_no->setDefault(true);
    connect(m_yes, &QPushButton::clicked, this, [this, yes = captions.yes] {
        m_answer = yes;
        accept();
    });
    connect(m_no, &QPushButton::clicked, this, [this, no = captions.no] {
        m_answer = no;
        reject();
    });

    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(m_text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_yes);
    buttons->addWidget(m_no);
    QPushButton* safest = m_no;
    if (withCancel) {
        // Here Enter answers "取消": the window asked about stays as it is.
        auto* cancel = new QPushButton(kCancel, this);
        cancel->setObjectName(kCancel);
        connect(cancel, &QPushButton::clicked, this, [this] {
            m_answer = kCancel;
            reject();
        });
        buttons->addWidget(cancel);
        m_no->setDefault(false);
        cancel->setDefault(true);
        safest = cancel;
    }
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(row);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    safest->setFocus();
}

bool ConfirmWindow::ask(QWidget* parent, const QString& text) {
    ConfirmWindow window(text, parent);
    window.exec();
    return window.answer() == kYes;
}

bool ConfirmWindow::askWith(QWidget* parent, const QString& text, const QString& yes,
                            const QString& no) {
    ConfirmWindow window(text, Captions{yes, no}, parent, false);
    window.exec();
    return window.answer() == yes;
}

Prompter::Answer ConfirmWindow::askOrCancel(QWidget* parent, const QString& text) {
    ConfirmWindow window(text, parent, true);
    window.exec();
    if (window.answer() == kYes) return Prompter::Answer::Yes;
    return window.answer() == kNo ? Prompter::Answer::No : Prompter::Answer::Cancel;
}

}  // namespace tw
