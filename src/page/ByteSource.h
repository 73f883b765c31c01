#pragma once

#include <cstdio>
#include <memory>
#include <string_view>

#include "base/Result.h"

namespace fichelia {

// Where the page reader takes its bytes from.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Copies up to size bytes into buffer and returns how many, 0 once the data
    // has ended; or the error that ends the reading.
    virtual Result<std::size_t> read(char* buffer, std::size_t size) = 0;
};

// Bytes held in memory by the caller, which keeps them alive while reading.
class MemoryByteSource final : public ByteSource {
public:
    explicit MemoryByteSource(std::string_view bytes) : m_bytes(bytes) {}
    Result<std::size_t> read(char* buffer, std::size_t size) override;

private:
    std::string_view m_bytes;
};

// A stdio stream opened by someone else (standard input), read from where it
// stands and left open. Files are opened by name in the platform layer, which
// knows how the system spells names.
class FileByteSource final : public ByteSource {
public:
    static std::unique_ptr<FileByteSource> borrow(std::FILE* stream) {
        return std::make_unique<FileByteSource>(stream);
    }
    explicit FileByteSource(std::FILE* stream) : m_stream(stream) {}

    Result<std::size_t> read(char* buffer, std::size_t size) override;

private:
    std::FILE* m_stream;
};

} // namespace fichelia
