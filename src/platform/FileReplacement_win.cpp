#include "platform/FileReplacement.h"

#include <atomic>
#include <optional>

#include <io.h>
#include <windows.h>

#include "platform/WideText_win.h"

namespace fichelia {

namespace {

constexpr std::wstring_view kTemporaryPrefix = L".fichelia-";
constexpr std::wstring_view kTemporarySuffix = L".tmp";
constexpr DWORD kLargestWrite = DWORD{1} << 30;

Error errorOf(DWORD code) {
    switch (code) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return Error::DiskFull;
    case ERROR_WRITE_PROTECT: return Error::ReadOnlyDisk;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return Error::AccessDenied;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND: return Error::FolderNotFound;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return Error::OutOfMemory;
    default: return Error::WriteFailed;
    }
}

std::wstring folderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) {
        return L".";
    }
    return slash == 0 || path[slash - 1] == L':' ? path.substr(0, slash + 1) : path.substr(0, slash);
}

std::wstring inFolder(const std::wstring& folder, std::wstring_view name) {
    const bool separated = folder.ends_with(L'\\') || folder.ends_with(L'/');
    return folder + (separated ? L"" : L"\\") + std::wstring(name);
}

// The process that named a temporary file ".fichelia-PID-N.tmp", if the name is one of those.
std::optional<DWORD> ownerOf(std::wstring_view name) {
    if (!name.starts_with(kTemporaryPrefix) || !name.ends_with(kTemporarySuffix)) {
        return std::nullopt;
    }
    name.remove_prefix(kTemporaryPrefix.size());
    DWORD pid = 0;
    std::size_t digits = 0;
    for (; digits < name.size() && name[digits] >= L'0' && name[digits] <= L'9' && digits < 10; ++digits) {
        pid = pid * 10 + static_cast<DWORD>(name[digits] - L'0');
    }
    if (digits == 0 || digits == name.size() || name[digits] != L'-' || pid == 0) {
        return std::nullopt;
    }
    return pid;
}

bool processIsGone(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr) {
        return GetLastError() == ERROR_INVALID_PARAMETER;
    }
    DWORD code = 0;
    const bool exited = GetExitCodeProcess(process, &code) && code != STILL_ACTIVE;
    CloseHandle(process);
    return exited;
}

// Removes the temporary files that killed processes left in the folder (a
// process still running may be writing its own).
void removeLeftovers(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(inFolder(folder, L".fichelia-*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::optional<DWORD> owner = ownerOf(found.cFileName);
        if (owner && *owner != GetCurrentProcessId() && processIsGone(*owner)) {
            DeleteFileW(inFolder(folder, found.cFileName).c_str());
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

} // namespace

struct FileReplacement::State {
    std::wstring target;
    std::wstring temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    std::optional<Error> failure;
    bool committed = false;

    // Gives up: the temporary file goes, the target stays as it was.
    Error fail(Error error) {
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            file = INVALID_HANDLE_VALUE;
        }
        if (!failure) {
            DeleteFileW(temporary.c_str());
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
    state->committed = true; // until a temporary file is made, there is nothing to remove
    state->target = wide::fromUtf8(utf8Path);
    const std::wstring folder = folderOf(state->target);
    const DWORD folderAttributes = GetFileAttributesW(folder.c_str());
    if (state->target.empty() || folderAttributes == INVALID_FILE_ATTRIBUTES ||
        (folderAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return Error::FolderNotFound;
    }
    const DWORD attributes = GetFileAttributesW(state->target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return Error::IsFolder;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return Error::ReadOnlyFile;
    }
    removeLeftovers(folder);
    static std::atomic<unsigned> made{0};
    do {
        const std::wstring name = std::wstring(kTemporaryPrefix) + std::to_wstring(GetCurrentProcessId()) + L'-' +
                                  std::to_wstring(made++) + std::wstring(kTemporarySuffix);
        state->temporary = inFolder(folder, name);
        state->file = CreateFileW(state->temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    } while (state->file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS);
    if (state->file == INVALID_HANDLE_VALUE) {
        return errorOf(GetLastError());
    }
    state->committed = false;
    return FileReplacement(std::move(state));
}

Result<void> FileReplacement::write(std::string_view bytes) {
    State& state = *m_state;
    if (state.failure) {
        return *state.failure;
    }
    while (!bytes.empty()) {
        const DWORD size = bytes.size() < kLargestWrite ? static_cast<DWORD>(bytes.size()) : kLargestWrite;
        DWORD written = 0;
        if (!WriteFile(state.file, bytes.data(), size, &written, nullptr)) {
            return state.fail(errorOf(GetLastError()));
        }
        if (written == 0) {
            return state.fail(Error::WriteFailed);
        }
        bytes.remove_prefix(written);
    }
    return {};
}

Result<void> FileReplacement::commit() {
    State& state = *m_state;
    if (state.failure) {
        return *state.failure;
    }
    if (!FlushFileBuffers(state.file)) {
        return state.fail(errorOf(GetLastError()));
    }
    const bool closed = CloseHandle(state.file);
    state.file = INVALID_HANDLE_VALUE;
    if (!closed) {
        return state.fail(errorOf(GetLastError()));
    }
    if (!MoveFileExW(state.temporary.c_str(), state.target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return state.fail(errorOf(GetLastError()));
    }
    state.committed = true;
    return {};
}

Result<void> syncOpenFile(int descriptor) {
    const intptr_t handle = descriptor < 0 ? -1 : _get_osfhandle(descriptor);
    if (handle == -1) {
        // Qt opens files on Windows by handle, without a C runtime
        // descriptor; QSaveFile's commit() flushes those itself.
        return {};
    }
    if (!FlushFileBuffers(reinterpret_cast<HANDLE>(handle))) {
        return errorOf(GetLastError());
    }
    return {};
}

} // namespace fichelia
