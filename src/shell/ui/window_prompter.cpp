#include "shell/ui/window_prompter.h"

#include <QDialog>
#include <QDir>
#include <QDoubleValidator>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ui/widget_helpers.h"
#include "shell/ui/confirm_window.h"
#include "shell/ui/message_window.h"
#include "storage/number_text.h"

namespace tw {

namespace {

// A one-line input box. With a validator, `确定` is enabled only while the
// line holds acceptable input.
class InputWindow : public QDialog {
public:
    InputWindow(QWidget* parent, const QString& title, const QString& prompt,
                const QString& initial, QValidator* validator = nullptr)
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
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
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

private:
    QLineEdit* m_line;
};

// Numbers are typed with a point and no group separators, whatever the locale.
QDoubleValidator* numberValidator() {
    auto* validator = new QDoubleValidator;
    validator->setNotation(QDoubleValidator::StandardNotation);
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    validator->setLocale(c);
    return validator;
}

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

std::optional<QString> WindowPrompter::inputText(QWidget* parent, const QString& title,
                                                 const QString& prompt, const QString& initial) {
    InputWindow window(parent, title, prompt, initial);
    if (window.exec() != QDialog::Accepted) return std::nullopt;
    return window.text();
}

std::optional<double> WindowPrompter::inputNumber(QWidget* parent, const QString& title,
                                                  const QString& prompt, double initial) {
    const QString shown = QString::fromStdString(plainDecimal(initial));
    InputWindow window(parent, title, prompt, shown, numberValidator());
    if (window.exec() != QDialog::Accepted) return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(window.text(), &ok);
    if (!ok) return std::nullopt;
    return value;
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

}  // namespace tw
