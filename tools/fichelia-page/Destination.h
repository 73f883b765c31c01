#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/FileReplacement.h"

namespace fichelia::tool {

// Where a command's output goes: standard output, or the file named by -o.
// That file is written whole to a new file beside it, which takes its place
// only when the command finishes; until then, and whatever fails, the file
// keeps its old content.
class Destination {
public:
    // Standard output for an empty name. None, after saying why on standard
    // error, when the file cannot be written.
    static std::optional<Destination> open(const std::string& fileName);

    // False, after saying why, when the bytes could not be written.
    bool write(std::string_view bytes);

    // Puts the whole output in place. False, after saying why, when it could
    // not be; the file then keeps its old content.
    bool finish();

private:
    Destination(std::string fileName, std::optional<FileReplacement> file)
        : m_fileName(std::move(fileName)), m_file(std::move(file)) {}
    bool failed(Error error);

    std::string m_fileName;
    std::optional<FileReplacement> m_file; // none: standard output
};

} // namespace fichelia::tool
