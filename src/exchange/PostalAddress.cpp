#include "exchange/PostalAddress.h"

#include <algorithm>

namespace fichelia::exchange {

namespace {

void appendPart(std::string& text, std::string_view part, std::string_view separator) {
    if (part.empty()) {
        return;
    }
    if (!text.empty()) {
        text += separator;
    }
    text += part;
}

} // namespace

bool PostalAddress::empty() const {
    return std::all_of(street.begin(), street.end(), [](std::string_view part) { return part.empty(); }) &&
           postalCode.empty() && locality.empty() && region.empty() && country.empty();
}

std::string formatFrenchAddress(const PostalAddress& address) {
    std::string text;
    for (const std::string_view part : address.street) {
        appendPart(text, part, ", ");
    }
    std::string town(address.postalCode);
    appendPart(town, address.locality, " ");
    appendPart(text, town, ", ");
    appendPart(text, address.region, ", ");
    appendPart(text, address.country, ", ");
    return text;
}

} // namespace fichelia::exchange
