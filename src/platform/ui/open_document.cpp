#include "platform/ui/open_document.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>
#include <system_error>

namespace tw {

QString noSpreadsheetMessage(const std::filesystem::path& file) {
    return QString::fromUtf8(kNoSpreadsheetProgram) + QStringLiteral("\r\n文件已保存在：") +
           QString::fromStdString(file.string());
}

bool openDocument(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return false;
    const auto absolute = std::filesystem::absolute(file, ec);
    if (ec) return false;
    return QDesktopServices::openUrl(
        QUrl::fromLocalFile(QString::fromStdString(absolute.string())));
}

}  // namespace tw
