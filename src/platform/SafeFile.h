#pragma once

#include <optional>
#include <string>
#include <string_view>

// Whole-file writes that never leave a file half written.
namespace fichelia::files {

struct WriteFailure {
    int errorNumber = 0; // errno of the step that failed
};

// Replaces the file at path with exactly these bytes. The bytes go to a new
// file in the same folder, are flushed to the disk, and the new file is then
// renamed over the old one, so the path holds either the old content or the
// whole new one. A symbolic link is followed and its target replaced. The new
// file keeps the old one's permissions (a new file gets the usual 0666 less
// the umask). A file without write permission, or a folder, is refused like a
// file that cannot be written, even for the superuser. On failure nothing is
// left behind: the temporary file is removed and the old file is untouched.
std::optional<WriteFailure> replaceFileContents(const std::string& path, std::string_view bytes);

// Why a write or read failed, in French, for the user.
std::string describeFailure(int errorNumber);

} // namespace fichelia::files
