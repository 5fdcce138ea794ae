// The desktop program: prepares the account-set directory and shows the main
// window.
#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringList>
#include <QTimer>
#include <QTranslator>

#include "shell/session.h"
#include "shell/set_folders.h"
#include "shell/ui/app_context.h"
#include "shell/ui/main_window.h"
#include "shell/ui/window_prompter.h"
#include "storage/paths.h"
#include "storage/record_store.h"
#include "storage/startup.h"

namespace {

// The last line of defence: an operation that fails unexpectedly (a full disk,
// a damaged file) has already rolled its writes back by the time its exception
// gets here; tell the user and keep the program running.
class Application : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const tw::StoreError& e) {
            report(e.userMessage().empty() ? QString::fromStdString(e.what())
                                           : QString::fromStdString(e.userMessage()));
        } catch (const std::exception& e) {
            report(QStringLiteral("操作没有完成，数据未作改动：") + QString::fromStdString(e.what()));
        }
        return false;
    }

private:
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

// Hidden developer option: --screenshot FILE writes a picture of the main
// window and quits.
QString screenshotPath(const QStringList& args) {
    const qsizetype i = args.indexOf(QStringLiteral("--screenshot"));
    return i >= 0 && i + 1 < args.size() ? args.at(i + 1) : QString();
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
    tw::prepareDataDir(session.dataDir);  // silent on failure: creating a set reports it
    tw::clearWorkLeftovers(session.dataDir);  // what a killed creation or restore left

    tw::WindowPrompter prompter;
    tw::AppContext ctx{session, prompter};
    tw::MainWindow window(ctx);
    window.show();

    const QString shot = screenshotPath(QApplication::arguments());
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
