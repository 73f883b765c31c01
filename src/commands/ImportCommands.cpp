#include "commands/ImportCommands.h"

#include <algorithm>
#include <string>
#include <vector>

#include <QFileInfo>

#include "commands/ErrorText.h"
#include "exchange/ContactImport.h"
#include "exchange/ImportWords.h"
#include "page/PageReader.h"

namespace fichelia {

namespace {

using exchange::ImportReport;

// Long lists of one file's problems are cut after this many lines.
constexpr std::size_t kListedAtMost = 10;

struct FileImport {
    QString name; // the file's name, without its folder
    ImportReport report;
    QString refusal; // why none of its contacts may be added; empty when they may
    std::size_t count = 0;
};

Result<std::string> readWhole(Files& files, const QString& path) {
    auto source = files.openForReading(path);
    if (!source) {
        return source.error();
    }
    std::string bytes;
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const Result<std::size_t> count = (*source)->read(buffer.data(), buffer.size());
        if (!count) {
            return count.error();
        }
        if (*count == 0) {
            return bytes;
        }
        bytes.append(buffer.data(), *count);
    }
}

// The importers refuse HTML by name; a directory page is read as the open
// command reads it.
bool isHtml(const ImportReport& report) {
    return report.refusal && report.refusal->problem == exchange::ImportProblem::OtherFileKind &&
           report.refusal->detail == "HTML";
}

ImportReport readPage(std::string_view bytes) {
    ImportReport report;
    MemoryByteSource source(bytes);
    const Result<PageReading> read = ReadDirectoryPage(
        source, [&report](Contact&& record) { report.records.push_back(std::move(record)); },
        [&report](long line) {
            report.skipped.push_back(exchange::ImportIssue{exchange::ImportProblem::PageLineDamaged, line, {}});
        });
    if (!read) {
        report.records.clear();
        report.skipped.clear();
        report.refusal = exchange::ImportIssue{exchange::ImportProblem::OutOfMemory, 0, {}};
    }
    return report;
}

// A text from a file, on one line of the box.
QString oneLine(const std::string& text) {
    QString shown = QString::fromStdString(text);
    for (QChar& c : shown) {
        if (c.category() == QChar::Other_Control) {
            c = QLatin1Char('?');
        }
    }
    return shown;
}

// A line of the box from the words' table, on one line of the box.
QString lineOf(long line, const std::string& text) {
    return oneLine(words::atLine(line, text));
}

FileImport importFile(Files& files, const QString& path) {
    FileImport file{QFileInfo(path).fileName(), {}, {}, 0};
    Result<std::string> bytes = readWhole(files, path);
    if (!bytes) {
        file.refusal = QStringLiteral("impossible de le lire : %1").arg(reasonText(bytes.error()));
        return file;
    }
    file.report = exchange::importContacts(*bytes);
    if (isHtml(file.report)) {
        file.report = readPage(*bytes);
    }
    if (file.report.refusal) {
        file.refusal = lineOf(file.report.refusal->line, words::problemText(*file.report.refusal));
    }
    file.count = file.report.records.size();
    return file;
}

QString contacts(std::size_t count) {
    return QString::fromStdString(words::countText(static_cast<long long>(count), "contact", "contacts"));
}

// Adds up to kListedAtMost lines, then says how many more there were.
template <typename List, typename Text> void listLines(QStringList& lines, const List& items, Text text) {
    const std::size_t shown = std::min(items.size(), kListedAtMost);
    for (std::size_t i = 0; i < shown; ++i) {
        lines << QStringLiteral("    ") + text(items[i]);
    }
    if (shown < items.size()) {
        lines << QStringLiteral("    ") + QString::fromStdString(words::moreText(items.size() - shown));
    }
}

// What one file gave, and what of it was left out.
QStringList fileLines(const FileImport& file) {
    const ImportReport& report = file.report;
    QStringList lines{QStringLiteral("« %1 » : %2").arg(file.name, contacts(file.count))};
    listLines(lines, report.skipped, [&report](const exchange::ImportIssue& issue) {
        return oneLine(words::skippedText(report.format, issue));
    });
    listLines(lines, report.leftOutSites,
              [](const exchange::LeftOutSite& site) { return lineOf(site.line, words::leftOutSiteText(site)); });
    listLines(lines, report.standIns, [](const exchange::StandInName& standIn) {
        return lineOf(standIn.line, words::standInText(standIn.from));
    });
    if (!report.leftOut.empty()) {
        QStringList kinds;
        for (const exchange::LeftOut& kind : report.leftOut) {
            kinds << oneLine(words::leftOutCountText(kind));
        }
        lines << QStringLiteral("    %1 : %2")
                     .arg(QString::fromUtf8(words::kLeftOutHeading.data(), qsizetype(words::kLeftOutHeading.size())),
                          kinds.join(QStringLiteral(", ")));
    }
    return lines;
}

// The boxes' first lines are always ours: a text from a file that looks like
// HTML never reaches the first line, where the box would take it for markup.
QString refusedText(const std::vector<FileImport>& imports) {
    QStringList lines{QStringLiteral("Aucun contact n'a été ajouté : la liste n'a pas été modifiée.")};
    std::size_t refused = 0;
    for (const FileImport& file : imports) {
        if (!file.refusal.isEmpty()) {
            lines << QStringLiteral("« %1 » : %2.").arg(file.name, file.refusal);
            ++refused;
        }
    }
    if (refused < imports.size()) {
        lines << QStringLiteral("Les contacts des autres fichiers n'ont pas été ajoutés non plus : déposez-les sans "
                                "%1 pour les ajouter.")
                     .arg(refused == 1 ? QStringLiteral("celui-ci") : QStringLiteral("ceux-ci"));
    }
    return lines.join(QLatin1Char('\n'));
}

QString addedText(const std::vector<FileImport>& imports, std::size_t added) {
    QStringList lines{added == 0
                          ? imports.size() == 1
                                ? QStringLiteral("Aucun contact n'a été ajouté : ce fichier n'en contient pas.")
                                : QStringLiteral("Aucun contact n'a été ajouté : ces fichiers n'en contiennent pas.")
                      : added == 1 ? QStringLiteral("1 contact a été ajouté à la liste.")
                                   : QStringLiteral("%1 ont été ajoutés à la liste.").arg(contacts(added))};
    for (const FileImport& file : imports) {
        lines << fileLines(file);
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

void ImportCommands::addFiles(DirectoryList& list, const QStringList& paths) {
    std::vector<FileImport> imports;
    bool refused = false;
    std::size_t added = 0;
    Result<void> taken;
    {
        const BusyCursor busy(m_dialogs);
        for (const QString& path : paths) {
            imports.push_back(importFile(m_files, path));
            refused = refused || !imports.back().refusal.isEmpty();
        }
        if (!refused) {
            std::vector<Contact> records;
            for (FileImport& file : imports) {
                added += file.count;
                std::move(file.report.records.begin(), file.report.records.end(), std::back_inserter(records));
            }
            taken = list.addAll(std::move(records));
        }
    }
    if (refused) {
        m_dialogs.showMessage(refusedText(imports));
    } else if (!taken) {
        m_dialogs.showError(kCannotInsert);
    } else {
        m_dialogs.showMessage(addedText(imports, added));
    }
}

} // namespace fichelia
