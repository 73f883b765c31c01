#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>

namespace fichelia {

// One contact of the directory. Texts are UTF-8, of any length, possibly empty,
// stored exactly as given: nothing trims, checks or rewrites them here. The
// page, the TSV columns and the messages name the fields in French ("nom",
// "adresse", "tel", "gsm", "fax", "mail", "site", "commentaire"): see
// kRecordFields below.
struct Contact {
    Contact() = default;
    Contact(std::string name, std::string address, std::string phone, std::string mobile, std::string fax,
            std::string mail, std::string site, std::string comment)
        : name(std::move(name)), address(std::move(address)), phone(std::move(phone)), mobile(std::move(mobile)),
          fax(std::move(fax)), mail(std::move(mail)), site(std::move(site)), comment(std::move(comment)) {}

    bool operator==(const Contact&) const = default;

    std::string name;
    std::string address;
    std::string phone;
    std::string mobile;
    std::string fax;
    std::string mail;
    std::string site;
    std::string comment;
};

// The record's fields, walked through these tables rather than listed by hand:
// a new field is one member above and one row in each table below.
using RecordText = std::string Contact::*;

struct RecordField {
    RecordText text;
    std::string_view name;    // as formats and messages name it
    std::string_view caption; // the label beside its edit field in the contact form
};

inline constexpr std::size_t kFieldCount = 8;

// Record order: the constructor's, the contact form's (top to bottom) and
// the TSV columns'.
inline constexpr std::array<RecordField, kFieldCount> kRecordFields = {{
    {&Contact::name, "nom", "Nom"},
    {&Contact::address, "adresse", "Adresse"},
    {&Contact::phone, "tel", "Tél"},
    {&Contact::mobile, "gsm", "GSM"},
    {&Contact::fax, "fax", "Fax"},
    {&Contact::mail, "mail", "Mail"},
    {&Contact::site, "site", "Site"},
    {&Contact::comment, "commentaire", "Commentaire"},
}};

// Page value order: the order of the values of a record line, which is the
// parameter order of the page script's remplirTabFournisseur. The comment
// stands before the site there, and published pages rely on it.
inline constexpr std::array<RecordText, kFieldCount> kPageValueOrder = {
    &Contact::name, &Contact::address, &Contact::phone,   &Contact::mobile,
    &Contact::fax,  &Contact::mail,    &Contact::comment, &Contact::site,
};

// The comment rule of the add and modify commands: every double quote of the
// comment becomes an apostrophe, the length unchanged. Records read from a page
// are taken as they are and never go through it.
std::string applyCommentQuoteRule(std::string comment);

} // namespace fichelia
