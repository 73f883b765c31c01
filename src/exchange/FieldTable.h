#pragma once

#include <array>
#include <string_view>

#include "directory/Contact.h"

// How the exchange formats treat each field of the record: the one table that
// the importers and exporters of every format read, in record order (that of
// kRecordFields). A new field is one row here too.
namespace fichelia::exchange {

struct ExchangeField {
    RecordText text;
    // The window and the page show it on one line: a line break in an
    // imported value becomes ", ".
    bool oneLine;
    // The vCard property that carries it, and for numbers the TYPE that tells
    // them apart, as appendVCard writes them.
    std::string_view vcardName;
    std::string_view vcardType;
};

inline constexpr std::array<ExchangeField, kFieldCount> kExchangeFields = {{
    {&Contact::name, true, "FN", {}},
    {&Contact::address, true, "ADR", {}},
    {&Contact::phone, true, "TEL", "voice"},
    {&Contact::mobile, true, "TEL", "cell"},
    {&Contact::fax, true, "TEL", "fax"},
    {&Contact::mail, true, "EMAIL", "internet"},
    {&Contact::site, true, "URL", {}},
    {&Contact::comment, false, "NOTE", {}},
}};

// The field's place in record order.
constexpr std::size_t fieldIndex(RecordText field) {
    std::size_t i = 0;
    while (i < kFieldCount && kRecordFields[i].text != field) {
        ++i;
    }
    return i;
}

static_assert([] {
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        if (kExchangeFields[i].text != kRecordFields[i].text) {
            return false;
        }
    }
    return true;
}(), "kExchangeFields follows the record order");

} // namespace fichelia::exchange
