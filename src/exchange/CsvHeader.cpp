#include "exchange/CsvHeader.h"

#include <algorithm>
#include <initializer_list>
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
    RecordText field = nullptr; // CsvColumn::Field
};

// Column names taken whole, folded: our own captions, those of the exports of
// Google Contacts, Outlook and Thunderbird, and the words for each field in
// French, English, German, Spanish, Italian, Dutch, Portuguese and Japanese.
constexpr std::array kColumnNames = std::to_array<NamedColumn>({
    // Names.
    {"fn", DisplayName},
    {"displayname", DisplayName},
    {"nombre completo", DisplayName},
    {"nombre para mostrar", DisplayName},
    {"nome completo", DisplayName},
    {"nome visualizzato", DisplayName},
    {"naam", DisplayName}, // see recognizeCsvHeader
    {"volledige naam", DisplayName},
    {"weergavenaam", DisplayName},
    {"vollstandiger name", DisplayName},
    {"anzeigename", DisplayName},
    {"氏名", DisplayName},
    {"名前", DisplayName},
    {"表示名", DisplayName},
    {"n given", FirstName},
    {"given", FirstName},
    {"firstname", FirstName},
    {"first", FirstName},
    {"nombre", FirstName},
    {"nome", FirstName},
    {"voornaam", FirstName},
    {"primeiro nome", FirstName},
    {"名", FirstName},
    {"n middle", MiddleName},
    {"segundo nombre", MiddleName},
    {"secondo nome", MiddleName},
    {"tussenvoegsel", MiddleName},
    {"nome do meio", MiddleName},
    {"ミドルネーム", MiddleName},
    {"n family", LastName},
    {"family", LastName},
    {"lastname", LastName},
    {"last", LastName},
    {"apellido", LastName},
    {"apellidos", LastName},
    {"cognome", LastName},
    {"achternaam", LastName},
    {"sobrenome", LastName},
    {"apelido", LastName},
    {"姓", LastName},
    {"苗字", LastName},
    {"org", Organization},
    {"company name", Organization},
    {"unternehmen", Organization},
    {"empresa", Organization},
    {"organizacion", Organization},
    {"azienda", Organization},
    {"societa", Organization},
    {"organizzazione", Organization},
    {"bedrijf", Organization},
    {"organisatie", Organization},
    {"organizacao", Organization},
    {"会社", Organization},
    {"会社名", Organization},
    {"勤務先", Organization},
    // Addresses.
    {"anschrift", FullAddress},
    {"direccion", FullAddress},
    {"indirizzo", FullAddress},
    {"adres", FullAddress},
    {"endereco", FullAddress},
    {"住所", FullAddress},
    {"straße", Street},
    {"strasse", Street},
    {"calle", Street},
    {"via", Street},
    {"straat", Street},
    {"rua", Street},
    {"番地", Street},
    {"plz", PostalCode},
    {"postleitzahl", PostalCode},
    {"codigo postal", PostalCode},
    {"cap", PostalCode},
    {"postcode", PostalCode},
    {"cep", PostalCode},
    {"郵便番号", PostalCode},
    {"ort", Locality},
    {"stadt", Locality},
    {"ciudad", Locality},
    {"citta", Locality},
    {"plaats", Locality},
    {"woonplaats", Locality},
    {"cidade", Locality},
    {"市区町村", Locality},
    {"bundesland", Region},
    {"provincia", Region},
    {"estado", Region},
    {"provincie", Region},
    {"都道府県", Region},
    {"land", Country},
    {"pais", Country},
    {"paese", Country},
    {"国", Country},
    {"国 地域", Country},
    // Numbers, mail, site, comment.
    {"telefon", Field, &Contact::phone},
    {"telefonnummer", Field, &Contact::phone},
    {"phone number", Field, &Contact::phone},
    {"telefono", Field, &Contact::phone},
    {"telefone", Field, &Contact::phone},
    {"telefoon", Field, &Contact::phone},
    {"telefoonnummer", Field, &Contact::phone},
    {"電話", Field, &Contact::phone},
    {"電話番号", Field, &Contact::phone},
    {"handy", Field, &Contact::mobile},
    {"movil", Field, &Contact::mobile},
    {"telefono movil", Field, &Contact::mobile},
    {"cellulare", Field, &Contact::mobile},
    {"celular", Field, &Contact::mobile},
    {"telemovel", Field, &Contact::mobile},
    {"mobiel", Field, &Contact::mobile},
    {"mobiele telefoon", Field, &Contact::mobile},
    {"携帯", Field, &Contact::mobile},
    {"携帯電話", Field, &Contact::mobile},
    {"携帯電話番号", Field, &Contact::mobile},
    {"telefax", Field, &Contact::fax},
    {"ファックス", Field, &Contact::fax},
    {"email address", Field, &Contact::mail},
    {"correo", Field, &Contact::mail},
    {"correo electronico", Field, &Contact::mail},
    {"posta elettronica", Field, &Contact::mail},
    {"e mailadres", Field, &Contact::mail},
    {"メール", Field, &Contact::mail},
    {"メールアドレス", Field, &Contact::mail},
    {"電子メール", Field, &Contact::mail},
    {"電子メール アドレス", Field, &Contact::mail},
    {"homepage", Field, &Contact::site},
    {"sitio web", Field, &Contact::site},
    {"pagina web", Field, &Contact::site},
    {"sito web", Field, &Contact::site},
    {"webpagina", Field, &Contact::site},
    {"ホームページ", Field, &Contact::site},
    {"comment", Field, &Contact::comment},
    {"comments", Field, &Contact::comment},
    {"kommentar", Field, &Contact::comment},
    {"bemerkung", Field, &Contact::comment},
    {"notas", Field, &Contact::comment},
    {"observaciones", Field, &Contact::comment},
    {"opmerkingen", Field, &Contact::comment},
    {"notities", Field, &Contact::comment},
    {"メモ", Field, &Contact::comment},
    {"備考", Field, &Contact::comment},
    // Those of the exports.
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
    {"vorname", FirstName},
    {"weitere vornamen", MiddleName},
    {"nachname", LastName},
    {"firma", Organization},
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
    {"tel", Field, &Contact::phone},
    {"telephone", Field, &Contact::phone},
    {"phone", Field, &Contact::phone},
    {"primary phone", Field, &Contact::phone},
    {"company main phone", Field, &Contact::phone},
    {"car phone", Field, &Contact::phone},
    {"telephone principal", Field, &Contact::phone},
    {"telephone societe", Field, &Contact::phone},
    {"telephone voiture", Field, &Contact::phone},
    {"haupttelefon", Field, &Contact::phone},
    {"autotelefon", Field, &Contact::phone},
    {"telefon firma", Field, &Contact::phone},
    {"pager", FallbackPhone},
    {"radio phone", FallbackPhone},
    {"radiomessagerie", FallbackPhone},
    {"mobiltelefon", Field, &Contact::mobile},
    {"mobiltelefon 2", Field, &Contact::mobile},
    {"gsm", Field, &Contact::mobile},
    {"portable", Field, &Contact::mobile},
    {"mobile", Field, &Contact::mobile},
    {"mobile phone", Field, &Contact::mobile},
    {"mobile number", Field, &Contact::mobile},
    {"cell phone", Field, &Contact::mobile},
    {"tel mobile", Field, &Contact::mobile},
    {"tel portable", Field, &Contact::mobile},
    {"telephone mobile", Field, &Contact::mobile},
    {"telephone portable", Field, &Contact::mobile},
    {"fax", Field, &Contact::fax},
    {"fax number", Field, &Contact::fax},
    {"telecopie", Field, &Contact::fax},
    {"mail", Field, &Contact::mail},
    {"e mail", Field, &Contact::mail},
    {"email", Field, &Contact::mail},
    {"courriel", Field, &Contact::mail},
    {"adresse mail", Field, &Contact::mail},
    {"adresse e mail", Field, &Contact::mail},
    {"adresse electronique", Field, &Contact::mail},
    {"e mail address", Field, &Contact::mail},
    {"e mail 2 address", Field, &Contact::mail},
    {"e mail 3 address", Field, &Contact::mail},
    {"primary email", Field, &Contact::mail},
    {"secondary email", Field, &Contact::mail},
    {"adresse de messagerie", Field, &Contact::mail},
    {"adresse de messagerie 2", Field, &Contact::mail},
    {"adresse de messagerie 3", Field, &Contact::mail},
    {"adresse electronique principale", Field, &Contact::mail},
    {"adresse electronique secondaire", Field, &Contact::mail},
    {"e mail adresse", Field, &Contact::mail},
    {"e mail 2 adresse", Field, &Contact::mail},
    {"e mail 3 adresse", Field, &Contact::mail},
    {"site", Field, &Contact::site},
    {"site web", Field, &Contact::site},
    {"site internet", Field, &Contact::site},
    {"page web", Field, &Contact::site},
    {"page web 1", Field, &Contact::site},
    {"page web 2", Field, &Contact::site},
    {"web page", Field, &Contact::site},
    {"web page 1", Field, &Contact::site},
    {"web page 2", Field, &Contact::site},
    {"website", Field, &Contact::site},
    {"webseite", Field, &Contact::site},
    {"url", Field, &Contact::site},
    {"commentaire", Field, &Contact::comment},
    {"commentaires", Field, &Contact::comment},
    {"notes", Field, &Contact::comment},
    {"note", Field, &Contact::comment},
    {"remarques", Field, &Contact::comment},
    {"notizen", Field, &Contact::comment},
    // Dates, which no field takes: Outlook writes 0/0/00 there for a date nobody gave.
    {"birthday", Date},
    {"anniversary", Date},
    {"anniversaire", Date},
    {"date de naissance", Date},
    {"geburtstag", Date},
    {"jahrestag", Date},
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
    {"e mail typ", Silent},
    {"e mail angezeigter name", Silent},
    {"e mail 2 typ", Silent},
    {"e mail 2 angezeigter name", Silent},
    {"e mail 3 typ", Silent},
    {"e mail 3 angezeigter name", Silent},
    {"initialen", Silent},
    {"prioritat", Silent},
    {"vertraulichkeit", Silent},
    {"privat", Silent},
    {"geschlecht", Silent},
});

// The group words of address and phone columns: "Business Street",
// "Rue (bureau)", "Adresse privée 2" ...
struct GroupWord {
    std::string_view word;
    int group;
};
constexpr int kOtherGroup = 3;
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
    {"geschaftlich", 1},
    {"privat", 2},
    {"other", 3}, // an "other" phone is the telephone only when no other number is given
    {"autre", 3},
    {"weitere", 3},
    {"weiterer", 3},
    {"weiteres", 3},
});

// What is left of a grouped column's name once its group word is taken out.
constexpr std::array kGroupedParts = std::to_array<NamedColumn>({
    {"street", Street},
    {"street 2", Street},
    {"street 3", Street},
    {"address", Street},
    {"address 2", Street},
    {"po box", Street},
    {"city", Locality},
    {"state", Region},
    {"postal code", PostalCode},
    {"zip", PostalCode},
    {"zipcode", PostalCode},
    {"zip code", PostalCode},
    {"country", Country},
    {"country region", Country},
    {"phone", Field, &Contact::phone},
    {"phone 2", Field, &Contact::phone},
    {"fax", Field, &Contact::fax},
    {"mobile", Field, &Contact::mobile},
    {"email", Field, &Contact::mail},
    {"e mail", Field, &Contact::mail},
    {"page", Field, &Contact::site},
    {"web page", Field, &Contact::site},
    {"rue", Street},
    {"rue 2", Street},
    {"rue 3", Street},
    {"adresse", Street},
    {"adresse 2", Street},
    {"boite postale", Street},
    {"ville", Locality},
    {"dep region", Region},
    {"code postal", PostalCode},
    {"pays region", Country},
    {"tel", Field, &Contact::phone},
    {"telephone", Field, &Contact::phone},
    {"telephone 2", Field, &Contact::phone},
    {"telecopie", Field, &Contact::fax},
    {"straße", Street},
    {"strasse", Street},
    {"straße 2", Street},
    {"straße 3", Street},
    {"postfach", Street},
    {"ort", Locality},
    {"region", Region},
    {"postleitzahl", PostalCode},
    {"land region", Country},
    {"telefon", Field, &Contact::phone},
    {"telefon 2", Field, &Contact::phone},
});

// Google Contacts numbers its repeated columns: "Phone 2 - Value",
// "Address 1 - Postal Code". The number makes the group (apart from any other).
struct NumberedPart {
    std::string_view kind;
    std::string_view part;
    CsvColumn column;
    RecordText field = nullptr;
};
constexpr std::array kNumberedParts = std::to_array<NumberedPart>({
    {"e mail", "value", Field, &Contact::mail},
    {"e mail", "label", Silent},
    {"e mail", "type", Silent},
    {"phone", "value", PhoneValue},
    {"phone", "label", PhoneLabel},
    {"phone", "type", PhoneLabel},
    {"website", "value", Field, &Contact::site},
    {"website", "label", Silent},
    {"website", "type", Silent},
    {"address", "formatted", FullAddress},
    {"address", "street", Street},
    {"address", "po box", Street},
    {"address", "extended address", Street},
    {"address", "city", Locality},
    {"address", "region", Region},
    {"address", "postal code", PostalCode},
    {"address", "country", Country},
    {"address", "label", Silent},
    {"address", "type", Silent},
    {"organization", "name", Organization},
});

const NamedColumn* findColumn(std::string_view name, const auto& table) {
    const auto found = std::find_if(table.begin(), table.end(), [name](const NamedColumn& c) { return c.name == name; });
    return found == table.end() ? nullptr : &*found;
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
            if (const NamedColumn* column = findColumn(rest, kGroupedParts)) {
                if (column->field == &Contact::phone && group.group == kOtherGroup) {
                    return CsvColumnRole{FallbackPhone, group.group};
                }
                return CsvColumnRole{column->column, group.group, column->field};
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
        return CsvColumnRole{part.column, kNumberedGroupBase + std::stoi(std::string(number)), part.field};
    }
    return std::nullopt;
}

CsvColumnRole roleOf(const std::string& cell) {
    const std::string folded = foldName(cell);
    if (const NamedColumn* column = findColumn(folded, kColumnNames)) {
        return {column->column, 0, column->field};
    }
    if (const auto role = numberedRole(folded)) {
        return *role;
    }
    if (const auto role = groupedRole(folded)) {
        return *role;
    }
    return {};
}

bool isBareName(const std::string& folded) { return folded == "nom" || folded == "name" || folded == "naam"; }

// A cell that holds a value rather than a column name: a mail or web address,
// or mostly digits (a number, a date, a postal code).
bool looksLikeValue(std::string_view cell) {
    if (cell.find('@') != std::string_view::npos || cell.find("://") != std::string_view::npos || cell.size() > 60) {
        return true;
    }
    const auto digits = std::count_if(cell.begin(), cell.end(), [](char c) { return c >= '0' && c <= '9'; });
    const auto others = std::count_if(cell.begin(), cell.end(), [](char c) { return c != ' ' && (c < '0' || c > '9'); });
    return digits > 0 && digits >= others;
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
    // A header when most of its non-empty cells name fields, or when some do
    // and none looks like a value (a number, a mail or web address).
    std::size_t filled = 0;
    std::size_t known = 0;
    std::size_t fields = 0;
    bool valueLike = false;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        filled += !cells[i].empty();
        known += roles[i].column != Unknown;
        fields += roles[i].column != Unknown && roles[i].column != Silent;
        valueLike = valueLike || looksLikeValue(cells[i]);
    }
    if (fields == 0 || (known * 2 <= filled && valueLike)) {
        return std::nullopt;
    }
    const bool firstNameColumn = has(FirstName);
    const bool lastNameColumn = has(LastName);
    int streetGroup = 0;
    for (std::size_t i = 0; i < roles.size(); ++i) {
        CsvColumnRole& role = roles[i];
        // "Nom", "Name", "Naam" beside a first name: the family name (French, German, Dutch exports),
        // unless another column gives it (Google's "Name" is the whole name).
        if (firstNameColumn && !lastNameColumn && role.group == 0 && role.column == DisplayName && isBareName(foldName(cells[i]))) {
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

CsvColumnRole phoneKindOfLabel(std::string_view label) {
    std::string folded(1, ' ');
    folded.append(foldName(label)).push_back(' ');
    const auto holds = [&folded](std::initializer_list<std::string_view> words) {
        return std::any_of(words.begin(), words.end(),
                           [&folded](std::string_view word) { return folded.find(word) != std::string::npos; });
    };
    if (holds({" mobile ", " cell ", " portable ", " gsm ", " mobil "})) {
        return {Field, 0, &Contact::mobile};
    }
    if (holds({" fax ", " telecopie "})) {
        return {Field, 0, &Contact::fax};
    }
    if (holds({" pager ", " other ", " autre ", " radiomessagerie "})) {
        return {FallbackPhone, 0, &Contact::phone};
    }
    return {Field, 0, &Contact::phone};
}

} // namespace fichelia::exchange
