#include "page/PageReader.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "text/Windows1252.h"

namespace fichelia {

namespace page {

namespace {

constexpr char kCtrlZ = 0x1A;
constexpr std::size_t kChunkSize = 64 * 1024;

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// The value of the `digits` hexadecimal digits at text[pos], or -1.
long hexNumber(std::string_view text, std::size_t pos, std::size_t digits) {
    if (pos + digits > text.size()) {
        return -1;
    }
    long value = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const int digit = hexValue(text[pos + i]);
        if (digit < 0) {
            return -1;
        }
        value = value * 16 + digit;
    }
    return value;
}

bool isHighSurrogate(long unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(long unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The escape starting with the backslash at value[pos]: the code point it
// stands for and its length, or nothing when it is not one of the writer's.
struct Escape {
    char32_t codePoint;
    std::size_t length;
};

std::optional<Escape> escapeAt(std::string_view value, std::size_t pos) {
    if (pos + 1 >= value.size()) {
        return std::nullopt;
    }
    switch (value[pos + 1]) {
    case '\\':
        return Escape{U'\\', 2};
    case '/':
        return Escape{U'/', 2};
    case 'x': {
        const long byte = hexNumber(value, pos + 2, 2);
        return byte < 0 ? std::nullopt : std::optional<Escape>(Escape{static_cast<char32_t>(byte), 4});
    }
    case 'u': {
        const long unit = hexNumber(value, pos + 2, 4);
        if (unit < 0) {
            return std::nullopt;
        }
        if (!isHighSurrogate(unit) && !isLowSurrogate(unit)) {
            return Escape{static_cast<char32_t>(unit), 6};
        }
        if (isHighSurrogate(unit) && pos + 7 < value.size() && value[pos + 6] == '\\' && value[pos + 7] == 'u') {
            const long low = hexNumber(value, pos + 8, 4);
            if (isLowSurrogate(low)) {
                const auto codePoint = static_cast<char32_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                return Escape{codePoint, 12};
            }
        }
        return std::nullopt; // half a pair stays as it stands
    }
    default:
        return std::nullopt;
    }
}

bool isRecordLine(std::string_view line) { return line.substr(0, kRecordMarker.size()) == kRecordMarker; }

// What a value holds besides plain ASCII, found while looking for its end.
struct ValueScan {
    std::size_t end;     // the closing quote, or npos
    bool highBytes;      // a byte from 0x80 on (may be set for bytes past the end)
    bool backslashes;    // a backslash (may be set for bytes past the end)
};

constexpr std::uint64_t kOnes = 0x0101010101010101;
constexpr std::uint64_t kHighBits = 0x8080808080808080;

// The high bit of every byte of word equal to the byte of pattern; the lowest
// one set is exact, those above it may be false.
std::uint64_t bytesEqual(std::uint64_t word, unsigned char byte) {
    const std::uint64_t x = word ^ (kOnes * byte);
    return (x - kOnes) & ~x & kHighBits;
}

// Finds the quote that ends a value, eight bytes a step, noting on the way
// whether the value needs decoding: record lines are most of a page, and most
// of their values are plain ASCII.
ValueScan scanValue(std::string_view rest) {
    ValueScan scan{std::string_view::npos, false, false};
    std::size_t pos = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::uint64_t high = 0;
        std::uint64_t backslash = 0;
        for (; pos + sizeof(std::uint64_t) <= rest.size(); pos += sizeof(std::uint64_t)) {
            std::uint64_t word = 0;
            std::memcpy(&word, rest.data() + pos, sizeof word);
            const std::uint64_t quotes = bytesEqual(word, '"');
            if (quotes != 0) {
                const int before = std::countr_zero(quotes) / 8;
                const std::uint64_t mask = before == 0 ? 0 : ~std::uint64_t{0} >> (64 - 8 * before);
                high |= word & kHighBits & mask;
                backslash |= bytesEqual(word, '\\') & mask;
                scan.end = pos + static_cast<std::size_t>(before);
                scan.highBytes = high != 0;
                scan.backslashes = backslash != 0;
                return scan;
            }
            high |= word & kHighBits;
            backslash |= bytesEqual(word, '\\');
        }
        scan.highBytes = high != 0;
        scan.backslashes = backslash != 0;
    }
    for (; pos < rest.size(); ++pos) {
        const auto c = static_cast<unsigned char>(rest[pos]);
        if (c == '"') {
            scan.end = pos;
            return scan;
        }
        scan.highBytes = scan.highBytes || c >= 0x80;
        scan.backslashes = scan.backslashes || c == '\\';
    }
    return scan;
}

// Sets text to one value of a record line, decoded (see decodeScriptValue).
void assignScriptValue(std::string& text, std::string_view value, bool highBytes, bool backslashes) {
    if (!backslashes) {
        if (!highBytes) {
            text.assign(value.data(), value.size()); // ASCII reads as itself
        } else {
            text.clear();
            text::appendWindows1252AsUtf8(text, value);
        }
        return;
    }
    text.clear();
    std::size_t pos = 0;
    while (pos < value.size()) {
        const std::size_t backslash = value.find('\\', pos);
        const std::size_t runEnd = backslash == std::string_view::npos ? value.size() : backslash;
        text::appendWindows1252AsUtf8(text, value.substr(pos, runEnd - pos));
        pos = runEnd;
        if (pos == value.size()) {
            break;
        }
        if (const auto escape = escapeAt(value, pos)) {
            text::appendUtf8(text, escape->codePoint);
            pos += escape->length;
        } else {
            text += '\\';
            ++pos;
        }
    }
}

// Sets every field of record from a record line: the line's values, and the
// template's texts for the fields the line lacks. Texts already in record lend
// their room.
void readRecordLine(std::string_view line, const Contact& templateRecord, Contact& record) {
    std::size_t valuesGiven = 0;
    const std::size_t firstQuote = line.find('"');
    if (firstQuote != std::string_view::npos) {
        std::string_view rest = line.substr(firstQuote + 1);
        while (valuesGiven < kPageValueOrder.size()) {
            std::string& field = record.*kPageValueOrder[valuesGiven];
            ++valuesGiven;
            const ValueScan scan = scanValue(rest);
            if (scan.end == std::string_view::npos) {
                field.clear(); // the pass that finds no quote leaves its field empty
                break;
            }
            assignScriptValue(field, rest.substr(0, scan.end), scan.highBytes, scan.backslashes);
            // Past the closing quote and the two bytes after it (comma, opening quote).
            rest.remove_prefix(std::min(rest.size(), scan.end + 3));
        }
    }
    for (std::size_t value = valuesGiven; value < kPageValueOrder.size(); ++value) {
        record.*kPageValueOrder[value] = templateRecord.*kPageValueOrder[value];
    }
}

// Appends bytes with every CR left out.
void appendWithoutCr(std::string& out, const char* begin, const char* end) {
    while (begin < end) {
        const auto* cr = static_cast<const char*>(std::memchr(begin, '\r', static_cast<std::size_t>(end - begin)));
        const char* stop = cr != nullptr ? cr : end;
        out.append(begin, stop);
        begin = cr != nullptr ? cr + 1 : end;
    }
}

// Gathers the lines of the data one chunk at a time and reads each record line
// as ParseDirectoryLine does. Only a line that may still be a record line is kept.
class LineSplitter {
public:
    LineSplitter(const Contact& templateRecord, const RecordReceiver& receiver)
        : m_template(templateRecord), m_receiver(receiver) {}

    void feed(const char* data, std::size_t size) {
        const char* p = data;
        const char* const end = data + size;
        // Pages are LF text without NULs, so most chunks hold neither CR nor NUL:
        // then a line that starts and ends in the chunk is parsed where it lies.
        const bool plainChunk = std::memchr(data, '\r', size) == nullptr && std::memchr(data, '\0', size) == nullptr;
        while (p < end) {
            const auto* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
            const char* const stop = lf != nullptr ? lf : end;
            if (plainChunk && lf != nullptr && atLineStart()) {
                handLine(std::string_view(p, static_cast<std::size_t>(stop - p)));
                p = lf + 1;
                continue;
            }
            if (m_state != State::Skipping) {
                collect(p, stop);
            }
            if (lf == nullptr) {
                return;
            }
            finishLine();
            p = lf + 1;
        }
    }

    // The data has ended: its last line counts even without a LF.
    void finish() { finishLine(); }

private:
    enum class State { Collecting, Skipping };

    // Nothing of the current line kept so far but CRs, which do not count.
    bool atLineStart() const { return m_state == State::Collecting && m_line.empty() && !m_cutAtNul; }

    void collect(const char* begin, const char* end) {
        if (m_cutAtNul) {
            return;
        }
        const auto* nul = static_cast<const char*>(std::memchr(begin, '\0', static_cast<std::size_t>(end - begin)));
        if (nul != nullptr) {
            end = nul;
            m_cutAtNul = true;
        }
        const std::size_t checkedBefore = std::min(m_line.size(), kRecordMarker.size());
        appendWithoutCr(m_line, begin, end);
        const std::size_t checkable = std::min(m_line.size(), kRecordMarker.size());
        if (m_line.compare(checkedBefore, checkable - checkedBefore, kRecordMarker, checkedBefore,
                           checkable - checkedBefore) != 0 ||
            (m_cutAtNul && m_line.size() < kRecordMarker.size())) {
            m_state = State::Skipping;
            m_line.clear();
        }
    }

    void handLine(std::string_view line) {
        if (isRecordLine(line)) {
            readRecordLine(line, m_template, m_record);
            m_receiver(std::move(m_record));
        }
    }

    void finishLine() {
        if (m_state == State::Collecting) {
            handLine(m_line);
        }
        m_line.clear();
        m_state = State::Collecting;
        m_cutAtNul = false;
    }

    const Contact& m_template;
    const RecordReceiver& m_receiver;
    std::string m_line;
    // Every record is read into this one and handed over from it. A receiver
    // that keeps the record takes its texts; one that only looks at it leaves
    // them, and their room serves the next line.
    Contact m_record;
    State m_state = State::Collecting;
    bool m_cutAtNul = false;
};

} // namespace

std::string decodeScriptValue(std::string_view value) {
    std::string text;
    assignScriptValue(text, value, true, true);
    return text;
}

} // namespace page

std::optional<Contact> ParseDirectoryLine(std::string_view line, const Contact& templateRecord) {
    if (!page::isRecordLine(line)) {
        return std::nullopt;
    }
    Contact record;
    page::readRecordLine(line, templateRecord, record);
    return record;
}

Result<void> ReadDirectoryPage(ByteSource& source, const Contact& templateRecord, const RecordReceiver& receiver) {
    try {
        page::LineSplitter lines(templateRecord, receiver);
        std::vector<char> chunk(page::kChunkSize);
        for (;;) {
            const Result<std::size_t> read = source.read(chunk.data(), chunk.size());
            if (!read) {
                return read.error(); // without the line under way
            }
            const std::size_t size = *read;
            if (size == 0) {
                lines.finish();
                return {};
            }
            const auto* ctrlZ = static_cast<const char*>(std::memchr(chunk.data(), page::kCtrlZ, size));
            if (ctrlZ != nullptr) {
                lines.feed(chunk.data(), static_cast<std::size_t>(ctrlZ - chunk.data()));
                lines.finish();
                return {};
            }
            lines.feed(chunk.data(), size);
        }
    } catch (const std::bad_alloc&) {
        return Error::OutOfMemory;
    }
}

} // namespace fichelia
