#include "platform/Console.h"

#include <sys/stat.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace fichelia::console {

void useBinaryStandardStreams() {}

std::vector<std::string> arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

File openForReading(const std::string& utf8Name) {
    return File(std::fopen(utf8Name.c_str(), "rb"), std::fclose);
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
