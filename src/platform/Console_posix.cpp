#include "platform/Console.h"

#include <cerrno>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace fichelia::console {

void useBinaryStandardStreams() {}

void failWritesToClosedPipes() { ::signal(SIGPIPE, SIG_IGN); }

std::vector<std::string> arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

Result<File> openForReading(const std::string& utf8Name) {
    const int descriptor = ::open(utf8Name.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        switch (errno) {
        case ENOENT:
        case ENOTDIR: return Error::FileNotFound;
        case EACCES:
        case EPERM: return Error::AccessDenied;
        case EISDIR: return Error::IsFolder;
        case ENOMEM: return Error::OutOfMemory;
        default: return Error::ReadFailed;
        }
    }
    // A folder opens, and only its first read fails.
    struct stat status {};
    if (::fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode)) {
        ::close(descriptor);
        return Error::IsFolder;
    }
    File file(::fdopen(descriptor, "rb"), std::fclose);
    if (!file) {
        ::close(descriptor);
        return Error::OutOfMemory;
    }
    return file;
}

bool isSameFile(std::FILE* file, const std::string& utf8Path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fileno(file), &opened) == 0 && ::stat(utf8Path.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
           opened.st_ino == named.st_ino;
}

std::optional<std::uint64_t> fileSize(std::FILE* file) {
    struct stat status {};
    if (fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(status.st_size);
}

void keepFreedMemoryForReuse() {
#if defined(__GLIBC__)
    constexpr int kNever = 1 << 30;
    mallopt(M_MMAP_THRESHOLD, kNever);
    mallopt(M_TRIM_THRESHOLD, kNever);
#endif
}

} // namespace fichelia::console
