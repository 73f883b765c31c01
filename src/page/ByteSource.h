#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace fichelia {

// Where the page reader takes its bytes from.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Copies up to size bytes into buffer and returns how many; 0 means the
    // data has ended, or a read failed (then failed() says so).
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
    virtual bool failed() const = 0;
};

// Bytes held in memory by the caller, which keeps them alive while reading.
class MemoryByteSource final : public ByteSource {
public:
    explicit MemoryByteSource(std::string_view bytes) : m_bytes(bytes) {}
    std::size_t read(char* buffer, std::size_t size) override;
    bool failed() const override { return false; }

private:
    std::string_view m_bytes;
};

// A file opened for reading, closed when the source goes.
class FileByteSource final : public ByteSource {
public:
    // Nothing when the file cannot be opened for reading.
    static std::unique_ptr<FileByteSource> open(const std::string& path);
    // A stream opened elsewhere (standard input), left open at the end.
    static std::unique_ptr<FileByteSource> borrow(std::FILE* stream);
    ~FileByteSource() override;
    FileByteSource(const FileByteSource&) = delete;
    FileByteSource& operator=(const FileByteSource&) = delete;

    std::size_t read(char* buffer, std::size_t size) override;
    bool failed() const override { return m_failed; }

private:
    FileByteSource(std::FILE* file, bool owned) : m_file(file), m_owned(owned) {}
    std::FILE* m_file;
    bool m_owned;
    bool m_failed = false;
};

} // namespace fichelia
