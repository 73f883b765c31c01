#include "FicheliaApplication.h"

#include <exception>

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace fichelia {

FicheliaApplication::FicheliaApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Fichelia"));
}

void FicheliaApplication::reportError(const QString& message) const {
    if (m_reportError) {
        m_reportError(message);
    }
}

bool FicheliaApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        reportError(QString::fromUtf8(error.what()));
    } catch (...) {
        reportError(QStringLiteral("Erreur inattendue"));
    }
    return false;
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
