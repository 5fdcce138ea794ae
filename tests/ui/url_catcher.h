#pragma once
// Catches the file URLs the desktop is asked to open, in place of opening
// them: QDesktopServices::setUrlHandler("file", &catcher, "open").

#include <QList>
#include <QObject>
#include <QUrl>

namespace tw::test {

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

}  // namespace tw::test
