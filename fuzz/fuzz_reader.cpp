// The page reader over any bytes at all. It must return normally whatever it is
// given, hand out texts that are well-formed UTF-8, and give the same records
// however the source cuts the bytes into reads: the records of the lines taken
// one by one by the rules of PageReader.h (CRs removed, the data ended at the
// first Ctrl-Z, each line cut at its first NUL, then ParseDirectoryLine).

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

// The contact form's texts, which fill the fields that a line lacks.
const Contact kTemplate("Modèle nom", "Modèle adresse", "Modèle tél", "Modèle gsm", "Modèle fax", "Modèle mail",
                        "Modèle site", "Modèle commentaire");

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

std::vector<Contact> readAll(fichelia::ByteSource& source) {
    std::vector<Contact> records;
    const fichelia::Result<void> read =
        fichelia::ReadDirectoryPage(source, kTemplate, [&](Contact&& record) { records.push_back(std::move(record)); });
    check(read.ok(), "the reader reads any bytes to their end");
    return records;
}

std::vector<Contact> readLineByLine(std::string_view bytes) {
    std::string data;
    for (const char c : bytes) {
        if (c == '\x1A') {
            break;
        }
        if (c != '\r') {
            data += c;
        }
    }
    std::vector<Contact> records;
    std::string_view rest = data;
    for (;;) {
        const std::size_t lf = rest.find('\n');
        std::string_view line = rest.substr(0, lf);
        line = line.substr(0, line.find('\0'));
        if (auto record = fichelia::ParseDirectoryLine(line, kTemplate)) {
            records.push_back(std::move(*record));
        }
        if (lf == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(lf + 1);
    }
    return records;
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
    const std::vector<Contact> records = readAll(memory);

    const std::vector<Contact> expected = readLineByLine(bytes);
    check(records == expected, "the reader gives the records of the lines read one by one",
          [&] { return firstDifference(records, expected); });

    ShortReadSource shortReads(bytes);
    const std::vector<Contact> cutRecords = readAll(shortReads);
    check(cutRecords == records, "short reads give the same records",
          [&] { return firstDifference(cutRecords, records); });

    for (const Contact& record : records) {
        check(allTextsValid(record), "every text read is well-formed UTF-8", [&] { return shown(record); });
    }
    return 0;
}
