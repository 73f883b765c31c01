#pragma once

#include <string_view>

namespace fichelia::exchange {

// True when a browser sent to this address would run code or show content
// carried in the address itself: the schemes javascript:, vbscript: and data:.
// The scheme is found as browsers find it: letter case ignored, leading spaces
// and control characters skipped, TAB, LF and CR ignored wherever they stand.
// Addresses with another scheme (http:, https:, ftp:, mailto: ...) or with none
// are not.
//
// The page's "Aller" button sends the visitor to the site text as it stands, so
// an imported file must not bring such an address into a published page.
bool isScriptSiteAddress(std::string_view address);

} // namespace fichelia::exchange
