#include "Destination.h"

#include <cstdio>

#include "exchange/ImportWords.h"

namespace fichelia::tool {

std::optional<Destination> Destination::open(const std::string& fileName) {
    if (fileName.empty()) {
        return Destination(fileName, std::nullopt);
    }
    auto file = FileReplacement::begin(fileName);
    if (!file) {
        std::fprintf(stderr, "fichelia-page: impossible d'écrire %s : %s\n", fileName.c_str(),
                     words::reasonText(file.error()).c_str());
        return std::nullopt;
    }
    return Destination(fileName, std::move(*file));
}

bool Destination::write(std::string_view bytes) {
    if (!m_file) {
        return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() || failed(Error::WriteFailed);
    }
    const Result<void> written = m_file->write(bytes);
    return written || failed(written.error());
}

bool Destination::finish() {
    if (!m_file) {
        return (std::fflush(stdout) == 0 && std::ferror(stdout) == 0) || failed(Error::WriteFailed);
    }
    const Result<void> committed = m_file->commit();
    return committed || failed(committed.error());
}

bool Destination::failed(Error error) {
    if (m_fileName.empty()) {
        std::fputs("fichelia-page: écriture impossible\n", stderr);
    } else {
        std::fprintf(stderr, "fichelia-page: impossible d'écrire %s : %s ; le fichier n'a pas été modifié\n",
                     m_fileName.c_str(), words::reasonText(error).c_str());
    }
    return false;
}

} // namespace fichelia::tool
