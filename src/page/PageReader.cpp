#include "page/PageReader.h"

#include <array>
#include <cstring>
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

void setValue(annuaire& record, int valueNumber, std::string text) {
    // The record line's order: commentaire (7) before site (8).
    switch (valueNumber) {
    case 1: record.nom = std::move(text); break;
    case 2: record.adresse = std::move(text); break;
    case 3: record.tel = std::move(text); break;
    case 4: record.gsm = std::move(text); break;
    case 5: record.fax = std::move(text); break;
    case 6: record.mail = std::move(text); break;
    case 7: record.commentaire = std::move(text); break;
    case 8: record.site = std::move(text); break;
    default: break;
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

// Gathers the lines of the data one chunk at a time and hands each record line
// to ParseDirectoryLine. Only a line that may still be a record line is kept.
class LineSplitter {
public:
    LineSplitter(const annuaire& templateRecord, const RecordReceiver& receiver)
        : m_template(templateRecord), m_receiver(receiver) {}

    void feed(const char* data, std::size_t size) {
        const char* p = data;
        const char* const end = data + size;
        while (p < end) {
            const auto* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
            const char* const stop = lf != nullptr ? lf : end;
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

    void finishLine() {
        if (m_state == State::Collecting && m_line.size() >= kRecordMarker.size()) {
            if (auto record = ParseDirectoryLine(m_line, m_template)) {
                m_receiver(std::move(*record));
            }
        }
        m_line.clear();
        m_state = State::Collecting;
        m_cutAtNul = false;
    }

    const annuaire& m_template;
    const RecordReceiver& m_receiver;
    std::string m_line;
    State m_state = State::Collecting;
    bool m_cutAtNul = false;
};

} // namespace

std::string decodeScriptValue(std::string_view value) {
    std::string text;
    text.reserve(value.size() + value.size() / 4);
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
    return text;
}

} // namespace page

std::optional<annuaire> ParseDirectoryLine(std::string_view line, const annuaire& templateRecord) {
    if (line.substr(0, page::kRecordMarker.size()) != page::kRecordMarker) {
        return std::nullopt;
    }
    annuaire record = templateRecord;
    const std::size_t firstQuote = line.find('"');
    if (firstQuote == std::string_view::npos) {
        return record;
    }
    std::string_view rest = line.substr(firstQuote + 1);
    for (int valueNumber = 1; valueNumber <= 8; ++valueNumber) {
        const std::size_t quote = rest.find('"');
        if (quote == std::string_view::npos) {
            page::setValue(record, valueNumber, {});
            break;
        }
        page::setValue(record, valueNumber, page::decodeScriptValue(rest.substr(0, quote)));
        // Past the closing quote and the two bytes after it (comma, opening quote).
        rest.remove_prefix(std::min(rest.size(), quote + 3));
    }
    return record;
}

void ReadDirectoryPage(ByteSource& source, const annuaire& templateRecord, const RecordReceiver& receiver) {
    page::LineSplitter lines(templateRecord, receiver);
    std::vector<char> chunk(page::kChunkSize);
    for (;;) {
        const std::size_t size = source.read(chunk.data(), chunk.size());
        if (size == 0) {
            if (!source.failed()) {
                lines.finish();
            }
            return;
        }
        const auto* ctrlZ = static_cast<const char*>(std::memchr(chunk.data(), page::kCtrlZ, size));
        if (ctrlZ != nullptr) {
            lines.feed(chunk.data(), static_cast<std::size_t>(ctrlZ - chunk.data()));
            lines.finish();
            return;
        }
        lines.feed(chunk.data(), size);
    }
}

} // namespace fichelia
