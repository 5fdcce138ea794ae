#include "platform/ui/run_program.h"

#include <QObject>
#include <QProcess>
#include <QString>

namespace tw {

namespace {

// A launcher ends in a moment; this is only a bound on a stuck one.
constexpr int kLauncherWaitMs = 5000;

}  // namespace

bool runProgram(const std::filesystem::path& executable) {
    return QProcess::startDetached(QString::fromStdString(executable.string()), {});
}

Launch runLauncher(const std::filesystem::path& launcher) {
    // Without a parent: a launcher still running when the wait is over is
    // left alone, never killed with the object that runs it.
    auto* process = new QProcess;
    process->setProgram(QString::fromStdString(launcher.string()));
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start();
    if (!process->waitForStarted(kLauncherWaitMs)) {
        delete process;
        return Launch::Failed;
    }
    if (!process->waitForFinished(kLauncherWaitMs)) {
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return Launch::Started;
    }
    const bool normal = process->exitStatus() == QProcess::NormalExit;
    const int status = process->exitCode();
    delete process;
    if (normal && status == 0) return Launch::Started;
    if (normal && status == kLauncherFoundNone) return Launch::NotFound;
    return Launch::Failed;
}

}  // namespace tw
