#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/FieldTable.h"
#include "exchange/ImportSink.h"

namespace fichelia::exchange {

// Every run of line breaks (CR, LF) in text as ", ", none at either end:
// "12 rue de la Paix\nBâtiment B\n" gives "12 rue de la Paix, Bâtiment B".
void joinLines(std::string& text);

// Where a value came from, for the count of those left out.
struct ValueOrigin {
    ValueSource source = ValueSource::VCardProperty;
    std::string_view name;
    int column = 0;
    bool counted = true; // false: a value that only repeats another (a LABEL beside ADR) is dropped unsaid
};

enum class NamePart : std::uint8_t { Given, Middle, Family, Organization };
enum class AddressPart : std::uint8_t { Full, Street, PostalCode, Locality, Region, Country };

// A value's rank among those offered for one field: the lowest wins, and
// between equal ranks the first offered. vCard's PREF ranks come below
// kPlainRank.
inline constexpr int kPlainRank = 1 << 20;    // a value nobody marked as preferred
inline constexpr int kFallbackRank = 2 << 20; // a pager, an "other" phone, a LABEL: only when nothing better comes

// Makes one contact of the values a card, row or entry offers, by the rules
// every format shares:
//  - each field takes the best ranked value; the others are left out, counted;
//  - name is the full name, else "given middle family", else a stand-in
//    (the company, else the mail address, else a phone number), reported;
//    without any, the contact is skipped and reported (NoName);
//  - the address is the one given whole, else the first address given in
//    parts (by group), written as French addresses are; other groups are
//    left out;
//  - in the fields shown on one line, every run of line breaks becomes ", ".
class ContactBuilder {
public:
    // A contact whose card, row or entry begins at this line.
    void start(long line);
    void offer(RecordText field, std::string value, int rank, const ValueOrigin& origin, long line = 0);
    void offerName(NamePart part, std::string value, const ValueOrigin& origin);
    void offerAddressPart(int group, AddressPart part, std::string value, const ValueOrigin& origin);
    // A value no field takes, or one more for a field that takes one.
    void leaveOut(const ValueOrigin& origin, RecordText field = nullptr) { drop(origin, field); }
    // True when a value for the field was offered.
    bool has(RecordText field) const { return m_fields[fieldIndex(field)].set; }
    // Hands the contact, and the count of what it left out, to the sink.
    void finish(ImportSink& sink);
    // Drops the contact under way (its card is malformed): nothing of it is counted.
    void discard();

private:
    // A value's origin, kept beyond the line it came from.
    struct Origin {
        ValueSource source = ValueSource::VCardProperty;
        std::string name;
        int column = 0;
        bool counted = true;
        void assign(const ValueOrigin& origin);
    };
    struct Candidate {
        std::string text;
        int rank = 0;
        long line = 0;
        bool set = false;
        Origin origin;
    };
    struct Address {
        int group = 0;
        std::string full;
        std::vector<std::string> street;
        std::string postalCode, locality, region, country;
        std::vector<Origin> origins;
    };
    struct Dropped {
        Origin origin;
        RecordText field;
    };

    void drop(const ValueOrigin& origin, RecordText field);
    void drop(const Origin& origin, RecordText field);
    std::string addressText(const Address& address) const;

    long m_line = 0;
    std::array<Candidate, kFieldCount> m_fields;
    std::array<std::string, 4> m_names; // given, middle, family, organization
    Origin m_organizationOrigin;
    std::vector<Address> m_addresses;
    std::size_t m_addressCount = 0; // those of m_addresses in use; the others keep their room
    std::vector<Dropped> m_dropped;
};

} // namespace fichelia::exchange
