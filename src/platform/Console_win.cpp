#include "platform/Console.h"

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

File openForReading(const std::string& utf8Name) {
    const std::wstring name = wide::fromUtf8(utf8Name);
    return File(name.empty() ? nullptr : _wfopen(name.c_str(), L"rb"), std::fclose);
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
