#include "exchange/Base64.h"

#include <array>

namespace fichelia::exchange {

namespace {

constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr signed char kNotBase64 = -1;

constexpr std::array<signed char, 256> makeDigitTable() {
    std::array<signed char, 256> table{};
    table.fill(kNotBase64);
    for (std::size_t i = 0; i < kAlphabet.size(); ++i) {
        table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<signed char>(i);
    }
    return table;
}

constexpr std::array<signed char, 256> kDigits = makeDigitTable();

bool isSkipped(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

} // namespace

std::optional<std::string> decodeBase64(std::string_view encoded) {
    std::string bytes;
    bytes.reserve(encoded.size() / 4 * 3 + 3);
    unsigned bits = 0;
    int bitCount = 0;
    std::size_t digits = 0;
    std::size_t padding = 0;
    for (const char c : encoded) {
        if (isSkipped(c)) {
            continue;
        }
        if (c == '=') {
            ++padding;
            continue;
        }
        const signed char digit = kDigits[static_cast<unsigned char>(c)];
        if (digit == kNotBase64 || padding > 0) {
            return std::nullopt; // not base64, or data after the padding
        }
        ++digits;
        bits = (bits << 6) | static_cast<unsigned>(digit);
        bitCount += 6;
        if (bitCount >= 8) {
            bitCount -= 8;
            bytes += static_cast<char>((bits >> bitCount) & 0xFF);
        }
    }
    // A last group of one digit carries no whole byte. Padding is not
    // counted: phones write one '=' too many, or none.
    if (digits % 4 == 1) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace fichelia::exchange
