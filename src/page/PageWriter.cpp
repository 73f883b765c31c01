#include "page/PageWriter.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include "base/Limits.h"
#include "page/PageItems.h"
#include "text/Windows1252.h"

namespace fichelia {

namespace page {

namespace {

constexpr std::string_view kRecordPrefix = "remplirTabFournisseur(";
constexpr std::string_view kHexDigits = "0123456789ABCDEF";

// What the value writer does with each byte: copy it as it is, or look closer.
// Bytes from 0x80 on start a UTF-8 sequence and always take the slow path.
// Numbers rather than bools, so that four look-ups combine with '&' and no branch.
constexpr std::array<std::uint8_t, 256> makeCopyAsIs() {
    std::array<std::uint8_t, 256> copy{};
    for (int c = 0x20; c < 0x7F; ++c) {
        copy[static_cast<std::size_t>(c)] = 1;
    }
    copy['\t'] = 1;
    copy['\\'] = 0; // escape character of the script's strings
    copy['"'] = 0;  // ends the value
    copy['<'] = 0;  // starts "</" and "<!", which are escaped
    return copy;
}
constexpr std::array<std::uint8_t, 256> kCopyAsIs = makeCopyAsIs();

void appendHexEscape(std::string& page, char prefix, char32_t value, int digits) {
    page += '\\';
    page += prefix;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) {
        page += kHexDigits[(value >> shift) & 0xF];
    }
}

void appendNonAscii(std::string& page, char32_t codePoint, PageBytes bytes) {
    const auto byte = bytes == PageBytes::Windows1252 ? text::codePointToWindows1252(codePoint) : std::nullopt;
    if (byte) {
        page += static_cast<char>(*byte);
    } else if (codePoint <= 0xFFFF) {
        appendHexEscape(page, 'u', codePoint, 4);
    } else {
        const char32_t offset = codePoint - 0x10000;
        appendHexEscape(page, 'u', 0xD800 + (offset >> 10), 4);
        appendHexEscape(page, 'u', 0xDC00 + (offset & 0x3FF), 4);
    }
}

void appendNumber(std::string& page, std::size_t number) {
    std::array<char, 24> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), number);
    page.append(digits.data(), result.ptr);
}

} // namespace

void appendScriptValue(std::string& page, std::string_view utf8Text, PageBytes bytes) {
    const char* const begin = utf8Text.data();
    const char* const end = begin + utf8Text.size();
    const char* p = begin;
    while (p < end) {
        const char* const run = p;
        // Four bytes a step while they all go as they are, the common case: one
        // test of the four table entries together rather than four branches.
        while (end - p >= 4 &&
               (kCopyAsIs[static_cast<unsigned char>(p[0])] & kCopyAsIs[static_cast<unsigned char>(p[1])] &
                kCopyAsIs[static_cast<unsigned char>(p[2])] & kCopyAsIs[static_cast<unsigned char>(p[3])]) != 0) {
            p += 4;
        }
        while (p < end && kCopyAsIs[static_cast<unsigned char>(*p)] != 0) {
            ++p;
        }
        page.append(run, static_cast<std::size_t>(p - run));
        if (p == end) {
            break;
        }
        const auto c = static_cast<unsigned char>(*p);
        const auto next = p + 1 < end ? static_cast<unsigned char>(p[1]) : 0;
        if (c == '\\') {
            page.append("\\\\", 2);
            ++p;
        } else if (c == '"') {
            page.append("\\x22", 4);
            ++p;
        } else if (c == '<') {
            if (next == '/') {
                page.append("<\\/", 3);
                p += 2;
            } else if (next == '!') {
                page.append("\\x3C", 4);
                ++p;
            } else {
                page += '<';
                ++p;
            }
        } else if (c < 0x80) {
            appendHexEscape(page, 'x', c, 2);
            ++p;
        } else if (bytes == PageBytes::Windows1252 &&
                   ((c == 0xC2 && next >= 0xA0 && next <= 0xBF) || (c == 0xC3 && next >= 0x80 && next <= 0xBF))) {
            // U+00A0 to U+00FF, French letters with accents among them: Windows-1252
            // has them at the same values.
            page += static_cast<char>(((c & 0x03) << 6) | (next & 0x3F));
            p += 2;
        } else {
            auto pos = static_cast<std::size_t>(p - begin);
            const auto codePoint = text::nextUtf8CodePoint(utf8Text, pos);
            appendNonAscii(page, codePoint.value_or(0xFFFD), bytes);
            p = begin + pos;
        }
    }
}

namespace {

// Where each value of a record line is among a record's texts.
constexpr std::array<std::size_t, kFieldCount> makePageValueFields() {
    std::array<std::size_t, kFieldCount> fields{};
    for (std::size_t value = 0; value < kFieldCount; ++value) {
        for (std::size_t field = 0; field < kFieldCount; ++field) {
            if (kPageValueOrder[value] == kRecordFields[field].text) {
                fields[value] = field;
            }
        }
    }
    return fields;
}
constexpr std::array<std::size_t, kFieldCount> kPageValueFields = makePageValueFields();

} // namespace

RecordTexts textsOf(const Contact& record) {
    RecordTexts texts;
    for (std::size_t field = 0; field < kFieldCount; ++field) {
        texts[field] = record.*kRecordFields[field].text;
    }
    return texts;
}

void appendRecordLine(std::string& page, int index, const RecordTexts& record, PageBytes bytes) {
    // Room for the whole line at once when it does not fit: a line of one
    // huge value then takes about its size, not the twice its size that
    // doubling the string as it grows may reach (both buffers held at once).
    std::size_t lineSize = kRecordPrefix.size() + 64;
    for (const std::string_view text : record) {
        lineSize += text.size();
    }
    if (page.capacity() - page.size() < lineSize) {
        page.reserve(std::max(page.size() + lineSize + lineSize / 16, 2 * page.capacity()));
    }
    page += kRecordPrefix;
    appendNumber(page, static_cast<std::size_t>(index));
    page += ",\"";
    bool first = true;
    for (const std::size_t field : kPageValueFields) {
        if (!first) {
            page += "\",\"";
        }
        first = false;
        appendScriptValue(page, record[field], bytes);
    }
    page += "\");\n";
}

void appendRecordLine(std::string& page, int index, const Contact& record, PageBytes bytes) {
    appendRecordLine(page, index, textsOf(record), bytes);
}

std::string asciiPiece(std::string_view windows1252, bool& inScript) {
    constexpr std::string_view kScriptStart = "<script";
    constexpr std::string_view kScriptEnd = "</script";
    std::string ascii;
    for (std::size_t i = 0; i < windows1252.size(); ++i) {
        const auto byte = static_cast<unsigned char>(windows1252[i]);
        if (byte < 0x80) {
            ascii += static_cast<char>(byte);
            inScript = windows1252.substr(i).starts_with(inScript ? kScriptEnd : kScriptStart) ? !inScript : inScript;
        } else if (inScript) {
            appendHexEscape(ascii, 'u', text::windows1252ToCodePoint(byte), 4);
        } else {
            ascii += "&#";
            appendNumber(ascii, text::windows1252ToCodePoint(byte));
            ascii += ';';
        }
    }
    return ascii;
}

namespace {

// The fixed pieces of an Ascii page, made once.
const std::array<std::string, kPageItemCount>& asciiPieces() {
    static const std::array<std::string, kPageItemCount> pieces = [] {
        std::array<std::string, kPageItemCount> made;
        bool inScript = false;
        for (std::size_t i = 0; i < kPageItemCount; ++i) {
            made[i] = asciiPiece(kPageItems[i].text, inScript);
        }
        return made;
    }();
    return pieces;
}

} // namespace

} // namespace page

namespace {

// Appends the page for count records to page, recordLines(page) putting in
// their lines; it returns false to stop the writing (then so does this).
template <typename RecordLines>
bool appendPage(std::string& page, int count, std::string_view publisherAddress, PageBytes bytes,
                const RecordLines& recordLines) {
    for (std::size_t itemIndex = 0; itemIndex < page::kPageItemCount; ++itemIndex) {
        const page::PageItem& item = page::kPageItems[itemIndex];
        switch (item.kind) {
        case page::PageItem::Fixed:
            page += bytes == PageBytes::Ascii ? std::string_view(page::asciiPieces()[itemIndex]) : item.text;
            break;
        case page::PageItem::ContactCount:
            page::appendNumber(page, static_cast<std::size_t>(count));
            break;
        case page::PageItem::RecordLines:
            if (!recordLines(page)) {
                return false;
            }
            break;
        case page::PageItem::PublisherAddress:
            page += publisherAddress;
            break;
        }
    }
    return true;
}

// The record lines of records [first, last).
template <typename TextsAt>
void appendRecordLines(std::string& lines, int first, int last, const TextsAt& textsAt, PageBytes bytes) {
    for (int i = first; i < last; ++i) {
        page::appendRecordLine(lines, i, textsAt(i), bytes);
    }
}

// The page for count records, the texts of the one at position i given by textsAt(i).
template <typename TextsAt>
std::string buildPage(int count, const TextsAt& textsAt, std::string_view publisherAddress, PageBytes bytes) {
    std::size_t size = publisherAddress.size() + 64;
    for (const page::PageItem& item : page::kPageItems) {
        size += item.text.size();
    }
    for (int i = 0; i < count; ++i) {
        size += 60;
        for (const std::string_view text : textsAt(i)) {
            size += text.size();
        }
    }

    std::string page;
    page.reserve(bytes == PageBytes::Ascii ? size + size / 4 : size);
    appendPage(page, count, publisherAddress, bytes, [&](std::string& lines) {
        appendRecordLines(lines, 0, count, textsAt, bytes);
        return true;
    });
    return page;
}

// Record lines go out in blocks of this many, some 50 kB.
constexpr int kLinesPerBlock = 256;

// Blocks of record lines passed from a helper thread to the writing one, in
// order, at most two waiting, so that memory stays small.
class Handoff {
public:
    // False when the writing has stopped: no more blocks are wanted.
    bool put(std::string&& lines) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_made.size() < 2 || m_stop; });
        if (m_stop) {
            return false;
        }
        m_made.push_back(std::move(lines));
        m_changed.notify_all();
        return true;
    }
    // False when the helper ran out of memory.
    bool take(std::string& lines) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_made.empty() || m_failed; });
        if (m_made.empty()) {
            return false;
        }
        lines.swap(m_made.front());
        m_made.pop_front();
        m_changed.notify_all();
        return true;
    }
    void fail() { set(m_failed); }
    void stop() { set(m_stop); }

private:
    void set(bool& flag) {
        const std::lock_guard lock(m_mutex);
        flag = true;
        m_changed.notify_all();
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::string> m_made;
    bool m_stop = false;
    bool m_failed = false;
};

// The record lines handed to write in blocks made on two threads: this thread
// makes the even blocks and writes every block in order; a helper makes the
// odd ones. Making the lines is a third of the work of writing a large page.
template <typename TextsAt, typename Write>
bool writeLinesOnTwoThreads(int count, const TextsAt& textsAt, PageBytes bytes, const Write& write) {
    const int blocks = (count + kLinesPerBlock - 1) / kLinesPerBlock;
    const auto makeBlock = [&](int block, std::string& lines) {
        lines.clear();
        appendRecordLines(lines, block * kLinesPerBlock, std::min(count, (block + 1) * kLinesPerBlock), textsAt,
                          bytes);
    };
    Handoff handoff;
    const auto makeOddBlocks = [&] {
        for (int block = 1; block < blocks; block += 2) {
            std::string lines;
            try {
                makeBlock(block, lines);
            } catch (...) {
                handoff.fail(); // taken as memory running out by the writing thread
                return;
            }
            if (!handoff.put(std::move(lines))) {
                return;
            }
        }
    };
    std::thread helper;
    try {
        helper = std::thread(makeOddBlocks);
    } catch (const std::system_error&) {
        // No thread to be had: this one makes every block.
    }
    // However this ends, the helper is stopped before what it uses goes.
    const auto joinHelper = [&](std::thread* thread) {
        if (thread->joinable()) {
            handoff.stop();
            thread->join();
        }
    };
    const std::unique_ptr<std::thread, decltype(joinHelper)> joined(&helper, joinHelper);
    std::string lines;
    for (int block = 0; block < blocks; ++block) {
        if (block % 2 == 0 || !helper.joinable()) {
            makeBlock(block, lines);
        } else if (!handoff.take(lines)) {
            throw std::bad_alloc();
        }
        if (!write(std::string_view(lines))) {
            return false;
        }
    }
    return true;
}

// The page handed to write in pieces of some 64 kB as it is made.
template <typename TextsAt>
bool writePage(int count, const TextsAt& textsAt, std::string_view publisherAddress, PageBytes bytes,
               const std::function<bool(std::string_view)>& write) {
    constexpr std::size_t kPieceSize = 1 << 16;
    std::string piece;
    piece.reserve(2 * kPieceSize);
    const auto recordLines = [&](std::string& page) {
        // What comes before the record lines goes first.
        if (!write(page)) {
            return false;
        }
        page.clear();
        if (count >= 2 * kLinesPerBlock && std::thread::hardware_concurrency() > 1) {
            return writeLinesOnTwoThreads(count, textsAt, bytes, write);
        }
        for (int i = 0; i < count; ++i) {
            page::appendRecordLine(page, i, textsAt(i), bytes);
            if (page.size() >= kPieceSize) {
                if (!write(page)) {
                    return false;
                }
                page.clear();
            }
        }
        return true;
    };
    return appendPage(piece, count, publisherAddress, bytes, recordLines) && (piece.empty() || write(piece));
}

// A page numbers its records with an int.
int recordCount(std::size_t count) {
    if (count > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        throw TooManyRecords("more records than a page numbers");
    }
    return static_cast<int>(count);
}

} // namespace

std::string BuildDirectoryPage(const DirectoryList& list, std::string_view publisherAddress, PageBytes bytes) {
    return buildPage(
        list.count(), [&list](int i) { return page::textsOf(list.recordAt(i)); }, publisherAddress, bytes);
}

std::string BuildDirectoryPage(const std::vector<Contact>& records, const std::vector<std::uint32_t>& order,
                               std::string_view publisherAddress, PageBytes bytes) {
    return buildPage(
        static_cast<int>(order.size()),
        [&](int i) { return page::textsOf(records[order[static_cast<std::size_t>(i)]]); }, publisherAddress, bytes);
}

bool WriteDirectoryPage(const std::vector<Contact>& records, const std::vector<std::uint32_t>& order,
                        std::string_view publisherAddress, PageBytes bytes,
                        const std::function<bool(std::string_view)>& write) {
    return writePage(
        recordCount(order.size()),
        [&](int i) { return page::textsOf(records[order[static_cast<std::size_t>(i)]]); }, publisherAddress, bytes,
        write);
}

bool WriteDirectoryPage(const PackedRecords& records, const std::vector<std::uint32_t>& order,
                        std::string_view publisherAddress, PageBytes bytes,
                        const std::function<bool(std::string_view)>& write) {
    return writePage(
        recordCount(order.size()), [&](int i) { return records.at(order[static_cast<std::size_t>(i)]); },
        publisherAddress, bytes, write);
}

} // namespace fichelia
