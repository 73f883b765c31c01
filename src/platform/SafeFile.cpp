#include "platform/SafeFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fichelia::files {

namespace {

// Closes a descriptor and removes the temporary file unless told to keep it.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string pathTemplate) : m_path(std::move(pathTemplate)) {
        m_fd = ::mkostemp(m_path.data(), O_CLOEXEC);
        m_created = m_fd >= 0;
    }
    ~TemporaryFile() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        if (m_created && !m_kept) {
            ::unlink(m_path.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool created() const { return m_created; }
    int fd() const { return m_fd; }
    const std::string& path() const { return m_path; }

    // Closes the file, reporting a failure of the close itself.
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }
    void keep() { m_kept = true; }

private:
    std::string m_path;
    int m_fd = -1;
    bool m_created = false;
    bool m_kept = false;
};

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (written == 0) {
            errno = ENOSPC;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

mode_t defaultMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The path to write: the target of a symbolic link, or the path itself.
std::string resolveTarget(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            std::string resolved(real);
            std::free(real);
            return resolved;
        }
    }
    return path;
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd); // best effort: the rename is done either way
        ::close(fd);
    }
}

} // namespace

std::optional<WriteFailure> replaceFileContents(const std::string& path, std::string_view bytes) {
    if (path.empty()) {
        return WriteFailure{ENOENT};
    }
    const std::string target = resolveTarget(path);
    mode_t mode = defaultMode();
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            return WriteFailure{EISDIR};
        }
        // A read-only file stays read-only, also for the superuser.
        if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(target.c_str(), W_OK) != 0) {
            return WriteFailure{EACCES};
        }
        mode = info.st_mode & 07777;
    }

    const std::string folder = folderOf(target);
    TemporaryFile temporary(folder + "/." + nameOf(target) + ".XXXXXX");
    if (!temporary.created()) {
        return WriteFailure{errno};
    }
    if (::fchmod(temporary.fd(), mode) != 0 || !writeAll(temporary.fd(), bytes) || ::fsync(temporary.fd()) != 0) {
        return WriteFailure{errno};
    }
    if (!temporary.close()) {
        return WriteFailure{errno};
    }
    if (::rename(temporary.path().c_str(), target.c_str()) != 0) {
        return WriteFailure{errno};
    }
    temporary.keep();
    syncFolder(folder);
    return std::nullopt;
}

std::string describeFailure(int errorNumber) {
    switch (errorNumber) {
    case ENOSPC:
    case EDQUOT:
        return "le disque est plein";
    case EACCES:
    case EPERM:
        return "l'accès est refusé";
    case EROFS:
        return "le disque est en lecture seule";
    case EISDIR:
        return "c'est un dossier";
    case ENOENT:
        return "le fichier ou son dossier n'existe pas";
    case ENOTDIR:
        return "un élément du chemin n'est pas un dossier";
    case ENAMETOOLONG:
        return "le nom est trop long";
    case EIO:
        return "erreur d'entrée-sortie sur le disque";
    default:
        return "erreur système " + std::to_string(errorNumber) + " (" + std::strerror(errorNumber) + ")";
    }
}

} // namespace fichelia::files
