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

bool isHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
bool isOctal(char c) { return c >= '0' && c <= '7'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }

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

// A value's text as the script builds it: UTF-16 code units, of which a
// high surrogate waits for the low one that may follow.
class ValueText {
public:
    explicit ValueText(std::string& text) : m_text(text) { m_text.clear(); }

    void bytes(std::string_view windows1252) {
        if (!windows1252.empty()) {
            flushHalf();
            text::appendWindows1252AsUtf8(m_text, windows1252);
        }
    }
    void codePoint(char32_t codePoint) {
        if (m_high != 0 && isLowSurrogate(codePoint)) {
            text::appendUtf8(m_text, 0x10000 + ((m_high - 0xD800) << 10) + (codePoint - 0xDC00));
            m_high = 0;
            return;
        }
        flushHalf();
        if (isHighSurrogate(codePoint)) {
            m_high = codePoint;
        } else {
            text::appendUtf8(m_text, isLowSurrogate(codePoint) ? char32_t{0xFFFD} : codePoint);
        }
    }
    void finish() { flushHalf(); }

private:
    void flushHalf() {
        if (m_high != 0) {
            text::appendUtf8(m_text, 0xFFFD); // half a pair, as a browser shows it
            m_high = 0;
        }
    }
    std::string& m_text;
    char32_t m_high = 0;
};

// Undoes the escape whose backslash is at line[pos] and moves pos past it;
// false when the script would refuse it.
bool undoEscape(std::string_view line, std::size_t& pos, ValueText& text) {
    if (pos + 1 >= line.size()) {
        return false;
    }
    const char c = line[pos + 1];
    pos += 2;
    switch (c) {
    case 'n': text.codePoint(U'\n'); return true;
    case 'r': text.codePoint(U'\r'); return true;
    case 't': text.codePoint(U'\t'); return true;
    case 'b': text.codePoint(U'\b'); return true;
    case 'f': text.codePoint(U'\f'); return true;
    case 'v': text.codePoint(U'\v'); return true;
    case '\n': return true; // a line continuation
    case 'x': {
        const long byte = hexNumber(line, pos, 2);
        if (byte < 0) {
            return false;
        }
        text.codePoint(static_cast<char32_t>(byte));
        pos += 2;
        return true;
    }
    case 'u': {
        if (pos < line.size() && line[pos] == '{') {
            const std::size_t close = line.find('}', pos);
            long value = 0;
            if (close == std::string_view::npos || close == pos + 1) {
                return false;
            }
            for (std::size_t i = pos + 1; i < close; ++i) {
                const int digit = hexValue(line[i]);
                value = value * 16 + digit;
                if (digit < 0 || value > 0x10FFFF) {
                    return false;
                }
            }
            text.codePoint(static_cast<char32_t>(value));
            pos = close + 1;
            return true;
        }
        const long unit = hexNumber(line, pos, 4);
        if (unit < 0) {
            return false;
        }
        text.codePoint(static_cast<char32_t>(unit));
        pos += 4;
        return true;
    }
    default:
        break;
    }
    if (isOctal(c)) {
        // \0 and the old octal escapes that browsers still read: up to three
        // digits from 0-3, up to two from 4-7.
        char32_t value = static_cast<char32_t>(c - '0');
        const std::size_t most = c <= '3' ? 2 : 1;
        for (std::size_t i = 0; i < most && pos < line.size() && isOctal(line[pos]); ++i, ++pos) {
            value = value * 8 + static_cast<char32_t>(line[pos] - '0');
        }
        text.codePoint(value);
        return true;
    }
    text.bytes(line.substr(pos - 1, 1)); // \" \' \\ \/ \8 and any other character: that character
    return true;
}

// Reads a string literal at line[pos] into field and moves pos past it; false
// when there is none, or it is never closed, or holds an escape the script
// refuses.
bool readString(std::string_view line, std::size_t& pos, std::string& field) {
    if (pos >= line.size() || (line[pos] != '"' && line[pos] != '\'')) {
        return false;
    }
    const char quote = line[pos];
    const std::string_view rest = line.substr(pos + 1);
    if (quote == '"') {
        // Most values hold no backslash and are plain ASCII.
        const ValueScan scan = scanValue(rest);
        if (scan.end != std::string_view::npos && !scan.backslashes) {
            if (!scan.highBytes) {
                field.assign(rest.data(), scan.end);
            } else {
                field.clear();
                text::appendWindows1252AsUtf8(field, rest.substr(0, scan.end));
            }
            pos += scan.end + 2;
            return true;
        }
    }
    ValueText text(field);
    std::size_t p = pos + 1;
    std::size_t run = p;
    while (p < line.size()) {
        const char c = line[p];
        if (c == quote) {
            text.bytes(line.substr(run, p - run));
            text.finish();
            pos = p + 1;
            return true;
        }
        if (c == '\n') {
            return false; // a line break that no backslash continues
        }
        if (c == '\\') {
            text.bytes(line.substr(run, p - run));
            if (!undoEscape(line, p, text)) {
                return false;
            }
            run = p;
        } else {
            ++p;
        }
    }
    return false;
}

void skipBlanks(std::string_view line, std::size_t& pos) {
    while (pos < line.size() && isBlank(line[pos])) {
        ++pos;
    }
}

bool take(std::string_view line, std::size_t& pos, char c) {
    skipBlanks(line, pos);
    if (pos < line.size() && line[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

// Reads a record line into record, whose texts lend their room; false, and
// record empty, when the line is damaged (see ParseDirectoryLine).
bool readRecordLine(std::string_view line, Contact& record) {
    std::size_t pos = kRecordMarker.size();
    skipBlanks(line, pos);
    const std::size_t digits = pos;
    while (pos < line.size() && isDigit(line[pos])) {
        ++pos;
    }
    bool whole = pos > digits && take(line, pos, ',');
    for (std::size_t value = 0; whole && value < kPageValueOrder.size(); ++value) {
        skipBlanks(line, pos);
        whole = readString(line, pos, record.*kPageValueOrder[value]) &&
                take(line, pos, value + 1 < kPageValueOrder.size() ? ',' : ')');
    }
    whole = whole && take(line, pos, ';');
    skipBlanks(line, pos);
    if (!whole || pos != line.size()) {
        for (const RecordText field : kPageValueOrder) {
            (record.*field).clear();
        }
        return false;
    }
    return true;
}

// How many backslashes end text.
std::size_t trailingBackslashes(std::string_view text) {
    const std::size_t last = text.find_last_not_of('\\');
    return last == std::string_view::npos ? text.size() : text.size() - last - 1;
}

// A record line that ends with an odd run of backslashes may be a value
// continued on the next line.
bool mayContinue(std::string_view line) { return trailingBackslashes(line) % 2 == 1; }

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
// as ParseDirectoryLine does. Only a line that may still be a record line, or
// may continue one, is kept.
class LineSplitter {
public:
    LineSplitter(const RecordReceiver& receiver, const DamagedLineReceiver& damaged, PageReading& reading)
        : m_receiver(receiver), m_damaged(damaged), m_reading(reading) {}

    void feed(const char* data, std::size_t size) {
        const char* p = data;
        const char* const end = data + size;
        // Pages are LF text without NULs, so most chunks hold neither CR nor NUL:
        // then a line that starts and ends in the chunk is read where it lies.
        const bool plainChunk = std::memchr(data, '\r', size) == nullptr && std::memchr(data, '\0', size) == nullptr;
        while (p < end) {
            const auto* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
            const char* const stop = lf != nullptr ? lf : end;
            if (plainChunk && lf != nullptr && atLineStart()) {
                lineEnded(std::string_view(p, static_cast<std::size_t>(stop - p)), false);
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

    // The data has ended: its last line counts even without a LF, and a value
    // continued past it is never closed.
    void finish() {
        finishLine();
        if (m_continuing) {
            m_continuing = false;
            readRecord(m_pending, m_pendingLine);
        }
    }

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
        if (m_continuing) {
            return; // whatever it holds, this line may go on a record's value
        }
        const std::size_t checkable = std::min(m_line.size(), kRecordMarker.size());
        if (m_line.compare(checkedBefore, checkable - checkedBefore, kRecordMarker, checkedBefore,
                           checkable - checkedBefore) != 0 ||
            (m_cutAtNul && m_line.size() < kRecordMarker.size())) {
            m_state = State::Skipping;
            m_line.clear();
        }
    }

    void finishLine() {
        if (m_state == State::Collecting) {
            lineEnded(m_line, m_cutAtNul);
        } else {
            ++m_lineNumber;
        }
        m_line.clear();
        m_state = State::Collecting;
        m_cutAtNul = false;
    }

    // A whole line, its number m_lineNumber; cut: a NUL hid its end.
    void lineEnded(std::string_view line, bool cut) {
        const long number = m_lineNumber++;
        if (m_continuing) {
            if (!isRecordLine(line)) {
                m_pending += '\n';
                m_pending.append(line);
                if (cut || !mayContinue(line)) {
                    m_continuing = false;
                    readRecord(m_pending, m_pendingLine);
                }
                return;
            }
            // A record line of its own is never taken into the value of another.
            m_continuing = false;
            readRecord(m_pending, m_pendingLine);
        }
        if (!isRecordLine(line)) {
            return;
        }
        if (!cut && mayContinue(line)) {
            m_pending.assign(line);
            m_pendingLine = number;
            m_continuing = true;
            return;
        }
        readRecord(line, number);
    }

    void readRecord(std::string_view line, long number) {
        m_reading.isPage = true;
        if (readRecordLine(line, m_record)) {
            m_receiver(std::move(m_record));
            return;
        }
        ++m_reading.damagedLines;
        if (m_reading.firstDamagedLine == 0) {
            m_reading.firstDamagedLine = number;
        }
        if (m_damaged) {
            m_damaged(number);
        }
    }

    const RecordReceiver& m_receiver;
    const DamagedLineReceiver& m_damaged;
    PageReading& m_reading;
    std::string m_line;
    long m_lineNumber = 1;
    // A record line whose last value goes on into the next line, and its number.
    std::string m_pending;
    long m_pendingLine = 0;
    bool m_continuing = false;
    // Every record is read into this one and handed over from it. A receiver
    // that keeps the record takes its texts; one that only looks at it leaves
    // them, and their room serves the next line.
    Contact m_record;
    State m_state = State::Collecting;
    bool m_cutAtNul = false;
};

// Looks for the record marker anywhere in the data, also across two chunks.
class MarkerWatch {
public:
    void look(const char* data, std::size_t size) {
        if (m_seen) {
            return;
        }
        m_tail.append(data, size);
        m_seen = m_tail.find(kRecordMarker) != std::string::npos;
        m_tail.erase(0, m_tail.size() - std::min(m_tail.size(), kRecordMarker.size() - 1));
    }
    bool seen() const { return m_seen; }

private:
    std::string m_tail;
    bool m_seen = false;
};

} // namespace

} // namespace page

LineKind ParseDirectoryLine(std::string_view line, Contact& record) {
    if (!page::isRecordLine(line)) {
        record = Contact();
        return LineKind::Other;
    }
    return page::readRecordLine(line, record) ? LineKind::Record : LineKind::Damaged;
}

Result<PageReading> ReadDirectoryPage(ByteSource& source, const RecordReceiver& receiver,
                                      const DamagedLineReceiver& damaged) {
    try {
        PageReading reading;
        page::LineSplitter lines(receiver, damaged, reading);
        page::MarkerWatch marker;
        std::vector<char> chunk(page::kChunkSize);
        for (;;) {
            const Result<std::size_t> read = source.read(chunk.data(), chunk.size());
            if (!read) {
                return read.error(); // without the line under way
            }
            std::size_t size = *read;
            const auto* ctrlZ = static_cast<const char*>(std::memchr(chunk.data(), page::kCtrlZ, size));
            if (ctrlZ != nullptr) {
                size = static_cast<std::size_t>(ctrlZ - chunk.data());
            }
            marker.look(chunk.data(), size);
            lines.feed(chunk.data(), size);
            if (size == 0 || ctrlZ != nullptr) {
                lines.finish();
                reading.isPage = reading.isPage || marker.seen();
                return reading;
            }
        }
    } catch (const std::bad_alloc&) {
        return Error::OutOfMemory;
    }
}

} // namespace fichelia
