// Window tests need a QApplication before any widget exists.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

namespace {

// The offscreen platform warns about every dialog it cannot size natively;
// the warning says nothing about the program under test.
QtMessageHandler defaultHandler = nullptr;

void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("does not support propagateSizeHints"))) return;
    defaultHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    // Offscreen unless told otherwise: ctest lists the tests by running this
    // program without the tests' environment, and there may be no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    defaultHandler = qInstallMessageHandler(quietHandler);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // The windows' settings (the backup folder) go to a folder of the run's
    // own, never into the user's settings.
    QTemporaryDir settings;
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, settings.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
