#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "base/Result.h"

// A file replaced whole, without Qt: what the companion tool writes with -o,
// and what the window uses where QSaveFile cannot. Two versions, chosen by
// CMake: FileReplacement_posix.cpp and FileReplacement_win.cpp.
namespace fichelia {

// The new content goes to a temporary file beside the target, named
// ".fichelia-PID-N.tmp". Once all of it is written and on the disk (fsync;
// FlushFileBuffers on Windows), that file takes the target's place in one
// rename. Until then the target is untouched: after any failure, or if the
// process is killed, it holds its old content; the failure leaves nothing in
// the folder, and a temporary file left by a killed process is removed by the
// next replacement in that folder. A live writer's temporary file is told from
// a leftover by the lock it holds on it (flock on POSIX, which the system drops
// however the process ends; on Windows the open file cannot be deleted), not
// by its process number, which another PID namespace or user may reuse. A symbolic link, live or dangling, is
// followed and stays a link; an existing file keeps its permission bits. A
// file that no one may write is refused, also for the superuser.
class FileReplacement {
public:
    // Begins replacing the file of that UTF-8 path.
    static Result<FileReplacement> begin(const std::string& utf8Path);

    FileReplacement(FileReplacement&&) noexcept;
    FileReplacement& operator=(FileReplacement&&) noexcept;
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;
    // Without a successful commit(), the temporary file is removed.
    ~FileReplacement();

    // Appends the bytes to the new content; a short write (a full disk) is a
    // failure, and then nothing more is written.
    Result<void> write(std::string_view bytes);

    // Puts the new content in the target's place, once it is on the disk.
    Result<void> commit();

    // Has the temporary files of the replacements under way removed when the
    // process is interrupted: SIGINT (Ctrl+C), SIGTERM and SIGHUP on POSIX,
    // which then end the process as they would have (one that the process
    // was started to ignore stays ignored); on Windows Ctrl+C, Ctrl+Break and
    // the console's closing. For a console program, once at its start.
    static void removeTemporaryFilesOnInterrupt();

    struct State;

private:
    explicit FileReplacement(std::unique_ptr<State> state);
    std::unique_ptr<State> m_state;
};

// The whole replacement in one call.
inline Result<void> replaceFileWhole(const std::string& utf8Path, std::string_view bytes) {
    auto replacement = FileReplacement::begin(utf8Path);
    if (!replacement) {
        return replacement.error();
    }
    if (auto written = replacement->write(bytes); !written) {
        return written;
    }
    return replacement->commit();
}

// Makes what was written through an open file's C runtime descriptor reach
// the disk (fsync), and says whether it did. For QSaveFile, whose commit()
// does not look at the result of its own sync.
Result<void> syncOpenFile(int descriptor);

} // namespace fichelia
