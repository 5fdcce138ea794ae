// The desktop program: prepares the account-set directory and shows the main
// window.
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QTranslator>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <vector>

#include "app/main_window.h"
#include "shell/session.h"
#include "shell/ui/app_context.h"
#include "shell/ui/message_window.h"
#include "shell/ui/window_prompter.h"
#include "startup/start_up.h"
#include "storage/directory_lock.h"
#include "storage/paths.h"
#include "storage/record_store.h"

namespace {

// The last line of defence. Operations report their own failures; an
// exception that gets here is unexpected, and a window's earlier actions may
// have been committed already, so the user is told that something went wrong
// (not that nothing changed) and the detail goes to the log.
class Application : public QApplication {
public:
    using QApplication::QApplication;
    std::filesystem::path logFile;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const tw::StoreError& e) {
            log(e.what());
            report(QString::fromStdString(e.userMessage()));
        } catch (const std::exception& e) {
            log(e.what());
            report(QStringLiteral("程序发生意外错误，当前操作可能没有全部完成！\r\n"
                                  "请检查刚才的操作结果后再继续。（详细情况已记入日志）"));
        }
        return false;
    }

private:
    void log(const std::string& detail) {
        const QString line = QDateTime::currentDateTime().toString(Qt::ISODate) +
                             QStringLiteral("  ") + QString::fromStdString(detail) + '\n';
        std::cerr << line.toStdString();
        std::ofstream out(logFile, std::ios::app);
        out << line.toStdString();
    }
    void report(const QString& text) {
        tw::WindowPrompter prompter;
        prompter.showMessage(activeWindow(), text);
    }
};

// Chinese must render on any desktop; WenQuanYi Micro Hei is what the setup
// script installs, the others are preferred where present.
void useChineseFont(QApplication& app) {
    QFont font = app.font();
    font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Source Han Sans SC"),
                      QStringLiteral("WenQuanYi Micro Hei"), font.family()});
    if (font.pointSizeF() < 10) font.setPointSizeF(10);
    app.setFont(font);
}

// Qt's own dialogs (file dialogs, context menus) in Chinese, when Qt's
// translations are installed.
void installQtTranslation(QApplication& app) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(translator);
}

// The exit status when the account-set directory cannot be locked (as
// tallowick-cli's).
constexpr int kExitDirectoryInUse = 5;

// Hidden developer option: --screenshot FILE writes a picture of the main
// window (or of the message that refuses a second program) and quits. The
// texts of the messages shown meanwhile go to FILE with the extension .txt
// (see PicturePrompter).
QString screenshotPath(const QStringList& args) {
    const qsizetype i = args.indexOf(QStringLiteral("--screenshot"));
    return i >= 0 && i + 1 < args.size() ? args.at(i + 1) : QString();
}

// The prompter of a --screenshot run. A message is shown without waiting for
// its button, so that the run can picture it and quit, and its text is added
// to the text file beside the picture: UTF-8, one message a line, a
// message's own line breaks written as the escapes \r and \n (a backslash as
// \\). Whoever started the run (the process tests) reads there what the
// program said.
class PicturePrompter : public tw::WindowPrompter {
public:
    explicit PicturePrompter(const QString& shot) {
        const QFileInfo picture(shot);
        m_textFile = picture.dir().filePath(picture.completeBaseName() + QStringLiteral(".txt"));
        QFile::remove(m_textFile);  // what an earlier run said is not this run's
    }
    // The message windows still open go with the prompter, before the application.
    ~PicturePrompter() override {
        for (const QPointer<QWidget>& window : m_shown) delete window.data();
    }
    PicturePrompter(const PicturePrompter&) = delete;
    PicturePrompter& operator=(const PicturePrompter&) = delete;

    void showMessage(QWidget* parent, const QString& text) override {
        auto* window = new tw::MessageWindow(text, parent);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        m_shown.emplace_back(window);
        QString line = text;
        line.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
            .replace(QLatin1Char('\r'), QStringLiteral("\\r"))
            .replace(QLatin1Char('\n'), QStringLiteral("\\n"));
        QFile file(m_textFile);
        if (file.open(QIODevice::WriteOnly | QIODevice::Append))
            file.write(line.toUtf8() + '\n');
    }

    // The message window shown last, while it is open.
    QWidget* lastMessage() const { return m_shown.empty() ? nullptr : m_shown.back().data(); }

private:
    QString m_textFile;
    std::vector<QPointer<QWidget>> m_shown;
};

// The account-set directory cannot be locked at all: no set could be taken
// safely, so the program says so and ends, having touched nothing. With
// --screenshot the message is pictured instead of waiting for its button.
int refuseSecondProgram(const QString& shot) {
    const QString text = QString::fromUtf8(tw::kDirectoryInUse);
    if (shot.isEmpty()) {
        tw::WindowPrompter prompter;
        prompter.showMessage(nullptr, text);
        return kExitDirectoryInUse;
    }
    PicturePrompter prompter(shot);
    prompter.showMessage(nullptr, text);
    QTimer::singleShot(200, qApp, [&prompter, shot] {
        QWidget* message = prompter.lastMessage();
        QApplication::exit(message && message->grab().save(shot) ? kExitDirectoryInUse : 1);
    });
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tallowick"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    useChineseFont(app);
    installQtTranslation(app);

    tw::Session session;
    session.dataDir = tw::defaultDataDir();
    const QString shot = screenshotPath(QApplication::arguments());
    // The start-up clean-up runs under the directory lock, let go of at once:
    // the program takes the set it logs into (shell/set_lock.h). A failure to
    // make the directory is silent: creating a set reports it.
    if (tw::startUp(session.dataDir).state() == tw::DirectoryLock::State::Unavailable)
        return refuseSecondProgram(shot);
    app.logFile = session.dataDir / "tallowick.log";

    // A picture run shows its messages without waiting and notes their texts.
    tw::WindowPrompter windowPrompter;
    std::unique_ptr<PicturePrompter> picturePrompter;
    tw::Prompter* prompter = &windowPrompter;
    if (!shot.isEmpty()) {
        picturePrompter = std::make_unique<PicturePrompter>(shot);
        prompter = picturePrompter.get();
    }
    tw::AppContext ctx{session, *prompter};
    tw::MainWindow window(ctx);
    window.show();

    if (!shot.isEmpty()) {
        QTimer::singleShot(200, &window, [&window, shot] {
            const bool saved = window.grab().save(shot);
            QApplication::exit(saved ? 0 : 1);
        });
        return app.exec();
    }

    // The account-set chooser, modal over the main window once it shows.
    QTimer::singleShot(0, &window, [&window] { window.showSetChooser(); });
    return app.exec();
}
