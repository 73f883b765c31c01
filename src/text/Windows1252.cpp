#include "text/Windows1252.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace fichelia::text {

namespace {

// Code points of the bytes 0x80 to 0x9F; the rest of the code page is Latin-1.
// The undefined bytes stand for themselves.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

// The UTF-8 bytes of every Windows-1252 byte, built once, so that decoding is
// one table look-up a byte.
struct Utf8Forms {
    std::array<std::array<char, 4>, 256> bytes{};
    std::array<unsigned char, 256> length{};

    Utf8Forms() {
        for (unsigned value = 0; value < 256; ++value) {
            std::string form;
            appendUtf8(form, windows1252ToCodePoint(static_cast<unsigned char>(value)));
            length[value] = static_cast<unsigned char>(form.size());
            for (std::size_t i = 0; i < form.size(); ++i) {
                bytes[value][i] = form[i];
            }
        }
    }
};

const Utf8Forms& utf8Forms() {
    static const Utf8Forms forms;
    return forms;
}

} // namespace

char32_t windows1252ToCodePoint(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        return kHighControls[byte - 0x80];
    }
    return byte;
}

std::optional<unsigned char> codePointToWindows1252(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<unsigned char>(codePoint);
    }
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == codePoint) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return std::nullopt;
}

void appendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

void appendWindows1252AsUtf8(std::string& out, std::string_view bytes) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080;
    const Utf8Forms& forms = utf8Forms();
    // Room for the most it can take: a byte from 0x80 on takes two or three
    // bytes of UTF-8, the others one. The text is then cut to what it took.
    std::size_t highBytes = 0;
    std::size_t counted = 0;
    for (; counted + sizeof(std::uint64_t) <= bytes.size(); counted += sizeof(std::uint64_t)) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + counted, sizeof word);
        // One bit a byte shifted to the byte's bottom; the product sums the eight bytes into the top one.
        highBytes += static_cast<std::size_t>((((word & kHighBits) >> 7) * 0x0101010101010101) >> 56);
    }
    for (; counted < bytes.size(); ++counted) {
        highBytes += static_cast<unsigned char>(bytes[counted]) >= 0x80;
    }
    const std::size_t start = out.size();
    out.resize(start + bytes.size() + 2 * highBytes);
    char* end = out.data() + start;
    std::size_t i = 0;
    while (i < bytes.size()) {
        // Texts are mostly ASCII: eight such bytes are copied at once.
        std::uint64_t word = 0;
        if (i + sizeof word <= bytes.size()) {
            std::memcpy(&word, bytes.data() + i, sizeof word);
            if ((word & kHighBits) == 0) {
                std::memcpy(end, &word, sizeof word);
                end += sizeof word;
                i += sizeof word;
                continue;
            }
        }
        const std::size_t stop = std::min(bytes.size(), i + sizeof word);
        for (; i < stop; ++i) {
            const auto value = static_cast<unsigned char>(bytes[i]);
            if (value < 0x80) {
                *end++ = static_cast<char>(value);
            } else {
                std::memcpy(end, forms.bytes[value].data(), 3);
                end += forms.length[value];
            }
        }
    }
    out.resize(static_cast<std::size_t>(end - out.data()));
}

std::string windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    appendWindows1252AsUtf8(out, bytes);
    return out;
}

std::optional<char32_t> nextUtf8CodePoint(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    std::size_t length = 0;
    char32_t codePoint = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
        minimum = 0x10000;
    } else {
        ++pos;
        return std::nullopt;
    }
    if (pos + length > text.size()) {
        ++pos;
        return std::nullopt;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return std::nullopt;
        }
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        ++pos;
        return std::nullopt;
    }
    pos += length;
    return codePoint;
}

bool isValidUtf8(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        // Contact texts are mostly ASCII: pass eight such bytes at a time.
        std::uint64_t eight = 0;
        if (pos + sizeof eight <= text.size()) {
            std::memcpy(&eight, text.data() + pos, sizeof eight);
            if ((eight & 0x8080808080808080) == 0) {
                pos += sizeof eight;
                continue;
            }
        }
        if (static_cast<unsigned char>(text[pos]) < 0x80) {
            ++pos;
            continue;
        }
        if (!nextUtf8CodePoint(text, pos)) {
            return false;
        }
    }
    return true;
}

} // namespace fichelia::text
