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
#include <sys/file.h>
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

// True for the names of temporary files: ".fichelia-PID-N.tmp".
bool isTemporaryName(std::string_view name) {
    if (!name.starts_with(kTemporaryPrefix) || !name.ends_with(kTemporarySuffix)) {
        return false;
    }
    name.remove_prefix(kTemporaryPrefix.size());
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
    return error == std::errc() && end != name.data() && *end == '-' && pid > 0;
}

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Removes the temporary files that killed processes left in the folder. A
// writer holds a lock on its temporary file as long as it lives (flock, which
// the system drops with the process however it ends), so a file whose lock
// can be taken is a leftover: whatever the process's number, its PID
// namespace or its user.
void removeLeftovers(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if (!isTemporaryName(entry->d_name)) {
            continue;
        }
        const int file = ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (file < 0) {
            continue;
        }
        struct stat opened {};
        struct stat named {};
        // Removed only while locked here, and only if the name still leads to the file locked.
        if (::flock(file, LOCK_EX | LOCK_NB) == 0 && ::fstat(file, &opened) == 0 && S_ISREG(opened.st_mode) &&
            ::fstatat(::dirfd(dir), entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 && sameFile(opened, named)) {
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
        }
        ::close(file);
    }
    ::closedir(dir);
}

// Takes the lock that tells other processes the file is in use; false when
// the file was removed before the lock was had (it looked like a leftover to
// another process's clean-up in that moment), and another must be made. On a
// file system without locks the file goes unlocked, and no clean-up can take
// its lock either.
bool lockAsInUse(int descriptor) {
    int locked = 0;
    do {
        locked = ::flock(descriptor, LOCK_EX);
    } while (locked != 0 && errno == EINTR);
    struct stat info {};
    return ::fstat(descriptor, &info) != 0 || info.st_nlink > 0;
}

// The temporary files under way, for the handler of the interrupting signals:
// fixed slots that it reads without a lock or an allocation.
struct InterruptSlot {
    std::atomic<int> state{0}; // kFree, kFilling, kArmed
    char path[PATH_MAX];
};
constexpr int kFree = 0;
constexpr int kFilling = 1;
constexpr int kArmed = 2;
InterruptSlot g_slots[8];
static_assert(std::atomic<int>::is_always_lock_free);

// The slot that now names that file, or -1 when none is free (the file is
// then left to the next run's clean-up).
int armRemoval(const std::string& path) {
    if (path.size() >= PATH_MAX) {
        return -1;
    }
    for (int i = 0; i < static_cast<int>(std::size(g_slots)); ++i) {
        int expected = kFree;
        if (g_slots[i].state.compare_exchange_strong(expected, kFilling)) {
            std::copy(path.begin(), path.end(), g_slots[i].path);
            g_slots[i].path[path.size()] = '\0';
            g_slots[i].state = kArmed;
            return i;
        }
    }
    return -1;
}

void disarmRemoval(int& slot) {
    if (slot >= 0) {
        g_slots[slot].state = kFree;
        slot = -1;
    }
}

// Async-signal-safe: unlink, sigaction and raise only.
extern "C" void removeTemporaryFilesThenEnd(int number) {
    const int savedErrno = errno;
    for (InterruptSlot& slot : g_slots) {
        if (slot.state.load() == kArmed) {
            ::unlink(slot.path);
        }
    }
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(number, &action, nullptr);
    // Blocked until the handler returns, then it ends the process as it would have.
    ::raise(number);
    errno = savedErrno;
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
    int interruptSlot = -1; // the temporary file's slot for the signal handler

    // Gives up: the temporary file goes, the target stays as it was.
    Error fail(Error error) {
        if (!failure) {
            ::unlink(temporary.c_str());
            disarmRemoval(interruptSlot);
            failure = error;
        }
        if (descriptor >= 0) {
            ::close(descriptor); // after the unlink: the lock keeps the file ours till it is gone
            descriptor = -1;
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
    for (;;) {
        state->temporary = folder + '/' + std::string(kTemporaryPrefix) + std::to_string(::getpid()) + '-' +
                           std::to_string(made++) + std::string(kTemporarySuffix);
        // Named to the signal handler before it exists, so that no moment
        // leaves it behind; if a file of that name is there already (another
        // PID namespace's), the name is taken back at once.
        state->interruptSlot = armRemoval(state->temporary);
        state->descriptor = ::open(state->temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (state->descriptor >= 0 && lockAsInUse(state->descriptor)) {
            break;
        }
        const int error = errno;
        disarmRemoval(state->interruptSlot);
        if (state->descriptor >= 0) {
            ::close(state->descriptor); // removed by another clean-up before it was locked
        } else if (error != EEXIST) {
            state->committed = true;
            return errorOf(error);
        }
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
    // Renamed while still open, so that it stays locked, and so in use to
    // other processes' clean-up, until it has the target's name.
    if (::rename(state.temporary.c_str(), state.target.c_str()) != 0) {
        return state.fail(errorOf(errno));
    }
    disarmRemoval(state.interruptSlot);
    state.committed = true;
    // Written and synced before: the content is in place whole, whatever close says.
    ::close(state.descriptor);
    state.descriptor = -1;
    // The rename itself reaches the disk with the folder. The new content is
    // whole in its place by now, so a failure here is not one of the save.
    const int folder = ::open(folderOf(state.target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        syncRetrying(folder);
        ::close(folder);
    }
    return {};
}

void FileReplacement::removeTemporaryFilesOnInterrupt() {
    for (const int number : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        // A signal the process was started to ignore (nohup) stays ignored.
        if (::sigaction(number, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = removeTemporaryFilesThenEnd;
        sigemptyset(&action.sa_mask);
        ::sigaction(number, &action, nullptr);
    }
}

Result<void> syncOpenFile(int descriptor) {
    if (syncRetrying(descriptor) != 0) {
        return errorOf(errno);
    }
    return {};
}

} // namespace fichelia
