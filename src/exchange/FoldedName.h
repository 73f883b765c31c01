#pragma once

#include <string>
#include <string_view>

namespace fichelia::exchange {

// A column name or label as people vary it, folded so that the variants compare
// equal: lower case, accents dropped, every run of other characters than
// letters and digits made one space, no space at either end.
// "Tél. mobile" and "TEL-Mobile" both give "tel mobile".
std::string foldName(std::string_view utf8Name);

} // namespace fichelia::exchange
