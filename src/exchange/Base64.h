#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fichelia::exchange {

// Decodes base64 (the standard alphabet, as LDIF and vCard write it), as
// RFC 2045 decoders do: spaces and line breaks between characters are skipped,
// and padding may be short, missing or in surplus. Nothing when any other
// character stands in it, a digit follows the padding, or its length cannot
// be one of base64.
std::optional<std::string> decodeBase64(std::string_view encoded);

} // namespace fichelia::exchange
