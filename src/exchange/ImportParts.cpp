#include "exchange/ImportParts.h"

#include <algorithm>
#include <thread>
#include <vector>

#include "base/Parallel.h"

namespace fichelia::exchange {

std::size_t tsvPartStart(std::string_view text, std::size_t from) {
    const std::size_t lf = text.find('\n', from - 1);
    return lf == std::string_view::npos ? lf : lf + 1;
}

namespace {

bool startsWithBeginVCard(std::string_view text) {
    constexpr std::string_view kBegin = "BEGIN:VCARD";
    return text.size() >= kBegin.size() && std::equal(kBegin.begin(), kBegin.end(), text.begin(), [](char a, char b) {
               return a == (b >= 'a' && b <= 'z' ? static_cast<char>(b - 'a' + 'A') : b);
           });
}

} // namespace

std::size_t vcardPartStart(std::string_view text, std::size_t from) {
    constexpr std::string_view kEnd = "\nEND:VCARD";
    for (std::size_t found = text.find(kEnd, from - 1); found != std::string_view::npos;
         found = text.find(kEnd, found + 1)) {
        std::size_t after = found + kEnd.size();
        while (after < text.size() && text[after] == '\r') {
            ++after;
        }
        if (after + 1 >= text.size() || text[after] != '\n') {
            continue; // END:VCARD with more on its line, or nothing after it
        }
        const std::size_t next = after + 1;
        if (next < text.size() && (text[next] == ' ' || text[next] == '\t')) {
            continue; // the next line would be folded into it
        }
        // The line before must not run into it: a quoted-printable value whose
        // line ends with '=' goes on to the next line, and so may one that
        // ends with '=' before an empty line.
        std::size_t before = found;
        while (before > 0 && text[before - 1] == '\r') {
            --before;
        }
        if (before == 0 || text[before - 1] == '\n' || text[before - 1] == '=') {
            continue;
        }
        // And a card must come next (after blank lines): this END:VCARD may
        // close the card of an AGENT within another.
        std::size_t card = next;
        while (card < text.size() && (text[card] == '\r' || text[card] == '\n')) {
            ++card;
        }
        if (card < text.size() && !startsWithBeginVCard(text.substr(card))) {
            continue;
        }
        return next;
    }
    return std::string_view::npos;
}

namespace {

constexpr std::size_t kLeastPartSize = std::size_t{1} << 20;
constexpr std::size_t kMostParts = 8;

} // namespace

std::size_t partsFor(std::size_t size) {
    return std::clamp<std::size_t>(std::min<std::size_t>(std::thread::hardware_concurrency(), size / kLeastPartSize),
                                   1, kMostParts);
}

void readInParts(std::string_view text, ReadContacts read, PartStart partStart, ImportSink& sink, std::size_t parts) {
    std::vector<std::size_t> starts{0};
    for (std::size_t part = 1; part < parts; ++part) {
        const std::size_t start = partStart(text, std::max(starts.back() + 1, part * (text.size() / parts)));
        if (start >= text.size()) {
            break;
        }
        starts.push_back(start);
    }
    starts.push_back(text.size());
    const auto partOf = [&](std::size_t part) { return text.substr(starts[part], starts[part + 1] - starts[part]); };
    std::vector<PackedRecords> packed(starts.size() - 2);
    std::vector<ImportSink> sinks;
    sinks.reserve(packed.size());
    for (PackedRecords& records : packed) {
        sinks.emplace_back(sink.packs() ? &records : nullptr);
    }
    runInParts(starts.size() - 1,
               [&](std::size_t part) { read(partOf(part), part == 0 ? sink : sinks[part - 1]); });
    long lines = 0;
    for (std::size_t part = 1; part + 1 < starts.size(); ++part) {
        const std::string_view before = partOf(part - 1);
        lines += static_cast<long>(std::count(before.begin(), before.end(), '\n'));
        sink.append(std::move(sinks[part - 1]), lines);
    }
}

} // namespace fichelia::exchange
