// The page reader over any bytes at all. It must return normally whatever it is
// given, hand out texts that are well-formed UTF-8, and give the same records
// and damaged lines however the source cuts the bytes into reads: those of the
// lines taken one by one by the rules of PageReader.h (CRs removed, the data
// ended at the first Ctrl-Z, each line cut at its first NUL, a record line
// ending in an odd run of backslashes joined to the next line unless that one
// is a record line, then ParseDirectoryLine).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "page/ByteSource.h"
#include "page/PageReader.h"
#include "text/Windows1252.h"

namespace {

using fichelia::Contact;
using fichelia::fuzz::check;
using fichelia::fuzz::shown;

// Hands the bytes out in short reads, as a pipe may, so that lines, the marker,
// CRs, NULs and Ctrl-Z fall across the ends of the reader's chunks. The sizes
// follow from the bytes themselves, so that a crash file replays the same way.
class ShortReadSource final : public fichelia::ByteSource {
public:
    explicit ShortReadSource(std::string_view bytes) : m_bytes(bytes) {
        std::uint32_t hash = 2166136261U; // FNV-1a
        for (const char c : bytes) {
            hash = (hash ^ static_cast<unsigned char>(c)) * 16777619U;
        }
        m_state = hash;
        static constexpr std::size_t kLongestReads[] = {1, 3, 16, 200, 5000};
        m_longestRead = kLongestReads[hash % std::size(kLongestReads)];
    }

    fichelia::Result<std::size_t> read(char* buffer, std::size_t size) override {
        m_state = m_state * 1103515245U + 12345U;
        const std::size_t piece = 1 + (m_state >> 8) % m_longestRead;
        const std::size_t count = std::min({size, piece, m_bytes.size()});
        std::memcpy(buffer, m_bytes.data(), count);
        m_bytes.remove_prefix(count);
        return count;
    }

private:
    std::string_view m_bytes;
    std::uint32_t m_state = 0;
    std::size_t m_longestRead = 1;
};

// What a reading gives: the records, the damaged lines, and whether the data is a page.
struct Reading {
    std::vector<Contact> records;
    std::vector<long> damaged;
    bool isPage = false;
};

Reading readAll(fichelia::ByteSource& source) {
    Reading reading;
    const auto read = fichelia::ReadDirectoryPage(
        source, [&](Contact&& record) { reading.records.push_back(std::move(record)); },
        [&](long line) { reading.damaged.push_back(line); });
    check(read.ok(), "the reader reads any bytes to their end");
    if (read.ok()) {
        check(read->damagedLines == static_cast<long>(reading.damaged.size()) &&
                  read->firstDamagedLine == (reading.damaged.empty() ? 0 : reading.damaged.front()),
              "the reading counts the damaged lines it hands out");
        reading.isPage = read->isPage;
    }
    return reading;
}

bool isRecordLine(std::string_view line) { return line.starts_with(fichelia::page::kRecordMarker); }

bool endsInOddBackslashes(std::string_view line) {
    std::size_t count = 0;
    while (count < line.size() && line[line.size() - 1 - count] == '\\') {
        ++count;
    }
    return count % 2 == 1;
}

Reading readLineByLine(std::string_view bytes) {
    const std::string_view data = bytes.substr(0, bytes.find('\x1A'));
    std::string filtered;
    for (const char c : data) {
        if (c != '\r') {
            filtered += c;
        }
    }
    struct Line {
        std::string_view text;
        bool cut;
    };
    std::vector<Line> lines;
    std::string_view rest = filtered;
    for (;;) {
        const std::size_t lf = rest.find('\n');
        const std::string_view line = rest.substr(0, lf);
        const std::size_t nul = line.find('\0');
        lines.push_back({line.substr(0, nul), nul != std::string_view::npos});
        if (lf == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(lf + 1);
    }
    Reading reading;
    for (std::size_t i = 0; i < lines.size();) {
        if (!isRecordLine(lines[i].text)) {
            ++i;
            continue;
        }
        const long number = static_cast<long>(i) + 1;
        std::string record(lines[i].text);
        bool cut = lines[i].cut;
        for (++i; !cut && endsInOddBackslashes(record) && i < lines.size() && !isRecordLine(lines[i].text); ++i) {
            record += '\n';
            record += lines[i].text;
            cut = lines[i].cut;
        }
        Contact contact;
        if (fichelia::ParseDirectoryLine(record, contact) == fichelia::LineKind::Record) {
            reading.records.push_back(std::move(contact));
        } else {
            reading.damaged.push_back(number);
        }
    }
    reading.isPage = data.find(fichelia::page::kRecordMarker) != std::string_view::npos || !reading.records.empty() ||
                     !reading.damaged.empty();
    return reading;
}

std::string firstDifference(const std::vector<Contact>& got, const std::vector<Contact>& expected) {
    std::string text = std::to_string(got.size()) + " records read, " + std::to_string(expected.size()) + " expected";
    for (std::size_t i = 0; i < std::min(got.size(), expected.size()); ++i) {
        if (!(got[i] == expected[i])) {
            return text + "\nrecord " + std::to_string(i) + " read:     " + shown(got[i]) + "\nrecord " +
                   std::to_string(i) + " expected: " + shown(expected[i]);
        }
    }
    return text;
}

bool allTextsValid(const Contact& record) {
    return std::all_of(fichelia::kRecordFields.begin(), fichelia::kRecordFields.end(),
                       [&record](const fichelia::RecordField& field) {
                           return fichelia::text::isValidUtf8(record.*field.text);
                       });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    fichelia::MemoryByteSource memory(bytes);
    const Reading reading = readAll(memory);

    const Reading expected = readLineByLine(bytes);
    check(reading.records == expected.records, "the reader gives the records of the lines read one by one",
          [&] { return firstDifference(reading.records, expected.records); });
    check(reading.damaged == expected.damaged, "the reader gives the damaged lines of the lines read one by one");
    check(reading.isPage == expected.isPage, "a page is data that holds the record marker");

    ShortReadSource shortReads(bytes);
    const Reading cut = readAll(shortReads);
    check(cut.records == reading.records, "short reads give the same records",
          [&] { return firstDifference(cut.records, reading.records); });
    check(cut.damaged == reading.damaged && cut.isPage == reading.isPage, "short reads give the same damaged lines");

    for (const Contact& record : reading.records) {
        check(allTextsValid(record), "every text read is well-formed UTF-8", [&] { return shown(record); });
    }
    return 0;
}
