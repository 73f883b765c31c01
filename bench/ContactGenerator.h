#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "directory/Contact.h"

namespace fichelia::bench {

inline constexpr std::uint64_t kDefaultSeed = 0x46494348454C4941; // "FICHELIA"

// Contacts such as a French directory holds: people and businesses, names with
// accents, particles and hyphens in mixed case (a few with characters beyond
// Windows-1252, a few with double quotes), postal addresses, phone numbers,
// mail addresses, sites and comments, some fields left empty. About 150 bytes
// of text each.
//
// Deterministic: the same count and seed give the same contacts, in the same
// order, on every machine and standard library (the generator draws its own
// numbers rather than relying on <random>'s distributions).
std::vector<Contact> generateContacts(std::size_t count, std::uint64_t seed = kDefaultSeed);

// Bytes of UTF-8 text in a record, all eight fields together.
std::size_t textBytes(const Contact& record);

} // namespace fichelia::bench
