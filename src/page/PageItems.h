#pragma once

#include <array>
#include <string_view>

namespace fichelia::page {

// One item of the directory page: a fixed piece of text, or the place of one of
// the three texts that change with the directory.
struct PageItem {
    enum Kind { Fixed, ContactCount, RecordLines, PublisherAddress };
    Kind kind;
    std::string_view text; // Windows-1252 bytes, for Fixed items only
};

inline constexpr std::size_t kPageItemCount = 266;

// The whole page, item by item, in page order. Written one after another with
// nothing between them, they give the page byte for byte.
extern const std::array<PageItem, kPageItemCount> kPageItems;

} // namespace fichelia::page
