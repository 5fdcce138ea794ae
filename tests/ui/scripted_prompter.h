#pragma once
// A Prompter for window tests: records every text it is asked to show and
// answers from queues the test fills beforehand. With a queue empty it answers
// like a user who closes the window: "不是" (取消 where offered), cancel, no file,
// nothing printed.

#include <QPrinter>
#include <QQueue>
#include <QStringList>
#include <functional>

#include "platform/ui/prompter.h"

namespace tw::test {

class ScriptedPrompter : public Prompter {
public:
    struct FileRequest {
        QString title;
        QString filter;
        QString defaultSuffix;  // empty for open dialogs
        QString start;          // where the dialog opens (a folder, or a suggested file)
    };

    // What was shown, in order.
    QStringList messages;
    QStringList questions;
    QStringList inputPrompts;  // prompts of text and number boxes
    QStringList inputInitials;  // the text each text box opened with
    QList<FileRequest> saveRequests;
    QList<FileRequest> openRequests;
    QList<FileRequest> folderRequests;  // filter and suffix empty
    QList<int> printRequests;  // the page count of each print dialog

    // Answers, taken from the front.
    QQueue<bool> confirmAnswers;
    QQueue<Answer> choiceAnswers;  // for confirmOrCancel
    QQueue<std::optional<QString>> textAnswers;
    QQueue<std::optional<double>> numberAnswers;
    QQueue<QString> saveFileAnswers;
    QQueue<QString> openFileAnswers;
    QQueue<QString> folderAnswers;
    // A print dialog answered with a file prints into that PDF file (no real
    // printer needed); with the queue empty it is cancelled.
    QQueue<QString> printFileAnswers;

    // Called while the message or question is "on screen", to look at the
    // windows underneath at that moment.
    std::function<void(const QString&)> onMessage;
    std::function<void(const QString&)> onQuestion;

    void showMessage(QWidget*, const QString& text) override {
        messages << text;
        if (onMessage) onMessage(text);
    }
    bool confirm(QWidget*, const QString& text) override {
        questions << text;
        if (onQuestion) onQuestion(text);
        return confirmAnswers.isEmpty() ? false : confirmAnswers.dequeue();
    }
    // Answered from confirmAnswers as confirm is: true for `yes`.
    bool confirmWith(QWidget* parent, const QString& text, const QString&,
                     const QString&) override {
        return confirm(parent, text);
    }
    Answer confirmOrCancel(QWidget*, const QString& text) override {
        questions << text;
        if (onQuestion) onQuestion(text);
        return choiceAnswers.isEmpty() ? Answer::Cancel : choiceAnswers.dequeue();
    }
    std::optional<QString> inputText(QWidget*, const QString&, const QString& prompt,
                                     const QString& initial) override {
        inputPrompts << prompt;
        inputInitials << initial;
        return textAnswers.isEmpty() ? std::nullopt : textAnswers.dequeue();
    }
    std::optional<double> inputNumber(QWidget*, const QString&, const QString& prompt,
                                      double) override {
        inputPrompts << prompt;
        return numberAnswers.isEmpty() ? std::nullopt : numberAnswers.dequeue();
    }
    QString saveFileName(QWidget*, const QString& title, const QString& filter,
                         const QString& defaultSuffix, const QString& start = {}) override {
        saveRequests << FileRequest{title, filter, defaultSuffix, start};
        return saveFileAnswers.isEmpty() ? QString() : saveFileAnswers.dequeue();
    }
    QString openFileName(QWidget*, const QString& title, const QString& filter,
                         const QString& start = {}) override {
        openRequests << FileRequest{title, filter, QString(), start};
        return openFileAnswers.isEmpty() ? QString() : openFileAnswers.dequeue();
    }
    QString folderName(QWidget*, const QString& title, const QString& start = {}) override {
        folderRequests << FileRequest{title, QString(), QString(), start};
        return folderAnswers.isEmpty() ? QString() : folderAnswers.dequeue();
    }

    bool choosePrinter(QWidget*, QPrinter& printer, int pageCount) override {
        printRequests << pageCount;
        if (printFileAnswers.isEmpty()) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printFileAnswers.dequeue());
        return true;
    }

    // Forgets what was shown; queued answers and callbacks stay.
    void clearRecords() {
        messages.clear();
        questions.clear();
        inputPrompts.clear();
        inputInitials.clear();
        saveRequests.clear();
        openRequests.clear();
        folderRequests.clear();
        printRequests.clear();
    }
};

}  // namespace tw::test
