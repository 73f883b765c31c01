#include "WriteCommand.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <variant>

#include "Destination.h"
#include "directory/DirectoryList.h"
#include "exchange/ImportWords.h"
#include "page/PageWriter.h"
#include "platform/Console.h"

namespace fichelia::tool {

namespace {

// The whole of a stream, or false on a read error. Reads into the room
// already reserved first, so that a file of known size takes one read.
bool readAll(std::FILE* stream, std::string& bytes) {
    constexpr std::size_t kChunk = 1 << 20;
    std::size_t size = 0;
    for (;;) {
        const std::size_t room = std::max(bytes.capacity(), size + kChunk) - size;
        bytes.resize(size + room);
        const std::size_t count = std::fread(bytes.data() + size, 1, room, stream);
        size += count;
        if (count < room) {
            bytes.resize(size);
            return std::ferror(stream) == 0;
        }
    }
}

// An address from a file, shown without the control characters it may hold.
std::string printable(std::string_view text) {
    std::string shown;
    for (const char c : text) {
        shown += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
    }
    return shown;
}

// Long lists of the same problem are cut after this many lines.
constexpr std::size_t kListedAtMost = 20;

// One line of the report on standard error.
void say(std::string_view text) {
    std::fprintf(stderr, "fichelia-page: %s\n", printable(text).c_str());
}

// Each item's line, the first kListedAtMost of them, then how many more there were.
template <typename List, typename Text> void sayListed(const List& items, Text text) {
    const std::size_t shown = std::min(items.size(), kListedAtMost);
    for (std::size_t i = 0; i < shown; ++i) {
        say(text(items[i]));
    }
    if (shown < items.size()) {
        say(words::moreText(items.size() - shown));
    }
}

void reportSkipped(const exchange::ImportReport& report) {
    sayListed(report.skipped,
              [&report](const exchange::ImportIssue& issue) { return words::skippedText(report.format, issue); });
}

void reportRefusal(const exchange::ImportIssue& refusal) {
    say(words::atLine(refusal.line, words::problemText(refusal)));
    if (refusal.problem == exchange::ImportProblem::OtherFileKind && refusal.detail == "HTML") {
        say("une page d'annuaire se lit avec fichelia-page read");
    }
    say("aucune page écrite");
}

void report(const exchange::ImportReport& report) {
    sayListed(report.leftOutSites,
              [](const exchange::LeftOutSite& site) { return words::atLine(site.line, words::leftOutSiteText(site)); });
    sayListed(report.standIns, [](const exchange::StandInName& standIn) {
        return words::atLine(standIn.line, words::standInText(standIn.from));
    });
    sayListed(report.windows1252Lines, [](long line) { return words::atLine(line, words::windows1252LineText()); });
    reportSkipped(report);
    if (report.leftOut.empty()) {
        return;
    }
    say(std::string(words::kLeftOutHeading) + " :");
    for (const exchange::LeftOut& kind : report.leftOut) {
        std::fprintf(stderr, "  %s\n", printable(words::leftOutCountText(kind)).c_str());
    }
}

// The input as messages name it.
std::string inputName(const std::string& fileName) {
    return fileName.empty() ? std::string("l'entrée standard") : fileName;
}

// What was met in the input, its contacts packed into records; or an exit status.
std::variant<exchange::ImportReport, int> importInput(const WriteOptions& options, PackedRecords& records) {
    const console::File file = openInput(options.file);
    if (!file) {
        return kExitIoError;
    }
    if (outputIsTheInput(file.get(), options.output)) {
        return kExitBadInput;
    }
    std::string bytes;
    if (const auto size = console::fileSize(file.get())) {
        bytes.reserve(static_cast<std::size_t>(*size) + 1);
    }
    if (!readAll(file.get(), bytes)) {
        std::fprintf(stderr, "fichelia-page: impossible de lire %s : %s\n", inputName(options.file).c_str(),
                     words::reasonText(Error::ReadFailed).c_str());
        return kExitIoError;
    }
    // The input, one large block, is read before this: the system hands it
    // back as soon as the import is done with it, so that it does not add to
    // what the records and the page take afterwards.
    console::keepFreedMemoryForReuse();
    exchange::ImportOptions import = options.import;
    import.packInto = &records;
    return exchange::importContacts(bytes, import);
}

} // namespace

console::File openInput(const std::string& fileName) {
    if (fileName.empty()) {
        return console::File(stdin, [](std::FILE*) { return 0; });
    }
    Result<console::File> file = console::openForReading(fileName);
    if (file) {
        return std::move(*file);
    }
    switch (file.error()) {
    case Error::IsFolder: std::fprintf(stderr, "fichelia-page: %s est un dossier\n", fileName.c_str()); break;
    case Error::FileNotFound:
        std::fprintf(stderr, "fichelia-page: impossible d'ouvrir %s : fichier introuvable\n", fileName.c_str());
        break;
    case Error::AccessDenied:
        std::fprintf(stderr, "fichelia-page: impossible d'ouvrir %s : accès refusé\n", fileName.c_str());
        break;
    default:
        std::fprintf(stderr, "fichelia-page: impossible d'ouvrir %s : %s\n", fileName.c_str(),
                     words::reasonText(file.error()).c_str());
    }
    return console::File(nullptr, std::fclose);
}

bool outputIsTheInput(std::FILE* input, const std::string& output) {
    if (output.empty() || !console::isSameFile(input, output)) {
        return false;
    }
    std::fprintf(stderr,
                 "fichelia-page: %s est le fichier d'entrée lui-même, la sortie le remplacerait ; "
                 "rien n'a été écrit\n",
                 output.c_str());
    return true;
}

int runWrite(const WriteOptions& options, std::shared_ptr<const NameCollator> collator) {
    PackedRecords records;
    auto imported = importInput(options, records);
    if (const int* status = std::get_if<int>(&imported)) {
        return *status;
    }
    exchange::ImportReport& result = std::get<exchange::ImportReport>(imported);
    if (result.refusal && result.refusal->problem == exchange::ImportProblem::OutOfMemory) {
        say("mémoire insuffisante");
        return kExitIoError;
    }
    if (result.refusal) {
        reportSkipped(result);
        reportRefusal(*result.refusal);
        return kExitBadInput;
    }
    // Sorted as the application's list sorts them, but without a list, which
    // would hold every record a second time while it fills; written out as
    // it is made, never whole in memory.
    std::optional<Destination> destination = Destination::open(options.output);
    if (!destination) {
        return kExitIoError;
    }
    bool written = false;
    try {
        const std::vector<std::uint32_t> order = listOrder(records, *collator);
        written = WriteDirectoryPage(records, order, options.site, options.bytes,
                                     [&destination](std::string_view piece) { return destination->write(piece); });
    } catch (const std::bad_alloc&) {
        std::fputs("fichelia-page: mémoire insuffisante\n", stderr);
        return kExitIoError;
    }
    // A file named by -o is put in place only now, whole.
    if (!written || !destination->finish()) {
        return kExitIoError;
    }
    report(result);
    // Done: the system takes the memory back at once, whereas freeing the
    // contacts one text at a time would cost a third of a large run.
    std::fflush(stderr);
    std::_Exit(result.skipped.empty() ? 0 : kExitSkipped);
}

} // namespace fichelia::tool
