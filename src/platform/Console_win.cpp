#include "platform/Console.h"

#include <cerrno>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <shellapi.h>

#include "platform/WideText_win.h"

namespace fichelia::console {

void useBinaryStandardStreams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

void failWritesToClosedPipes() {}

std::vector<std::string> arguments(int, char**) {
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&LocalFree)> wideArguments(CommandLineToArgvW(GetCommandLineW(), &count),
                                                                      LocalFree);
    std::vector<std::string> utf8;
    for (int i = 1; wideArguments && i < count; ++i) {
        utf8.push_back(wide::toUtf8(wideArguments.get()[i]));
    }
    return utf8;
}

Result<File> openForReading(const std::string& utf8Name) {
    const std::wstring name = wide::fromUtf8(utf8Name);
    if (name.empty()) {
        return Error::FileNotFound;
    }
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return Error::IsFolder;
    }
    File file(_wfopen(name.c_str(), L"rb"), std::fclose);
    if (!file) {
        switch (errno) {
        case ENOENT: return Error::FileNotFound;
        case EACCES: return Error::AccessDenied;
        case ENOMEM: return Error::OutOfMemory;
        default: return Error::ReadFailed;
        }
    }
    return file;
}

namespace {

// The volume and the file index of an open handle, which name one file.
bool identityOf(HANDLE handle, BY_HANDLE_FILE_INFORMATION& info) {
    return handle != INVALID_HANDLE_VALUE && GetFileInformationByHandle(handle, &info) != 0;
}

} // namespace

bool isSameFile(std::FILE* file, const std::string& utf8Path) {
    BY_HANDLE_FILE_INFORMATION open{};
    if (!identityOf(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))), open)) {
        return false;
    }
    const std::wstring name = wide::fromUtf8(utf8Path);
    if (name.empty()) {
        return false;
    }
    // No access asked: only the file's identity is read, whoever holds it open.
    HANDLE named = CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION other{};
    const bool known = identityOf(named, other);
    if (named != INVALID_HANDLE_VALUE) {
        CloseHandle(named);
    }
    return known && open.dwVolumeSerialNumber == other.dwVolumeSerialNumber &&
           open.nFileIndexHigh == other.nFileIndexHigh && open.nFileIndexLow == other.nFileIndexLow;
}

std::optional<std::uint64_t> fileSize(std::FILE* file) {
    struct _stat64 status {};
    if (_fstat64(_fileno(file), &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(status.st_size);
}

void keepFreedMemoryForReuse() {}

} // namespace fichelia::console
