#pragma once

#include <memory>
#include <string_view>

#include <QString>

#include "base/Result.h"
#include "page/ByteSource.h"

namespace fichelia {

// The disk, as the page commands use it. Paths are full paths as the file
// dialogs give them.
class Files {
public:
    enum class Kind { Missing, File, Folder };

    virtual ~Files() = default;

    // What the path names, symbolic links followed: a dangling link names
    // nothing (yet).
    virtual Kind kind(const QString& path) const = 0;

    // Replaces the file with exactly these bytes. They go to a new file beside
    // it that takes its place only once whole, so that the file holds its old
    // content or the whole new one and nothing else is left in the folder. A
    // symbolic link, live or dangling, is followed and stays a link; the file
    // keeps its permissions. A file that no one may write is refused, also for
    // the superuser. One case is written in place: a file the user may write in
    // a folder where no new file may be made (a failure part of the way through
    // then leaves it damaged; a disk too full for it is refused beforehand).
    virtual Result<void> replace(const QString& path, std::string_view bytes) = 0;

    // The file, opened for reading.
    virtual Result<std::unique_ptr<ByteSource>> openForReading(const QString& path) = 0;
};

} // namespace fichelia
