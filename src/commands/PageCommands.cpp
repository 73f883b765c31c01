#include "commands/PageCommands.h"

#include <vector>

#include <QDir>
#include <QFileInfo>

#include "commands/ErrorText.h"
#include "exchange/ImportWords.h"
#include "page/PageReader.h"
#include "page/PageWriter.h"

namespace fichelia {

QStringList pageFilters() {
    return {QStringLiteral("Fichier HTML (*.html)"), QStringLiteral("Fichier HTM (*.htm)")};
}

QString withPageExtension(const QString& chosen, int filterIndex) {
    const qsizetype dot = chosen.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0) {
        const QString extension = chosen.mid(dot + 1);
        if (extension.compare(QLatin1String("htm"), Qt::CaseInsensitive) == 0 ||
            extension.compare(QLatin1String("html"), Qt::CaseInsensitive) == 0) {
            return chosen;
        }
    }
    return chosen + (filterIndex == 1 ? QStringLiteral(".html") : QStringLiteral(".htm"));
}

void PageCommands::save(const DirectoryList& list) {
    const std::string page = BuildDirectoryPage(list);
    const auto choice = m_dialogs.chooseFileToSave(kPageDialogTitle, pageFilters(), 1);
    if (!choice) {
        return;
    }
    const QString path = withPageExtension(choice->path, choice->filterIndex);
    const auto cannotSave = [&path](Error error) {
        return QStringLiteral("Impossible d'enregistrer l'annuaire dans « %1 » : %2.").arg(path, reasonText(error));
    };
    const Files::Kind kind = m_files.kind(path);
    if (kind == Files::Kind::Folder) {
        m_dialogs.showMessage(cannotSave(Error::IsFolder));
        return;
    }
    // The dialog asked about the name it returned; a different file that the
    // extension leads to is not replaced without asking either.
    if (path != choice->path && kind == Files::Kind::File &&
        !m_dialogs.confirm(QStringLiteral("Le fichier « %1 » existe déjà.\nVoulez-vous le remplacer ?")
                               .arg(QFileInfo(path).fileName()))) {
        return;
    }
    Result<void> saved;
    {
        const BusyCursor busy(m_dialogs);
        saved = m_files.replace(path, page);
    }
    if (!saved) {
        m_dialogs.showMessage(cannotSave(saved.error()) + (kind == Files::Kind::File
                                                               ? QStringLiteral("\nLe fichier n'a pas été modifié.")
                                                               : QString()));
    }
}

namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// What the page's damaged lines are: "La ligne 14 de cette page n'a pas pu
// être lue", "2 lignes de cette page n'ont pas pu être lues (la première est
// la ligne 14)".
QString damagedText(const PageReading& reading) {
    const QString first = QString::number(reading.firstDamagedLine); // a place: written whole
    if (reading.damagedLines == 1) {
        return QStringLiteral("La ligne %1 de cette page n'a pas pu être lue").arg(first);
    }
    return QStringLiteral("%1 de cette page n'ont pas pu être lues (la première est la ligne %2)")
        .arg(fromUtf8(words::countText(reading.damagedLines, "ligne", "lignes")), first);
}

// Whether to open the readable contacts of a page with damaged lines.
QString openReadableQuestion(const PageReading& reading, std::size_t readable) {
    const QString contacts = readable == 1 ? QStringLiteral("le seul contact lisible")
                                           : QStringLiteral("les %1 contacts lisibles")
                                                 .arg(fromUtf8(words::numberText(static_cast<long long>(readable))));
    return QStringLiteral("%1.\nOuvrir %2 ?").arg(damagedText(reading), contacts);
}

} // namespace

void PageCommands::open(DirectoryList& list) {
    const auto choice = m_dialogs.chooseFileToOpen(kPageDialogTitle, pageFilters(), 1);
    if (!choice) {
        return;
    }
    const QString unchanged = QStringLiteral("\nLa liste n'a pas été modifiée.");
    auto source = m_files.openForReading(choice->path);
    if (!source) {
        m_dialogs.showMessage(QStringLiteral("Impossible d'ouvrir l'annuaire « %1 » : %2.")
                                  .arg(choice->path, reasonText(source.error())) +
                              unchanged);
        return;
    }
    std::vector<Contact> records;
    const Result<PageReading> read = [&] {
        const BusyCursor busy(m_dialogs);
        return ReadDirectoryPage(**source, [&records](Contact&& record) { records.push_back(std::move(record)); });
    }();
    if (!read) {
        m_dialogs.showMessage(QStringLiteral("Impossible de lire l'annuaire « %1 » jusqu'au bout : %2.")
                                  .arg(choice->path, reasonText(read.error())) +
                              unchanged);
        return;
    }
    if (!read->isPage) {
        m_dialogs.showMessage(
            QStringLiteral("Impossible d'ouvrir « %1 » : ce fichier n'est pas un annuaire Web.").arg(choice->path) +
            unchanged);
        return;
    }
    if (read->damagedLines > 0) {
        if (records.empty()) {
            m_dialogs.showMessage(QStringLiteral("Impossible d'ouvrir l'annuaire « %1 » : aucun de ses contacts n'a "
                                                 "pu être lu.\n%2.")
                                      .arg(choice->path, damagedText(*read)) +
                                  unchanged);
            return;
        }
        if (!m_dialogs.ask(openReadableQuestion(*read, records.size()))) {
            return;
        }
    }
    Result<void> replaced;
    {
        const BusyCursor busy(m_dialogs);
        replaced = list.replaceAll(std::move(records));
    }
    if (!replaced) {
        m_dialogs.showError(kCannotInsert);
    }
}

void PageCommands::preview(const DirectoryList& list) {
    const std::string page = BuildDirectoryPage(list);
    QStringList failures;
    for (const QString& folder : {m_desktop.executableFolder(), m_desktop.cacheFolder()}) {
        if (folder.isEmpty()) {
            continue;
        }
        const QString path = folder + QLatin1Char('/') + kPreviewFileName;
        const Result<void> written = m_files.replace(path, page);
        if (written) {
            if (!m_desktop.openLocalFile(path)) {
                m_dialogs.showMessage(QStringLiteral("Aucun navigateur Web n'a pu s'ouvrir pour montrer l'aperçu.\n"
                                                     "L'aperçu est dans « %1 » : ouvrez ce fichier avec votre "
                                                     "navigateur.")
                                          .arg(QDir::toNativeSeparators(path)));
            }
            return;
        }
        failures << QStringLiteral("« %1 » : %2").arg(path, reasonText(written.error()));
    }
    m_dialogs.showMessage(
        QStringLiteral("Impossible d'écrire l'aperçu de l'annuaire.\n%1.").arg(failures.join(QStringLiteral(" ;\n"))));
}

} // namespace fichelia
