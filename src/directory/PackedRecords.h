#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "directory/Contact.h"

namespace fichelia {

// A record's texts, in record order (kRecordFields), as views.
using RecordTexts = std::array<std::string_view, kFieldCount>;

// Many records for one pass of reading, kept as their texts side by side in
// large blocks rather than as eight strings each on the heap: for the
// companion tool's import, sort and write of a whole book. A record takes
// little more than its texts (a vector of Contact takes 256 bytes a record
// before any text longer than 15 bytes), and one record's texts lie together,
// so the page writer reads a record in one or two cache lines.
class PackedRecords {
public:
    PackedRecords();
    ~PackedRecords();
    PackedRecords(PackedRecords&&) noexcept;
    PackedRecords& operator=(PackedRecords&&) noexcept;

    void reserve(std::size_t records) { m_records.reserve(records); }
    // May throw std::bad_alloc, or TooManyRecords past 2^32 - 1 blocks of
    // 1 MB, leaving what was added before.
    void add(const Contact& record);
    void clear();
    // Moves the records of other after these, in their order. May throw as add.
    void append(PackedRecords&& other);

    std::size_t size() const { return m_records.size(); }
    bool empty() const { return m_records.empty(); }
    // index: from 0 to size() - 1, in the order of adding. The views hold as
    // long as this does, whatever is added after.
    RecordTexts at(std::size_t index) const;
    std::string_view name(std::size_t index) const;

private:
    struct Block {
        std::unique_ptr<char[]> bytes;
        std::size_t capacity = 0;
        std::size_t used = 0;
    };
    struct Location {
        std::uint32_t block;
        std::uint32_t offset;
    };

    char* room(std::size_t size);

    std::vector<Block> m_blocks;
    std::vector<Location> m_records;
};

} // namespace fichelia
