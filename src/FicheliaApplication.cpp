#include "FicheliaApplication.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace fichelia {

FicheliaApplication::FicheliaApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Fichelia"));
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
