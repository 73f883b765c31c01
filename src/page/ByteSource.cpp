#include "page/ByteSource.h"

#include <algorithm>
#include <cstring>

namespace fichelia {

Result<std::size_t> MemoryByteSource::read(char* buffer, std::size_t size) {
    const std::size_t count = std::min(size, m_bytes.size());
    std::memcpy(buffer, m_bytes.data(), count);
    m_bytes.remove_prefix(count);
    return count;
}

Result<std::size_t> FileByteSource::read(char* buffer, std::size_t size) {
    const std::size_t count = std::fread(buffer, 1, size, m_stream);
    if (count == 0 && std::ferror(m_stream) != 0) {
        return Error::ReadFailed;
    }
    return count;
}

} // namespace fichelia
