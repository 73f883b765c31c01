#include "commands/ImportCommands.h"

#include <algorithm>
#include <functional>
#include <numeric>
#include <string>
#include <string_view>
#include <unordered_set>
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
    std::vector<bool> repeated;         // by record: equal to one already in the list or earlier in the drop
    std::size_t repeats = 0;            // how many are
    std::vector<std::string> namesakes; // the names of those added beside another contact of that name
};

// The eight fields hashed together, so that a drop of 50,000 contacts finds
// those already there in one pass.
struct ContactHash {
    std::size_t operator()(const Contact* record) const noexcept {
        std::size_t hash = 0;
        for (const RecordField& field : kRecordFields) {
            hash ^= std::hash<std::string_view>{}(record->*field.text) + 0x9e3779b97f4a7c15ULL + (hash << 6) +
                    (hash >> 2);
        }
        return hash;
    }
};

struct SameContact {
    bool operator()(const Contact* a, const Contact* b) const { return *a == *b; }
};

// Marks the files' contacts equal in their eight fields to one in the list or
// to one before them in the drop, which are not added, and notes the names of
// the others that another contact, in the list or before them, bears too.
void sortOutRepeats(const DirectoryList& list, std::vector<FileImport>& imports) {
    std::size_t total = static_cast<std::size_t>(list.count());
    for (const FileImport& file : imports) {
        total += file.count;
    }
    std::unordered_set<const Contact*, ContactHash, SameContact> seen;
    std::unordered_set<std::string_view> names;
    seen.reserve(total);
    names.reserve(total);
    for (int i = 0; i < list.count(); ++i) {
        seen.insert(&list.recordAt(i));
        names.insert(list.recordAt(i).name);
    }
    for (FileImport& file : imports) {
        file.repeated.assign(file.report.records.size(), false);
        for (std::size_t i = 0; i < file.report.records.size(); ++i) {
            const Contact& record = file.report.records[i];
            if (!seen.insert(&record).second) {
                file.repeated[i] = true;
                ++file.repeats;
            } else if (!names.insert(record.name).second && !record.name.empty()) {
                file.namesakes.push_back(record.name);
            }
        }
    }
}

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
    FileImport file{QFileInfo(path).fileName(), {}, {}, 0, {}, 0, {}};
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

QString contacts(std::size_t n) {
    return QString::fromStdString(words::countText(static_cast<long long>(n), "contact", "contacts"));
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
    if (file.repeats > 0) {
        lines << (file.repeats == 1 ? QStringLiteral("    1 contact déjà présent, non ajouté")
                                    : QStringLiteral("    %1 déjà présents, non ajoutés").arg(contacts(file.repeats)));
    }
    listLines(lines, file.namesakes,
              [](const std::string& name) { return QStringLiteral("homonyme ajouté : %1").arg(oneLine(name)); });
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

QString count(std::size_t n, const char* singular, const char* plural) {
    return QString::fromStdString(words::countText(static_cast<long long>(n), singular, plural));
}

// The box: a short summary, all in our words (a text from a file that looks
// like HTML would be taken for markup there), and the details file by file.
struct Report {
    QStringList summary;
    QStringList details;
};

Report refusedReport(const std::vector<FileImport>& imports) {
    Report report{{QStringLiteral("Aucun contact n'a été ajouté : la liste n'a pas été modifiée.")}, {}};
    std::size_t refused = 0;
    for (const FileImport& file : imports) {
        if (!file.refusal.isEmpty()) {
            report.details << QStringLiteral("« %1 » : %2.").arg(file.name, file.refusal);
            ++refused;
        }
    }
    report.summary << QStringLiteral("%1, pour les raisons dites ci-dessous.")
                          .arg(count(refused, "fichier refusé", "fichiers refusés"));
    if (refused < imports.size()) {
        report.summary << QStringLiteral("Les contacts des autres fichiers n'ont pas été ajoutés non plus : "
                                         "déposez-les sans %1 pour les ajouter.")
                              .arg(refused == 1 ? QStringLiteral("celui-ci") : QStringLiteral("ceux-ci"));
    }
    return report;
}

// What was left out of all the files, in a line; empty when nothing was.
QString leftOutLine(const std::vector<FileImport>& imports) {
    std::size_t unread = 0;
    std::size_t sites = 0;
    std::size_t values = 0;
    for (const FileImport& file : imports) {
        unread += file.report.skipped.size();
        sites += file.report.leftOutSites.size();
        for (const exchange::LeftOut& kind : file.report.leftOut) {
            values += kind.count;
        }
    }
    QStringList parts;
    if (unread > 0) {
        parts << count(unread, "passage illisible", "passages illisibles");
    }
    if (sites > 0) {
        parts << count(sites, "adresse de site qui ferait exécuter du code",
                       "adresses de site qui feraient exécuter du code");
    }
    if (values > 0) {
        parts << count(values, "valeur sans champ", "valeurs sans champ");
    }
    return parts.isEmpty() ? QString() : QStringLiteral("Laissé de côté : %1.").arg(parts.join(QStringLiteral(", ")));
}

Report addedReport(const std::vector<FileImport>& imports, std::size_t added) {
    std::size_t given = 0;
    std::size_t repeats = 0;
    std::size_t namesakes = 0;
    for (const FileImport& file : imports) {
        given += file.count;
        repeats += file.repeats;
        namesakes += file.namesakes.size();
    }
    QStringList lines;
    if (given == 0) {
        lines << (imports.size() == 1
                      ? QStringLiteral("Aucun contact n'a été ajouté : ce fichier n'en contient pas.")
                      : QStringLiteral("Aucun contact n'a été ajouté : ces fichiers n'en contiennent pas."));
    } else if (added == 0) {
        lines << (given == 1 ? QStringLiteral("Aucun contact n'a été ajouté : la liste le contient déjà.")
                             : QStringLiteral("Aucun contact n'a été ajouté : la liste les contient déjà."));
    } else {
        lines << (added == 1 ? QStringLiteral("1 contact a été ajouté à la liste.")
                             : QStringLiteral("%1 ont été ajoutés à la liste.").arg(contacts(added)));
        if (repeats > 0) {
            lines << (repeats == 1 ? QStringLiteral("1 contact déjà présent n'a pas été ajouté.")
                                   : QStringLiteral("%1 déjà présents n'ont pas été ajoutés.").arg(contacts(repeats)));
        }
    }
    if (namesakes > 0) {
        lines << (namesakes == 1 ? QStringLiteral("1 homonyme a été ajouté : il porte le nom d'un autre contact, sans "
                                                  "lui être identique.")
                                 : QStringLiteral("%1 ont été ajoutés : ils portent le nom d'autres contacts, sans leur "
                                                  "être identiques.")
                                       .arg(count(namesakes, "homonyme", "homonymes")));
    }
    if (const QString leftOut = leftOutLine(imports); !leftOut.isEmpty()) {
        lines << leftOut;
    }
    Report report{lines, {}};
    for (const FileImport& file : imports) {
        report.details << fileLines(file);
    }
    return report;
}

void show(Dialogs& dialogs, const Report& report) {
    dialogs.showReport(report.summary.join(QLatin1Char('\n')), report.details.join(QLatin1Char('\n')));
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
            sortOutRepeats(list, imports);
            std::vector<Contact> records;
            records.reserve(std::accumulate(imports.begin(), imports.end(), std::size_t{0},
                                            [](std::size_t sum, const FileImport& file) { return sum + file.count; }));
            for (FileImport& file : imports) {
                for (std::size_t i = 0; i < file.report.records.size(); ++i) {
                    if (!file.repeated[i]) {
                        records.push_back(std::move(file.report.records[i]));
                    }
                }
            }
            added = records.size();
            taken = list.addAll(std::move(records));
        }
    }
    if (refused) {
        show(m_dialogs, refusedReport(imports));
    } else if (!taken) {
        m_dialogs.showError(kCannotInsert);
    } else {
        show(m_dialogs, addedReport(imports, added));
    }
}

} // namespace fichelia
