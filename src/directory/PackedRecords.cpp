#include "directory/PackedRecords.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "base/Limits.h"

namespace fichelia {

// A record is stored as the lengths of its eight texts, seven bits to a byte
// with the high bit set on every byte but a length's last, then the texts.
// Blocks are 1 MB; a record larger than that has a block of its own. Blocks
// never move, so the views handed out stay valid.
namespace {

constexpr std::size_t kBlockSize = std::size_t{1} << 20;
constexpr std::size_t kMostLengthBytes = (std::numeric_limits<std::size_t>::digits + 6) / 7;

char* putLength(char* out, std::size_t length) {
    while (length >= 0x80) {
        *out++ = static_cast<char>(0x80 | (length & 0x7F));
        length >>= 7;
    }
    *out++ = static_cast<char>(length);
    return out;
}

const char* getLength(const char* in, std::size_t& length) {
    length = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(*in++);
        length |= static_cast<std::size_t>(byte & 0x7F) << shift;
        if (byte < 0x80) {
            return in;
        }
    }
}

} // namespace

PackedRecords::PackedRecords() = default;
PackedRecords::~PackedRecords() = default;
PackedRecords::PackedRecords(PackedRecords&&) noexcept = default;
PackedRecords& PackedRecords::operator=(PackedRecords&&) noexcept = default;

char* PackedRecords::room(std::size_t size) {
    // A record is found by its block and a 32-bit offset: a block that a record
    // of its own took past 4 GB takes no more.
    const auto full = [size](const Block& block) {
        return block.capacity - block.used < size || block.used > std::numeric_limits<std::uint32_t>::max();
    };
    if (m_blocks.empty() || full(m_blocks.back())) {
        if (m_blocks.size() == std::numeric_limits<std::uint32_t>::max()) {
            throw TooManyRecords("more blocks than 32-bit indices number");
        }
        const std::size_t capacity = std::max(size, kBlockSize);
        m_blocks.push_back({std::make_unique_for_overwrite<char[]>(capacity), capacity, 0});
    }
    return m_blocks.back().bytes.get() + m_blocks.back().used;
}

void PackedRecords::add(const Contact& record) {
    std::size_t size = 0;
    for (const RecordField& field : kRecordFields) {
        size += kMostLengthBytes + (record.*field.text).size();
    }
    if (m_records.size() == m_records.capacity()) {
        m_records.reserve(std::max<std::size_t>(16, 2 * m_records.size())); // so that push_back cannot throw below
    }
    char* const start = room(size);
    char* out = start;
    for (const RecordField& field : kRecordFields) {
        out = putLength(out, (record.*field.text).size());
    }
    for (const RecordField& field : kRecordFields) {
        const std::string& text = record.*field.text;
        std::memcpy(out, text.data(), text.size());
        out += text.size();
    }
    Block& block = m_blocks.back();
    m_records.push_back({static_cast<std::uint32_t>(m_blocks.size() - 1), static_cast<std::uint32_t>(block.used)});
    block.used += static_cast<std::size_t>(out - start);
}

void PackedRecords::clear() {
    m_blocks.clear();
    m_records.clear();
}

void PackedRecords::append(PackedRecords&& other) {
    if (m_blocks.size() + other.m_blocks.size() > std::numeric_limits<std::uint32_t>::max()) {
        throw TooManyRecords("more blocks than 32-bit indices number");
    }
    m_blocks.reserve(m_blocks.size() + other.m_blocks.size());
    m_records.reserve(m_records.size() + other.m_records.size());
    const auto shift = static_cast<std::uint32_t>(m_blocks.size());
    for (Block& block : other.m_blocks) {
        m_blocks.push_back(std::move(block));
    }
    for (const Location where : other.m_records) {
        m_records.push_back({where.block + shift, where.offset});
    }
    other.clear();
}

RecordTexts PackedRecords::at(std::size_t index) const {
    const Location where = m_records[index];
    const char* in = m_blocks[where.block].bytes.get() + where.offset;
    std::array<std::size_t, kFieldCount> lengths{};
    for (std::size_t& length : lengths) {
        in = getLength(in, length);
    }
    RecordTexts texts;
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        texts[i] = std::string_view(in, lengths[i]);
        in += lengths[i];
    }
    return texts;
}

std::string_view PackedRecords::name(std::size_t index) const { return at(index)[0]; }

} // namespace fichelia
