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

// Removes the temporary files that killed processes left in the folder. A
// live writer holds its temporary file open without sharing it, so Windows
// refuses to delete it: what can be deleted is a leftover, whatever process
// made it.
void removeLeftovers(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(inFolder(folder, L".fichelia-*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::wstring_view name = found.cFileName;
        if (name.starts_with(kTemporaryPrefix) && name.ends_with(kTemporarySuffix)) {
            DeleteFileW(inFolder(folder, found.cFileName).c_str());
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// The temporary files under way, for the console's control handler: it marks
// each for deletion through its handle, and Windows deletes it when the
// process ends and the handle closes.
std::atomic<HANDLE> g_underWay[8];

int armRemoval(HANDLE file) {
    for (int i = 0; i < static_cast<int>(std::size(g_underWay)); ++i) {
        HANDLE expected = nullptr;
        if (g_underWay[i].compare_exchange_strong(expected, file)) {
            return i;
        }
    }
    return -1;
}

void disarmRemoval(int& slot) {
    if (slot >= 0) {
        g_underWay[slot] = nullptr;
        slot = -1;
    }
}

BOOL WINAPI removeTemporaryFilesThenEnd(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT) {
        for (std::atomic<HANDLE>& slot : g_underWay) {
            if (HANDLE file = slot.load()) {
                FILE_DISPOSITION_INFO disposition{};
                disposition.DeleteFile = TRUE;
                SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
            }
        }
    }
    return FALSE; // the next handler, Windows' own, ends the process
}

} // namespace

struct FileReplacement::State {
    std::wstring target;
    std::wstring temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    std::optional<Error> failure;
    bool committed = false;
    int interruptSlot = -1; // the temporary file's slot for the control handler

    // Gives up: the temporary file goes, the target stays as it was.
    Error fail(Error error) {
        disarmRemoval(interruptSlot);
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
        // Not shared, so that no other process may delete it while it is written;
        // DELETE, so that the control handler may mark it for deletion.
        state->file = CreateFileW(state->temporary.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    } while (state->file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS);
    if (state->file == INVALID_HANDLE_VALUE) {
        return errorOf(GetLastError());
    }
    state->interruptSlot = armRemoval(state->file);
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
    disarmRemoval(state.interruptSlot);
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

void FileReplacement::removeTemporaryFilesOnInterrupt() { SetConsoleCtrlHandler(removeTemporaryFilesThenEnd, TRUE); }

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
