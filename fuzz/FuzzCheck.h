#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "directory/Contact.h"

// What the fuzz targets share: stopping on a broken property with a message
// that shows the bytes involved.
namespace fichelia::fuzz {

// Bytes as printable ASCII, everything else as \xHH, for messages.
inline std::string shown(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            out += c;
        } else {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        }
    }
    return out;
}

inline std::string shown(const Contact& record) {
    std::string out = "{";
    for (const RecordField& field : kRecordFields) {
        out += out.size() > 1 ? ", " : "";
        out += std::string(field.name) + " \"" + shown(record.*field.text) + "\"";
    }
    return out + "}";
}

// Ends the run when a property does not hold; libFuzzer then keeps the input
// as a crash file. detail is only built for the message.
template <typename Detail> void check(bool holds, std::string_view property, Detail detail) {
    if (!holds) {
        const std::string text = detail();
        std::fprintf(stderr, "\n*** property broken: %.*s\n%s\n", static_cast<int>(property.size()), property.data(),
                     text.c_str());
        std::abort();
    }
}

inline void check(bool holds, std::string_view property) {
    check(holds, property, [] { return std::string(); });
}

} // namespace fichelia::fuzz
