#include "window/FicheliaApplication.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstring>

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

// The texts Qt's French translation lacks: Qt 6 moved the file types'
// words to a context qtbase_fr.qm does not have, so the file dialog's
// detail view called a folder "Folder".
class MissingQtTexts final : public QTranslator {
public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }

    QString translate(const char* context, const char* sourceText, const char* /*disambiguation*/,
                      int /*n*/) const override {
        static constexpr const char* kFileTypes[][2] = {
            {"Drive", "Lecteur"},   {"File", "Fichier"},     {"File Folder", "Dossier de fichiers"},
            {"Folder", "Dossier"},  {"Alias", "Alias"},      {"Shortcut", "Raccourci"},
            {"Unknown", "Inconnu"},
        };
        if (context == nullptr || sourceText == nullptr || std::strcmp(context, "QAbstractFileIconProvider") != 0) {
            return {};
        }
        for (const auto& text : kFileTypes) {
            if (std::strcmp(sourceText, text[0]) == 0) {
                return QString::fromUtf8(text[1]);
            }
        }
        return {};
    }
};

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
    installTranslator(new MissingQtTexts(this));
}

} // namespace fichelia
