#include "page/ByteSource.h"

#include <algorithm>
#include <cstring>

namespace fichelia {

std::size_t MemoryByteSource::read(char* buffer, std::size_t size) {
    const std::size_t count = std::min(size, m_bytes.size());
    std::memcpy(buffer, m_bytes.data(), count);
    m_bytes.remove_prefix(count);
    return count;
}

std::unique_ptr<FileByteSource> FileByteSource::open(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return nullptr;
    }
    return std::unique_ptr<FileByteSource>(new FileByteSource(file, true));
}

std::unique_ptr<FileByteSource> FileByteSource::borrow(std::FILE* stream) {
    return std::unique_ptr<FileByteSource>(new FileByteSource(stream, false));
}

FileByteSource::~FileByteSource() {
    if (m_owned) {
        std::fclose(m_file);
    }
}

std::size_t FileByteSource::read(char* buffer, std::size_t size) {
    if (m_failed) {
        return 0;
    }
    const std::size_t count = std::fread(buffer, 1, size, m_file);
    if (count == 0 && std::ferror(m_file) != 0) {
        m_failed = true;
    }
    return count;
}

} // namespace fichelia
