#include "exchange/SiteAddress.h"

#include <array>
#include <string>

namespace fichelia::exchange {

namespace {

constexpr std::array<std::string_view, 3> kScriptSchemes = {"javascript", "vbscript", "data"};

// A URL parser drops these wherever they stand in an address.
bool isIgnoredInside(char c) { return c == '\t' || c == '\n' || c == '\r'; }

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool isSchemeCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

} // namespace

bool isScriptSiteAddress(std::string_view address) {
    std::size_t pos = 0;
    while (pos < address.size() && static_cast<unsigned char>(address[pos]) <= 0x20) {
        ++pos; // leading spaces and C0 controls
    }
    std::string scheme;
    for (; pos < address.size(); ++pos) {
        const char c = asciiLower(address[pos]);
        if (isIgnoredInside(c)) {
            continue;
        }
        if (c == ':') {
            break;
        }
        if (!isSchemeCharacter(c) || scheme.size() > 16) {
            return false; // no scheme, or not one of ours
        }
        scheme += c;
    }
    if (pos == address.size()) {
        return false;
    }
    for (const std::string_view script : kScriptSchemes) {
        if (scheme == script) {
            return true;
        }
    }
    return false;
}

} // namespace fichelia::exchange
