// The record line writer over any texts. The fuzzed bytes give the eight texts,
// cut at each 0xFF byte (which UTF-8 never uses); a ninth and later piece stay
// in the eighth text. Whatever the texts hold, the line must keep the page's
// script valid: one opening and one closing quote per value (16 in all), a LF
// at the end and nowhere else, no other control character but TAB, no "</" and
// no "<!". And it must read back to the same texts, malformed UTF-8 having been
// written as U+FFFD, one for each byte that does not belong to a character.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "page/PageReader.h"
#include "page/PageWriter.h"
#include "text/Windows1252.h"

namespace {

using fichelia::Contact;
using fichelia::fuzz::check;
using fichelia::fuzz::shown;

constexpr char kTextSeparator = '\xFF';

const Contact kAbsent("absent nom", "absent adresse", "absent tel", "absent gsm", "absent fax", "absent mail",
                      "absent site", "absent commentaire");

std::vector<std::string> eightTexts(std::string_view bytes) {
    std::vector<std::string> texts;
    while (texts.size() + 1 < fichelia::kFieldCount) {
        const std::size_t separator = bytes.find(kTextSeparator);
        if (separator == std::string_view::npos) {
            break;
        }
        texts.emplace_back(bytes.substr(0, separator));
        bytes.remove_prefix(separator + 1);
    }
    texts.emplace_back(bytes);
    texts.resize(fichelia::kFieldCount);
    return texts;
}

// The text with every byte that does not belong to a well-formed character
// replaced by U+FFFD.
std::string wellFormed(std::string_view text) {
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        fichelia::text::appendUtf8(out, fichelia::text::nextUtf8CodePoint(text, pos).value_or(U'\uFFFD'));
    }
    return out;
}

Contact recordOf(const std::vector<std::string>& texts) {
    Contact record;
    for (std::size_t i = 0; i < fichelia::kFieldCount; ++i) {
        record.*fichelia::kRecordFields[i].text = texts[i];
    }
    return record;
}

void checkLine(const Contact& record, const Contact& expected, int index) {
    std::string line;
    fichelia::page::appendRecordLine(line, index, record);
    const auto about = [&] { return "line: " + shown(line) + "\nrecord: " + shown(record); };

    const std::string start = std::string(fichelia::page::kRecordMarker) + std::to_string(index) + ",\"";
    check(line.compare(0, start.size(), start) == 0, "the line starts with the marker, its index and a quote", about);
    check(line.size() >= start.size() + 4 && line.compare(line.size() - 4, 4, "\");\n") == 0,
          "the line ends with a quote, \");\" and a LF", about);
    check(std::count(line.begin(), line.end(), '"') == 16, "two quotes per value, no more", about);
    check(std::count(line.begin(), line.end(), '\n') == 1, "one LF, the one at the end", about);
    check(std::none_of(line.begin(), line.end(),
                       [](char c) { return (c >= 0 && c < 0x20 && c != '\t' && c != '\n') || c == 0x7F; }),
          "no control character but TAB and the final LF (no CR, NUL or Ctrl-Z)", about);
    check(line.find("</") == std::string::npos, "no \"</\" in the line", about);
    check(line.find("<!") == std::string::npos, "no \"<!\" in the line", about);

    Contact readBack = kAbsent;
    const auto kind = fichelia::ParseDirectoryLine(std::string_view(line).substr(0, line.size() - 1), readBack);
    check(kind == fichelia::LineKind::Record, "the line is a whole record line", about);
    check(readBack == expected, "the line reads back to the texts written",
          [&] { return about() + "\nread back: " + shown(readBack) + "\nexpected: " + shown(expected); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> texts = eightTexts(std::string_view(reinterpret_cast<const char*>(data), size));
    std::vector<std::string> valid;
    for (const std::string& text : texts) {
        valid.push_back(wellFormed(text));
    }
    const Contact validRecord = recordOf(valid);
    const int index = static_cast<int>(size);

    checkLine(validRecord, validRecord, index);
    checkLine(recordOf(texts), validRecord, index);
    return 0;
}
