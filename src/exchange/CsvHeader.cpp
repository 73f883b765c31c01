#include "exchange/CsvHeader.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "exchange/FoldedName.h"

namespace fichelia::exchange {

namespace {

using enum CsvColumn;

struct NamedColumn {
    std::string_view name; // folded (see foldName)
    CsvColumn column;
};

// Column names taken whole: our own captions, then those of the exports of
// Google Contacts, Outlook (English and French) and Thunderbird.
constexpr std::array kColumnNames = std::to_array<NamedColumn>({
    {"nom", DisplayName}, // see recognizeCsvHeader
    {"name", DisplayName},
    {"display name", DisplayName},
    {"full name", DisplayName},
    {"nom complet", DisplayName},
    {"nom a afficher", DisplayName},
    {"first name", FirstName},
    {"given name", FirstName},
    {"prenom", FirstName},
    {"middle name", MiddleName},
    {"additional name", MiddleName},
    {"deuxieme prenom", MiddleName},
    {"last name", LastName},
    {"family name", LastName},
    {"surname", LastName},
    {"nom de famille", LastName},
    {"company", Organization},
    {"organization", Organization},
    {"organization name", Organization},
    {"organisation", Organization},
    {"societe", Organization},
    {"entreprise", Organization},
    {"adresse", FullAddress},
    {"address", FullAddress},
    {"adresse postale", FullAddress},
    {"postal address", FullAddress},
    {"rue", Street},
    {"street", Street},
    {"code postal", PostalCode},
    {"postal code", PostalCode},
    {"zip code", PostalCode},
    {"zipcode", PostalCode},
    {"ville", Locality},
    {"city", Locality},
    {"localite", Locality},
    {"region", Region},
    {"state", Region},
    {"etat", Region},
    {"pays etat", Region},
    {"pays", Country},
    {"country", Country},
    {"pays region", Country},
    {"tel", Tel},
    {"telephone", Tel},
    {"phone", Tel},
    {"primary phone", Tel},
    {"company main phone", Tel},
    {"car phone", Tel},
    {"telephone principal", Tel},
    {"telephone societe", Tel},
    {"telephone voiture", Tel},
    {"gsm", Gsm},
    {"portable", Gsm},
    {"mobile", Gsm},
    {"mobile phone", Gsm},
    {"mobile number", Gsm},
    {"cell phone", Gsm},
    {"tel mobile", Gsm},
    {"tel portable", Gsm},
    {"telephone mobile", Gsm},
    {"telephone portable", Gsm},
    {"fax", Fax},
    {"fax number", Fax},
    {"telecopie", Fax},
    {"mail", Mail},
    {"e mail", Mail},
    {"email", Mail},
    {"courriel", Mail},
    {"adresse mail", Mail},
    {"adresse e mail", Mail},
    {"adresse electronique", Mail},
    {"e mail address", Mail},
    {"e mail 2 address", Mail},
    {"e mail 3 address", Mail},
    {"primary email", Mail},
    {"secondary email", Mail},
    {"adresse de messagerie", Mail},
    {"adresse de messagerie 2", Mail},
    {"adresse de messagerie 3", Mail},
    {"adresse electronique principale", Mail},
    {"adresse electronique secondaire", Mail},
    {"site", Site},
    {"site web", Site},
    {"site internet", Site},
    {"page web", Site},
    {"page web 1", Site},
    {"page web 2", Site},
    {"web page", Site},
    {"web page 1", Site},
    {"web page 2", Site},
    {"website", Site},
    {"url", Site},
    {"commentaire", Notes},
    {"commentaires", Notes},
    {"notes", Notes},
    {"note", Notes},
    {"remarques", Notes},
    // Labels of other columns, and columns that Outlook fills for every contact.
    {"e mail type", Silent},
    {"e mail display name", Silent},
    {"e mail 2 type", Silent},
    {"e mail 2 display name", Silent},
    {"e mail 3 type", Silent},
    {"e mail 3 display name", Silent},
    {"type de messagerie", Silent},
    {"type de messagerie 2", Silent},
    {"type de messagerie 3", Silent},
    {"nom complet de l adresse de messagerie", Silent},
    {"nom complet de l adresse de messagerie 2", Silent},
    {"nom complet de l adresse de messagerie 3", Silent},
    {"file as", Silent},
    {"initials", Silent},
    {"initiales", Silent},
    {"priority", Silent},
    {"priorite", Silent},
    {"sensitivity", Silent},
    {"critere de diffusion", Silent},
    {"private", Silent},
    {"prive", Silent},
    {"gender", Silent},
    {"sexe", Silent},
});

// The group words of address and phone columns: "Business Street",
// "Rue (bureau)", "Adresse privée 2" ...
struct GroupWord {
    std::string_view word;
    int group;
};
constexpr std::array kGroupWords = std::to_array<GroupWord>({
    {"business", 1},
    {"work", 1},
    {"bureau", 1},
    {"professionnel", 1},
    {"professionnelle", 1},
    {"home", 2},
    {"domicile", 2},
    {"personnel", 2},
    {"prive", 2},
    {"privee", 2},
    {"other", 3},
    {"autre", 3},
});

// What is left of a grouped column's name once its group word is taken out.
constexpr std::array kGroupedParts = std::to_array<NamedColumn>({
    {"street", Street},      {"street 2", Street},       {"street 3", Street},     {"address", Street},
    {"address 2", Street},   {"po box", Street},         {"city", Locality},       {"state", Region},
    {"postal code", PostalCode}, {"zipcode", PostalCode}, {"zip code", PostalCode}, {"country", Country},
    {"country region", Country}, {"phone", Tel},          {"phone 2", Tel},         {"fax", Fax},
    {"page", Site},          {"web page", Site},         {"rue", Street},          {"rue 2", Street},
    {"rue 3", Street},       {"adresse", Street},        {"adresse 2", Street},    {"boite postale", Street},
    {"ville", Locality},     {"dep region", Region},     {"code postal", PostalCode}, {"pays region", Country},
    {"tel", Tel},            {"telephone", Tel},         {"telephone 2", Tel},     {"telecopie", Fax},
});

// Google Contacts numbers its repeated columns: "Phone 2 - Value",
// "Address 1 - Postal Code". The number makes the group (apart from any other).
constexpr int kNumberedGroupBase = 100;
struct NumberedPart {
    std::string_view kind;
    std::string_view part;
    CsvColumn column;
};
constexpr std::array kNumberedParts = std::to_array<NumberedPart>({
    {"e mail", "value", Mail},           {"e mail", "label", Silent},         {"e mail", "type", Silent},
    {"phone", "value", PhoneValue},      {"phone", "label", PhoneLabel},      {"phone", "type", PhoneLabel},
    {"website", "value", Site},          {"website", "label", Silent},        {"website", "type", Silent},
    {"address", "formatted", FullAddress}, {"address", "street", Street},     {"address", "po box", Street},
    {"address", "extended address", Street}, {"address", "city", Locality},   {"address", "region", Region},
    {"address", "postal code", PostalCode}, {"address", "country", Country},  {"address", "label", Silent},
    {"address", "type", Silent},         {"organization", "name", Organization},
});

std::optional<CsvColumn> findColumn(std::string_view name, const auto& table) {
    const auto found = std::find_if(table.begin(), table.end(), [name](const NamedColumn& c) { return c.name == name; });
    return found == table.end() ? std::nullopt : std::optional<CsvColumn>(found->column);
}

std::optional<CsvColumnRole> groupedRole(const std::string& folded) {
    for (const GroupWord& group : kGroupWords) {
        std::string rest;
        bool found = false;
        std::size_t start = 0;
        while (start <= folded.size()) {
            std::size_t end = folded.find(' ', start);
            if (end == std::string::npos) {
                end = folded.size();
            }
            const std::string_view word = std::string_view(folded).substr(start, end - start);
            if (word == group.word && !found) {
                found = true;
            } else {
                if (!rest.empty()) {
                    rest.push_back(' ');
                }
                rest.append(word);
            }
            start = end + 1;
        }
        if (found) {
            if (const auto column = findColumn(rest, kGroupedParts)) {
                return CsvColumnRole{*column, group.group};
            }
        }
    }
    return std::nullopt;
}

std::optional<CsvColumnRole> numberedRole(const std::string& folded) {
    for (const NumberedPart& part : kNumberedParts) {
        const std::string_view name = folded;
        if (!name.starts_with(part.kind) || !name.ends_with(part.part) ||
            name.size() <= part.kind.size() + part.part.size() + 2) {
            continue;
        }
        const std::string_view number =
            name.substr(part.kind.size() + 1, name.size() - part.kind.size() - part.part.size() - 2);
        if (name[part.kind.size()] != ' ' || !std::all_of(number.begin(), number.end(), [](char c) {
                return c >= '0' && c <= '9';
            }) || number.empty() || number.size() > 3) {
            continue;
        }
        return CsvColumnRole{part.column, kNumberedGroupBase + std::stoi(std::string(number))};
    }
    return std::nullopt;
}

CsvColumnRole roleOf(const std::string& cell) {
    const std::string folded = foldName(cell);
    if (const auto column = findColumn(folded, kColumnNames)) {
        return {*column, 0};
    }
    if (const auto role = numberedRole(folded)) {
        return *role;
    }
    if (const auto role = groupedRole(folded)) {
        return *role;
    }
    return {};
}

bool isAddressPart(CsvColumn column) {
    return column == PostalCode || column == Locality || column == Region || column == Country;
}

} // namespace

std::optional<std::vector<CsvColumnRole>> recognizeCsvHeader(const std::vector<std::string>& cells) {
    std::vector<CsvColumnRole> roles;
    roles.reserve(cells.size());
    std::transform(cells.begin(), cells.end(), std::back_inserter(roles), roleOf);
    const auto has = [&roles](CsvColumn column) {
        return std::any_of(roles.begin(), roles.end(), [column](const CsvColumnRole& r) { return r.column == column; });
    };
    if (std::all_of(roles.begin(), roles.end(), [](const CsvColumnRole& r) {
            return r.column == Unknown || r.column == Silent;
        })) {
        return std::nullopt;
    }
    const bool firstNameColumn = has(FirstName);
    int streetGroup = 0;
    for (std::size_t i = 0; i < roles.size(); ++i) {
        CsvColumnRole& role = roles[i];
        if (firstNameColumn && role.group == 0 && role.column == DisplayName && foldName(cells[i]) == "nom") {
            role.column = LastName;
        }
        // An address part without a group word ("Ville" after "Adresse privée")
        // belongs to the address whose street came last.
        if (role.column == Street) {
            streetGroup = role.group;
        } else if (isAddressPart(role.column) && role.group == 0) {
            role.group = streetGroup;
        }
    }
    return roles;
}

CsvColumn phoneKindOfLabel(std::string_view label) {
    std::string folded(1, ' ');
    folded.append(foldName(label)).push_back(' ');
    for (const std::string_view mobile : {" mobile ", " cell ", " portable ", " gsm "}) {
        if (folded.find(mobile) != std::string::npos) {
            return Gsm;
        }
    }
    return folded.find(" fax ") != std::string::npos || folded.find(" telecopie ") != std::string::npos ? Fax : Tel;
}

} // namespace fichelia::exchange
