#include "platform/ui/run_program.h"

#include <QProcess>
#include <QString>

namespace tw {

bool runProgram(const std::filesystem::path& executable) {
    return QProcess::startDetached(QString::fromStdString(executable.string()), {});
}

}  // namespace tw
