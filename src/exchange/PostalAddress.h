#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fichelia::exchange {

// A postal address split into street, locality, region and country, as contact files give it.
struct PostalAddress {
    std::vector<std::string_view> street; // post-office box, extended address, street lines
    std::string_view postalCode;
    std::string_view locality;
    std::string_view region;
    std::string_view country;

    bool empty() const;
};

// The address as French addresses are written on one line: the street parts,
// then postal code and locality, then region, then country, joined by ", "
// with empty parts left out ("12 rue de la Paix, 75002 Paris, France").
std::string formatFrenchAddress(const PostalAddress& address);

} // namespace fichelia::exchange
