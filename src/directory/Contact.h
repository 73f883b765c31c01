#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>

// One contact of the directory. Texts are UTF-8, of any length, possibly empty,
// stored exactly as given: nothing trims, checks or rewrites them here.
class annuaire {
public:
    annuaire() = default;
    annuaire(std::string nom, std::string adresse, std::string tel, std::string gsm, std::string fax, std::string mail,
             std::string site, std::string commentaire)
        : nom(std::move(nom)), adresse(std::move(adresse)), tel(std::move(tel)), gsm(std::move(gsm)),
          fax(std::move(fax)), mail(std::move(mail)), site(std::move(site)), commentaire(std::move(commentaire)) {}

    bool operator==(const annuaire&) const = default;

    std::string nom;
    std::string adresse;
    std::string tel;
    std::string gsm;
    std::string fax;
    std::string mail;
    std::string site;
    std::string commentaire;
};

namespace fichelia {

// The record's fields, walked through these tables rather than listed by hand:
// a new field is one member above and one row in each table below.
using RecordText = std::string annuaire::*;

struct RecordField {
    RecordText text;
    std::string_view name;    // as formats and messages name it
    std::string_view caption; // the label beside its edit field in the contact form
};

inline constexpr std::size_t kFieldCount = 8;

// Record order: the constructor's, the contact form's (Edit1 to Edit8) and
// the TSV columns'.
inline constexpr std::array<RecordField, kFieldCount> kRecordFields = {{
    {&annuaire::nom, "nom", "Nom"},
    {&annuaire::adresse, "adresse", "Adresse"},
    {&annuaire::tel, "tel", "Tél"},
    {&annuaire::gsm, "gsm", "GSM"},
    {&annuaire::fax, "fax", "Fax"},
    {&annuaire::mail, "mail", "Mail"},
    {&annuaire::site, "site", "Site"},
    {&annuaire::commentaire, "commentaire", "Commentaire"},
}};

// Page value order: the order of the values of a record line, which is the
// parameter order of the page script's remplirTabFournisseur. commentaire
// stands before site there, and published pages rely on it.
inline constexpr std::array<RecordText, kFieldCount> kPageValueOrder = {
    &annuaire::nom, &annuaire::adresse, &annuaire::tel,         &annuaire::gsm,
    &annuaire::fax, &annuaire::mail,    &annuaire::commentaire, &annuaire::site,
};

// The comment rule of the add and modify commands: every double quote of the
// comment becomes an apostrophe, the length unchanged. Records read from a page
// are taken as they are and never go through it.
std::string applyCommentQuoteRule(std::string commentaire);

} // namespace fichelia
