#include "shell/ui/window_prompter.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValidator>
#include <algorithm>

#include "platform/ui/widget_helpers.h"
#include "shell/ui/confirm_window.h"
#include "shell/ui/message_window.h"
#include "storage/amount_reader.h"
#include "storage/number_text.h"

namespace tw {

namespace {

// A one-line input box. With a validator, `确定` is enabled only while the
// line holds acceptable input. An amount box reads its line through the
// amount reader on `确定`: a text it refuses is said, and the box stays open
// with the text as typed.
class InputWindow : public QDialog {
public:
    InputWindow(QWidget* parent, const QString& title, const QString& prompt,
                const QString& initial, QValidator* validator = nullptr, bool amount = false)
        : QDialog(parent) {
        setObjectName(QStringLiteral("输入窗口"));
        setWindowTitle(title);
        setModal(true);

        auto* label = new QLabel(displayText(prompt), this);
        label->setObjectName(QStringLiteral("输入提示"));
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);

        m_line = new QLineEdit(initial, this);
        m_line->setObjectName(QStringLiteral("输入编辑框"));
        m_line->setMinimumWidth(280);
        m_line->selectAll();
        if (validator) {
            validator->setParent(m_line);
            m_line->setValidator(validator);
        }

        const OkCancelRow buttons = okCancelRow(this);
        QPushButton* ok = buttons.ok;
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, this, [this, amount] {
            if (amount) {
                const std::string refusal = readAmount(m_line->text().toStdString(), m_amount);
                if (!refusal.empty()) {
                    MessageWindow::run(this, qs(refusal));
                    m_line->setFocus();
                    return;
                }
            }
            accept();
        });
        if (validator) {
            auto update = [this, ok] { ok->setEnabled(m_line->hasAcceptableInput()); };
            connect(m_line, &QLineEdit::textChanged, this, update);
            update();
        }

        auto* layout = new QVBoxLayout(this);
        layout->setSizeConstraint(QLayout::SetFixedSize);
        layout->addWidget(label);
        layout->addWidget(m_line);
        layout->addSpacing(6);
        layout->addLayout(buttons.row);
        m_line->setFocus();
    }

    QString text() const { return m_line->text(); }
    // The amount read on `确定` (an amount box).
    double amount() const { return m_amount; }

private:
    QLineEdit* m_line;
    double m_amount = 0;
};

// The keys an amount is typed with, whatever the locale: digits, a sign
// first, one point, and thousands separators ("," or "，") before it. What
// they make is judged by the amount reader on `确定`, which says why it
// refuses (a third decimal, a separator out of place).
class AmountKeys : public QValidator {
public:
    State validate(QString& input, int&) const override {
        bool point = false, digit = false;
        for (qsizetype i = 0; i < input.size(); ++i) {
            const QChar c = input.at(i);
            if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
                digit = true;
            else if (c == QLatin1Char('.') && !point)
                point = true;
            else if ((c == QLatin1Char(',') || c == QChar(u'\uFF0C')) && !point)
                continue;
            else if ((c == QLatin1Char('-') || c == QLatin1Char('+')) && i == 0)
                continue;
            else
                return Invalid;
        }
        return digit ? Acceptable : Intermediate;
    }
};

// Qt's own file dialog is labelled in English unless Qt's translations are
// installed; its main captions are set here so that it reads Chinese anyway.
void labelInChinese(QFileDialog& dialog, bool save) {
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("位置："));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("文件名："));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("文件类型："));
    dialog.setLabelText(QFileDialog::Accept,
                        save ? QStringLiteral("保存") : QStringLiteral("打开"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("取消"));
    dialog.setObjectName(save ? QStringLiteral("保存对话框") : QStringLiteral("打开对话框"));
}

QString runFileDialog(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

}  // namespace

void WindowPrompter::showMessage(QWidget* parent, const QString& text) {
    MessageWindow::run(parent, text);
}

bool WindowPrompter::confirm(QWidget* parent, const QString& text) {
    return ConfirmWindow::ask(parent, text);
}

Prompter::Answer WindowPrompter::confirmOrCancel(QWidget* parent, const QString& text) {
    return ConfirmWindow::askOrCancel(parent, text);
}

bool WindowPrompter::confirmWith(QWidget* parent, const QString& text, const QString& yes,
                                 const QString& no) {
    return ConfirmWindow::askWith(parent, text, yes, no);
}

std::optional<QString> WindowPrompter::inputText(QWidget* parent, const QString& title,
                                                 const QString& prompt, const QString& initial) {
    InputWindow window(parent, title, prompt, initial);
    if (window.exec() != QDialog::Accepted) return std::nullopt;
    return window.text();
}

std::optional<double> WindowPrompter::inputNumber(QWidget* parent, const QString& title,
                                                  const QString& prompt, double initial) {
    const QString shown = QString::fromStdString(plainDecimal(initial));
    InputWindow window(parent, title, prompt, shown, new AmountKeys, true);
    if (window.exec() != QDialog::Accepted) return std::nullopt;
    return window.amount();
}

QString WindowPrompter::saveFileName(QWidget* parent, const QString& title, const QString& filter,
                                     const QString& defaultSuffix, const QString& start) {
    QFileDialog dialog(parent, title, start.isEmpty() ? QDir::homePath() : start, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    labelInChinese(dialog, true);
    return runFileDialog(dialog);
}

QString WindowPrompter::openFileName(QWidget* parent, const QString& title, const QString& filter,
                                     const QString& start) {
    QFileDialog dialog(parent, title, start.isEmpty() ? QDir::homePath() : start, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    labelInChinese(dialog, false);
    return runFileDialog(dialog);
}

QString WindowPrompter::folderName(QWidget* parent, const QString& title, const QString& start) {
    QFileDialog dialog(parent, title, start.isEmpty() ? QDir::homePath() : start);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    labelInChinese(dialog, false);
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("文件夹："));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("选择"));
    dialog.setObjectName(QStringLiteral("文件夹对话框"));
    return runFileDialog(dialog);
}

bool WindowPrompter::choosePrinter(QWidget* parent, QPrinter& printer, int pageCount) {
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("打印对话框"));
    dialog.setWindowTitle(QStringLiteral("打印"));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setMinMax(1, std::max(1, pageCount));
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace tw
