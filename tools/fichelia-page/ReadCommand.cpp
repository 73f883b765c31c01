#include "ReadCommand.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "Destination.h"
#include "WriteCommand.h"
#include "exchange/CsvContacts.h"
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

// Passes the bytes of another source on, watching for the record marker: a
// directory page holds it (in its script's first line, and at the start of
// every record line), whatever else it holds.
class PageMarkerWatch final : public ByteSource {
public:
    explicit PageMarkerWatch(ByteSource& source) : m_source(source) {}

    Result<std::size_t> read(char* buffer, std::size_t size) override {
        Result<std::size_t> count = m_source.read(buffer, size);
        if (count && !m_seen) {
            // The marker may straddle two reads: the end of the last one comes first.
            m_tail.append(buffer, *count);
            m_seen = m_tail.find(page::kRecordMarker) != std::string::npos;
            m_tail.erase(0, m_tail.size() - std::min(m_tail.size(), page::kRecordMarker.size() - 1));
        }
        return count;
    }

    bool sawMarker() const { return m_seen; }

private:
    ByteSource& m_source;
    std::string m_tail;
    bool m_seen = false;
};

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
    FileByteSource fileSource(file.get());
    PageMarkerWatch source(fileSource);
    bool written = true;
    std::string out;
    out.reserve(2 * kFlushSize);
    if (options.format == OutputFormat::Csv) {
        out += kUtf8Bom; // so that spreadsheets take the file as UTF-8
        exchange::appendCsvHeader(out, options.separator);
    }
    const Result<void> read = ReadDirectoryPage(source, options.templateRecord, [&](Contact&& record) {
        appendContact(out, record, options);
        if (out.size() >= kFlushSize) {
            written = written && destination->write(out);
            out.clear();
        }
    });
    if (!read) {
        std::fputs("fichelia-page: lecture de la page impossible\n", stderr);
        return kExitIoError;
    }
    if (!source.sawMarker()) {
        std::fputs("fichelia-page: ce fichier n'est pas une page d'annuaire (aucune ligne remplirTabFournisseur)\n",
                   stderr);
        return kExitBadInput;
    }
    // A file named by -o is put in place only now, whole.
    if (!written || !destination->write(out) || !destination->finish()) {
        return kExitIoError;
    }
    return 0;
}

} // namespace fichelia::tool
