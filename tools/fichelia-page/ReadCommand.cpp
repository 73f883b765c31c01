#include "ReadCommand.h"

#include <cstdio>
#include <memory>
#include <string>

#include "WriteCommand.h"
#include "exchange/CsvContacts.h"
#include "exchange/VCardContacts.h"
#include "page/ByteSource.h"
#include "page/PageReader.h"
#include "platform/Console.h"
#include "text/ContactTsv.h"

namespace fichelia::tool {

namespace {

constexpr std::size_t kFlushSize = 1 << 16;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

void appendContact(std::string& out, const annuaire& contact, const ReadOptions& options) {
    switch (options.format) {
    case OutputFormat::Tsv:
        text::appendContactTsv(out, contact);
        out += '\n';
        break;
    case OutputFormat::Csv: exchange::appendCsvContact(out, contact, options.separator); break;
    case OutputFormat::VCard: exchange::appendVCard(out, contact); break;
    }
}

} // namespace

int runRead(const ReadOptions& options) {
    const console::File file = openInput(options.file);
    if (!file) {
        return kExitIoError;
    }
    FileByteSource source(file.get());
    std::string out;
    out.reserve(2 * kFlushSize);
    if (options.format == OutputFormat::Csv) {
        out += kUtf8Bom; // so that spreadsheets take the file as UTF-8
        exchange::appendCsvHeader(out, options.separator);
    }
    const Result<void> read = ReadDirectoryPage(source, options.templateRecord, [&out, &options](annuaire&& record) {
        appendContact(out, record, options);
        if (out.size() >= kFlushSize) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    });
    std::fwrite(out.data(), 1, out.size(), stdout);
    if (!read) {
        std::fputs("fichelia-page: lecture de la page impossible\n", stderr);
        return kExitIoError;
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        std::fputs("fichelia-page: écriture impossible\n", stderr);
        return kExitIoError;
    }
    return 0;
}

} // namespace fichelia::tool
