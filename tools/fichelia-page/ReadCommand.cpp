#include "ReadCommand.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "Destination.h"
#include "WriteCommand.h"
#include "exchange/CsvContacts.h"
#include "exchange/ImportWords.h"
#include "exchange/VCardContacts.h"
#include "page/ByteSource.h"
#include "page/PageReader.h"
#include "platform/Console.h"
#include "exchange/ContactTsv.h"

namespace fichelia::tool {

namespace {

constexpr std::size_t kFlushSize = 1 << 16;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

void appendContact(std::string& out, const Contact& contact, const ReadOptions& options) {
    switch (options.format) {
    case OutputFormat::Tsv:
        exchange::appendContactTsv(out, contact);
        out += '\n';
        break;
    case OutputFormat::Csv: exchange::appendCsvContact(out, contact, options.separator); break;
    case OutputFormat::VCard: exchange::appendVCard(out, contact); break;
    }
}

// A damaged record line, on standard error: the file, the line, what became of it.
void reportDamaged(const std::string& file, long line) {
    const exchange::ImportIssue issue{exchange::ImportProblem::PageLineDamaged, line, {}};
    std::fprintf(stderr, "fichelia-page: %s, %s\n", file.empty() ? "entrée standard" : file.c_str(),
                 words::skippedText(exchange::ContactFormat::Auto, issue).c_str());
}

} // namespace

int runRead(const ReadOptions& options) {
    const console::File file = openInput(options.file);
    if (!file) {
        return kExitIoError;
    }
    if (outputIsTheInput(file.get(), options.output)) {
        return kExitBadInput;
    }
    std::optional<Destination> destination = Destination::open(options.output);
    if (!destination) {
        return kExitIoError;
    }
    FileByteSource source(file.get());
    bool written = true;
    std::string out;
    out.reserve(2 * kFlushSize);
    if (options.format == OutputFormat::Csv) {
        out += kUtf8Bom; // so that spreadsheets take the file as UTF-8
        exchange::appendCsvHeader(out, options.separator);
    }
    const Result<PageReading> read = ReadDirectoryPage(
        source,
        [&](Contact&& record) {
            appendContact(out, record, options);
            if (out.size() >= kFlushSize) {
                written = written && destination->write(out);
                out.clear();
            }
        },
        [&options](long line) { reportDamaged(options.file, line); });
    if (!read) {
        std::fputs("fichelia-page: lecture de la page impossible\n", stderr);
        return kExitIoError;
    }
    if (!read->isPage) {
        std::fputs("fichelia-page: ce fichier n'est pas une page d'annuaire (aucune ligne remplirTabFournisseur)\n",
                   stderr);
        return kExitBadInput;
    }
    // A file named by -o is put in place only now, whole.
    if (!written || !destination->write(out) || !destination->finish()) {
        return kExitIoError;
    }
    return read->damagedLines == 0 ? 0 : kExitSkipped;
}

} // namespace fichelia::tool
