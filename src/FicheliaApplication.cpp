#include "FicheliaApplication.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "FicheliaRelease.h"

namespace fichelia {

FicheliaApplication::FicheliaApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Fichelia"));
    setApplicationVersion(QString::fromUtf8(kVersion.data(), static_cast<qsizetype>(kVersion.size())));
    // Lets the desktop match the window with its menu entry and icon.
    setDesktopFileName(QString::fromUtf8(kApplicationId.data(), static_cast<qsizetype>(kApplicationId.size())));
}

void FicheliaApplication::loadFrenchTranslation() {
    auto* translator = new QTranslator(this);
    if (translator->load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        installTranslator(translator);
    } else {
        delete translator;
    }
}

} // namespace fichelia
