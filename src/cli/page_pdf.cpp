#include "cli/page_pdf.h"

#include <QGuiApplication>
#include <QtGlobal>
#include <QString>
#include <cstdlib>
#include <memory>

#include "platform/print/page_painting.h"
#include "storage/file_swap.h"
#include "storage/paths.h"
#include "storage/user_files.h"

namespace tw::cli {

bool writePagePdf(Context& ctx, const PageGrid& grid, const std::string& file,
                  const SheetFooter& footer) {
    return writePagePdf(ctx, std::vector<PageGrid>{grid}, file, footer);
}

bool writePagePdf(Context& ctx, const std::vector<PageGrid>& grids, const std::string& file,
                  const SheetFooter& footer) {
    const std::filesystem::path target = std::filesystem::u8path(file);
    if (const TargetProblem problem = userFileTargetProblem(target, ctx.dataDir);
        problem != TargetProblem::None) {
        ctx.refuse(targetRefusal(problem, target));
        return false;
    }
    // Qt's own notices (a missing runtime folder, say) are not the command's
    // output: stderr carries the system's messages only.
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    // Painting text needs an application object for the length of the job.
    std::unique_ptr<QGuiApplication> app;
    if (!QGuiApplication::instance()) {
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "tallowick-cli";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    QString error;
    const bool written = writeUserFile(target, ctx.dataDir, [&](const std::filesystem::path& tmp) {
        return writePdf(grids, QString::fromStdString(pathText(tmp)), &error, footer);
    });
    app.reset();
    qInstallMessageHandler(previous);
    // Qt's reason (error) is no message for the user; what the folder and
    // the disk say now is.
    if (!written) ctx.refuse(userFileFailure(target), 3);
    return written;
}

}  // namespace tw::cli
