#include "window/FicheliaApplication.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "FicheliaRelease.h"

#ifdef FICHELIA_QT_TRANSLATIONS_BUILT_IN
// Q_INIT_RESOURCE must be used outside any namespace.
static void registerQtTranslations() { Q_INIT_RESOURCE(qt_translations); }
#endif

namespace fichelia {

namespace {

// Where Qt's own translations are: compiled into the program where the system
// has no Qt of its own (Windows), else the Qt installation's folder.
QString qtTranslationsFolder() {
#ifdef FICHELIA_QT_TRANSLATIONS_BUILT_IN
    registerQtTranslations();
    return QStringLiteral(":/translations");
#else
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#endif
}

} // namespace

FicheliaApplication::FicheliaApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Fichelia"));
    setApplicationVersion(QString::fromUtf8(kVersion.data(), static_cast<qsizetype>(kVersion.size())));
    // Lets the desktop match the window with its menu entry and icon.
    setDesktopFileName(QString::fromUtf8(kApplicationId.data(), static_cast<qsizetype>(kApplicationId.size())));
}

void FicheliaApplication::loadFrenchTranslation() {
    auto* translator = new QTranslator(this);
    if (translator->load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                         qtTranslationsFolder())) {
        installTranslator(translator);
    } else {
        delete translator;
    }
}

} // namespace fichelia
