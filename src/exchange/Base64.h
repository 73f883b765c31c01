#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fichelia::exchange {

// Decodes base64 (the standard alphabet, as LDIF and vCard write it). Spaces
// and line breaks between characters are skipped; padding may be left out.
// Nothing when any other character stands in it or its length cannot be one
// of base64.
std::optional<std::string> decodeBase64(std::string_view encoded);

} // namespace fichelia::exchange
