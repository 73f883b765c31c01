#include "commands/PageCommands.h"

#include <vector>

#include <QDir>
#include <QFileInfo>

#include "commands/ErrorText.h"
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

void PageCommands::open(DirectoryList& list, const Contact& form) {
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
    Result<void> read;
    {
        const BusyCursor busy(m_dialogs);
        read =
            ReadDirectoryPage(**source, form, [&records](Contact&& record) { records.push_back(std::move(record)); });
    }
    if (!read) {
        m_dialogs.showMessage(QStringLiteral("Impossible de lire l'annuaire « %1 » jusqu'au bout : %2.")
                                  .arg(choice->path, reasonText(read.error())) +
                              unchanged);
        return;
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
