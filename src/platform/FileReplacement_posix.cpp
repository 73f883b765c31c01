#include "platform/FileReplacement.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <optional>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fichelia {

namespace {

constexpr std::string_view kTemporaryPrefix = ".fichelia-";
constexpr std::string_view kTemporarySuffix = ".tmp";
constexpr std::size_t kLargestWrite = std::size_t{1} << 30;

Error errorOf(int code) {
    switch (code) {
    case ENOSPC:
    case EDQUOT: return Error::DiskFull;
    case EROFS: return Error::ReadOnlyDisk;
    case EACCES:
    case EPERM: return Error::AccessDenied;
    case ENOENT:
    case ENOTDIR: return Error::FolderNotFound;
    case EISDIR: return Error::IsFolder;
    case ENOMEM: return Error::OutOfMemory;
    default: return Error::WriteFailed;
    }
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a path leads to, symbolic links followed, live or dangling.
std::string finalTarget(std::string path) {
    for (int depth = 0; depth < 40; ++depth) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return path;
        }
        std::string link(PATH_MAX, '\0');
        const ssize_t size = ::readlink(path.c_str(), link.data(), link.size());
        if (size <= 0) {
            return path;
        }
        link.resize(static_cast<std::size_t>(size));
        path = link.front() == '/' ? link : folderOf(path) + '/' + link;
    }
    return path;
}

// The process that named a temporary file ".fichelia-PID-N.tmp", if the name is one of those.
std::optional<pid_t> ownerOf(std::string_view name) {
    if (!name.starts_with(kTemporaryPrefix) || !name.ends_with(kTemporarySuffix)) {
        return std::nullopt;
    }
    name.remove_prefix(kTemporaryPrefix.size());
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
    if (error != std::errc() || end == name.data() || *end != '-' || pid <= 0) {
        return std::nullopt;
    }
    return pid;
}

// Removes the temporary files that killed processes left in the folder (a
// process still running may be writing its own).
void removeLeftovers(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::optional<pid_t> owner = ownerOf(entry->d_name);
        if (owner && *owner != ::getpid() && ::kill(*owner, 0) != 0 && errno == ESRCH) {
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

int syncRetrying(int descriptor) {
    int result = 0;
    do {
        result = ::fsync(descriptor);
    } while (result != 0 && errno == EINTR);
    return result;
}

} // namespace

struct FileReplacement::State {
    std::string target;
    std::string temporary;
    int descriptor = -1;
    std::optional<Error> failure;
    bool committed = false;

    // Gives up: the temporary file goes, the target stays as it was.
    Error fail(Error error) {
        if (descriptor >= 0) {
            ::close(descriptor);
            descriptor = -1;
        }
        if (!failure) {
            ::unlink(temporary.c_str());
            failure = error;
        }
        return *failure;
    }

    ~State() {
        if (!committed) {
            fail(Error::WriteFailed);
        }
    }
};

FileReplacement::FileReplacement(std::unique_ptr<State> state) : m_state(std::move(state)) {}
FileReplacement::FileReplacement(FileReplacement&&) noexcept = default;
FileReplacement& FileReplacement::operator=(FileReplacement&&) noexcept = default;
FileReplacement::~FileReplacement() = default;

Result<FileReplacement> FileReplacement::begin(const std::string& utf8Path) {
    auto state = std::make_unique<State>();
    state->target = finalTarget(utf8Path);
    const std::string folder = folderOf(state->target);
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        state->committed = true; // nothing made, nothing to remove
        return Error::FolderNotFound;
    }
    const bool exists = ::stat(state->target.c_str(), &info) == 0;
    std::optional<Error> refusal;
    if (exists && S_ISDIR(info.st_mode)) {
        refusal = Error::IsFolder;
    } else if (exists && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        refusal = Error::ReadOnlyFile; // the superuser may write it, but no one should
    } else if (exists && ::access(state->target.c_str(), W_OK) != 0) {
        refusal = errorOf(errno);
    }
    if (refusal) {
        state->committed = true;
        return *refusal;
    }
    removeLeftovers(folder);
    static std::atomic<unsigned> made{0};
    do {
        state->temporary = folder + '/' + std::string(kTemporaryPrefix) + std::to_string(::getpid()) + '-' +
                           std::to_string(made++) + std::string(kTemporarySuffix);
        state->descriptor = ::open(state->temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } while (state->descriptor < 0 && errno == EEXIST);
    if (state->descriptor < 0) {
        state->committed = true;
        return errorOf(errno);
    }
    if (exists && ::fchmod(state->descriptor, info.st_mode & 07777) != 0) {
        return state->fail(errorOf(errno));
    }
    return FileReplacement(std::move(state));
}

Result<void> FileReplacement::write(std::string_view bytes) {
    State& state = *m_state;
    if (state.failure) {
        return *state.failure;
    }
    while (!bytes.empty()) {
        const ssize_t written = ::write(state.descriptor, bytes.data(), std::min(bytes.size(), kLargestWrite));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return state.fail(written < 0 ? errorOf(errno) : Error::WriteFailed);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

Result<void> FileReplacement::commit() {
    State& state = *m_state;
    if (state.failure) {
        return *state.failure;
    }
    if (syncRetrying(state.descriptor) != 0) {
        return state.fail(errorOf(errno));
    }
    const int closed = ::close(state.descriptor);
    state.descriptor = -1;
    if (closed != 0) {
        return state.fail(errorOf(errno));
    }
    if (::rename(state.temporary.c_str(), state.target.c_str()) != 0) {
        return state.fail(errorOf(errno));
    }
    state.committed = true;
    // The rename itself reaches the disk with the folder. The new content is
    // whole in its place by now, so a failure here is not one of the save.
    const int folder = ::open(folderOf(state.target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        syncRetrying(folder);
        ::close(folder);
    }
    return {};
}

Result<void> syncOpenFile(int descriptor) {
    if (syncRetrying(descriptor) != 0) {
        return errorOf(errno);
    }
    return {};
}

} // namespace fichelia
