#pragma once

#include <string>
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

// The comment rule of the add and modify commands: every double quote of the
// comment becomes an apostrophe, the length unchanged. Records read from a page
// are taken as they are and never go through it.
std::string applyCommentQuoteRule(std::string commentaire);

} // namespace fichelia
