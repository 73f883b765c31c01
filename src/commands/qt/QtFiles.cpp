#include "commands/qt/QtFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

#include "platform/FileReplacement.h"

namespace fichelia {

namespace {

// The file's own permission bits (not WriteUser, which is what the system
// answers for the current user, and always yes for the superuser).
constexpr QFileDevice::Permissions kAnyoneWrites =
    QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;

// QSaveFile names its temporary file after the target with 7 characters more
// (".XXXXXX"), which a name near the usual 255-byte limit of a file name has
// no room for.
constexpr qsizetype kLongestNameForSaveFile = 255 - 7;

// The file a path leads to: symbolic links followed, live or dangling, as
// QSaveFile follows them.
QFileInfo finalTarget(const QString& path) {
    QFileInfo info(path);
    for (int depth = 0; depth < 128 && info.isSymLink(); ++depth) {
        info.setFile(info.symLinkTarget());
    }
    return info;
}

// Why writing `size` bytes beside target failed, from what the disk looks like now.
Error writeFailure(const QFileInfo& target, std::size_t size) {
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir()) {
        return Error::FolderNotFound;
    }
    const QStorageInfo storage(folder.absoluteFilePath());
    if (storage.isValid() && storage.isReadOnly()) {
        return Error::ReadOnlyDisk;
    }
    if (storage.isValid() && storage.bytesAvailable() < static_cast<qint64>(size)) {
        return Error::DiskFull;
    }
    if (!folder.isWritable()) {
        return Error::AccessDenied;
    }
    return Error::WriteFailed;
}

// QSaveFile alone is not enough on Qt 6.4: commit() looks neither at the
// error of the flush its close() does nor at the result of its sync, so a page
// smaller than QFileDevice's write buffer that meets a full disk would be cut
// short and still take the old page's place. The file is therefore written
// unbuffered, each write checked where it happens, and synced through its
// descriptor before commit() renames it.
Result<void> writeWhole(QSaveFile& file, std::string_view bytes, const QFileInfo& target) {
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return writeFailure(target, bytes.size());
    }
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
        const Error error =
            file.error() == QFileDevice::ResourceError ? Error::DiskFull : writeFailure(target, bytes.size());
        file.cancelWriting();
        return error;
    }
    if (const Result<void> synced = syncOpenFile(file.handle()); !synced) {
        file.cancelWriting();
        return synced.error();
    }
    if (!file.commit()) {
        return writeFailure(target, bytes.size());
    }
    return {};
}

// A file opened for reading through QFile, without Qt's own buffer: the
// reader asks for large chunks.
class QFileByteSource final : public ByteSource {
public:
    explicit QFileByteSource(const QString& path) : m_file(path) {}
    bool open() { return m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered); }

    Result<std::size_t> read(char* buffer, std::size_t size) override {
        const qint64 count = m_file.read(buffer, static_cast<qint64>(size));
        if (count < 0) {
            return Error::ReadFailed;
        }
        return static_cast<std::size_t>(count);
    }

private:
    QFile m_file;
};

Error openFailure(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir()) {
        return Error::IsFolder;
    }
    if (!info.exists()) {
        return QFileInfo(info.absolutePath()).isDir() ? Error::FileNotFound : Error::FolderNotFound;
    }
    if (!info.isReadable()) {
        return Error::AccessDenied;
    }
    return Error::ReadFailed;
}

} // namespace

Files::Kind QtFiles::kind(const QString& path) const {
    const QFileInfo info(path);
    if (info.isDir()) {
        return Kind::Folder;
    }
    return info.exists() ? Kind::File : Kind::Missing;
}

Result<void> QtFiles::replace(const QString& path, std::string_view bytes) {
    const QFileInfo target = finalTarget(path);
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir()) {
        return Error::FolderNotFound;
    }
    if (target.isDir()) {
        return Error::IsFolder;
    }
    const bool exists = target.exists();
    // QSaveFile asks the system whether the file may be written, and the
    // superuser may write any file; a file that no one may write stays as it is.
    if (exists && (target.permissions() & kAnyoneWrites) == 0) {
        return Error::ReadOnlyFile;
    }
    if (exists ? !target.isWritable() : !folder.isWritable()) {
        return Error::AccessDenied;
    }
    // A writable file in a folder where no new file may be made is written in
    // place, by QSaveFile's direct-write fallback, and only when the disk has
    // room for it: that write is the one that is not all or nothing.
    const bool inPlace = exists && !folder.isWritable();
    if (inPlace) {
        const QStorageInfo storage(folder.absoluteFilePath());
        if (storage.isValid() && storage.bytesAvailable() + target.size() < static_cast<qint64>(bytes.size())) {
            return Error::DiskFull;
        }
    } else if (QFile::encodeName(target.fileName()).size() > kLongestNameForSaveFile) {
        // Saved whole under a short name of its own (".fichelia-PID-N.tmp")
        // beside it, renamed over it once on the disk.
        return replaceFileWhole(QFile::encodeName(target.absoluteFilePath()).toStdString(), bytes);
    }
    QSaveFile file(target.absoluteFilePath());
    file.setDirectWriteFallback(inPlace);
    return writeWhole(file, bytes, target);
}

Result<std::unique_ptr<ByteSource>> QtFiles::openForReading(const QString& path) {
    auto source = std::make_unique<QFileByteSource>(path);
    if (!source->open()) {
        return openFailure(path);
    }
    return std::unique_ptr<ByteSource>(std::move(source));
}

} // namespace fichelia
