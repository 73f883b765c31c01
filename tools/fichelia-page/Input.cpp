#include "Input.h"

#include <cstdio>
#include <memory>
#include <string>

#include "directory/DirectoryList.h"
#include "page/PageWriter.h"

namespace fichelia::tool {

namespace {

// The whole of a stream, or false on a read error.
bool readAll(std::FILE* stream, std::string& bytes) {
    constexpr std::size_t kChunk = 1 << 20;
    std::size_t size = 0;
    for (;;) {
        bytes.resize(size + kChunk);
        const std::size_t count = std::fread(bytes.data() + size, 1, kChunk, stream);
        size += count;
        if (count < kChunk) {
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

void report(const exchange::ImportResult& result) {
    for (const exchange::RefusedSite& site : result.refusedSites) {
        std::fprintf(stderr,
                     "fichelia-page: ligne %ld : adresse de site laissée de côté, elle ferait exécuter du code "
                     "dans le navigateur des visiteurs : %s\n",
                     site.line, printable(site.address).c_str());
    }
    if (result.leftOut.empty()) {
        return;
    }
    std::fputs("fichelia-page: valeurs laissées de côté, faute de champ pour elles :\n", stderr);
    for (const exchange::LeftOut& kind : result.leftOut) {
        std::fprintf(stderr, "  %ld × %s\n", kind.count, printable(kind.kind).c_str());
    }
}

} // namespace

int runWrite(const WriteOptions& options) {
    std::string bytes;
    {
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(nullptr, std::fclose);
        if (!options.file.empty()) {
            file.reset(std::fopen(options.file.c_str(), "rb"));
            if (!file) {
                std::fprintf(stderr, "fichelia-page: impossible d'ouvrir %s\n", options.file.c_str());
                return kExitIoError;
            }
        }
        if (!readAll(file ? file.get() : stdin, bytes)) {
            std::fputs("fichelia-page: lecture de l'entrée impossible\n", stderr);
            return kExitIoError;
        }
    }
    exchange::ImportResult result = exchange::importContacts(bytes, options.import);
    if (result.error) {
        std::fprintf(stderr, "fichelia-page: ligne %ld : %s\n", result.error->line, result.error->message.c_str());
        return kExitBadInput;
    }
    report(result);
    DirectoryList list;
    list.addAll(std::move(result.contacts));
    const std::string page = BuildDirectoryPage(list, options.site);
    if (std::fwrite(page.data(), 1, page.size(), stdout) != page.size() || std::fflush(stdout) != 0) {
        std::fputs("fichelia-page: écriture de la page impossible\n", stderr);
        return kExitIoError;
    }
    return 0;
}

} // namespace fichelia::tool
