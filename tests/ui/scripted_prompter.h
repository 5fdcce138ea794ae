#pragma once
// A Prompter for window tests: records every text it is asked to show and
// answers from queues the test fills beforehand. With a queue empty it answers
// like a user who closes the window: "不是", cancel, no file.

#include <QQueue>
#include <QStringList>
#include <functional>

#include "shell/ui/prompter.h"

namespace tw::test {

class ScriptedPrompter : public Prompter {
public:
    struct FileRequest {
        QString title;
        QString filter;
        QString defaultSuffix;  // empty for open dialogs
    };

    // What was shown, in order.
    QStringList messages;
    QStringList questions;
    QStringList inputPrompts;  // prompts of text and number boxes
    QList<FileRequest> saveRequests;
    QList<FileRequest> openRequests;

    // Answers, taken from the front.
    QQueue<bool> confirmAnswers;
    QQueue<std::optional<QString>> textAnswers;
    QQueue<std::optional<double>> numberAnswers;
    QQueue<QString> saveFileAnswers;
    QQueue<QString> openFileAnswers;

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
    std::optional<QString> inputText(QWidget*, const QString&, const QString& prompt,
                                     const QString&) override {
        inputPrompts << prompt;
        return textAnswers.isEmpty() ? std::nullopt : textAnswers.dequeue();
    }
    std::optional<double> inputNumber(QWidget*, const QString&, const QString& prompt,
                                      double) override {
        inputPrompts << prompt;
        return numberAnswers.isEmpty() ? std::nullopt : numberAnswers.dequeue();
    }
    QString saveFileName(QWidget*, const QString& title, const QString& filter,
                         const QString& defaultSuffix) override {
        saveRequests << FileRequest{title, filter, defaultSuffix};
        return saveFileAnswers.isEmpty() ? QString() : saveFileAnswers.dequeue();
    }
    QString openFileName(QWidget*, const QString& title, const QString& filter) override {
        openRequests << FileRequest{title, filter, QString()};
        return openFileAnswers.isEmpty() ? QString() : openFileAnswers.dequeue();
    }

    // Forgets what was shown; queued answers and callbacks stay.
    void clearRecords() {
        messages.clear();
        questions.clear();
        inputPrompts.clear();
        saveRequests.clear();
        openRequests.clear();
    }
};

}  // namespace tw::test
