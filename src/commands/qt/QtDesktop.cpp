#include "commands/qt/QtDesktop.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QStandardPaths>
#include <QUrl>

namespace fichelia {

bool QtDesktop::openAddress(const QString& address) {
    return QDesktopServices::openUrl(QUrl(address));
}

bool QtDesktop::openLocalFile(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QString QtDesktop::executableFolder() const {
    return QCoreApplication::applicationDirPath();
}

QString QtDesktop::cacheFolder() const {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
    }
    return folder;
}

} // namespace fichelia
