#include "exchange/ImportWords.h"

#include <algorithm>
#include <utility>

namespace fichelia::words {

namespace {

using exchange::ImportProblem;

// U+00A0 in UTF-8.
constexpr std::string_view kNoBreakSpace = "\xC2\xA0";

bool sameLetters(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

// What the values of a vCard property or an LDIF attribute are, in the
// user's words. Names are compared without regard to case.
using Words = std::pair<std::string_view, std::string_view>;

constexpr Words kVCardWords[] = {
    {"ADR", "adresse postale"},
    {"AGENT", "personne qui le représente"},
    {"ANNIVERSARY", "anniversaire de mariage"},
    {"BDAY", "date de naissance"},
    {"CALADRURI", "adresse d'invitation d'agenda"},
    {"CALURI", "adresse d'agenda"},
    {"CATEGORIES", "catégories"},
    {"CLASS", "confidentialité"},
    {"EMAIL", "adresse mail"},
    {"FBURL", "adresse de disponibilités"},
    {"FN", "nom"},
    {"GENDER", "genre"},
    {"GEO", "position géographique"},
    {"IMPP", "compte de messagerie instantanée"},
    {"KEY", "clé de chiffrement"},
    {"LABEL", "adresse postale mise en page"},
    {"LANG", "langue"},
    {"LOGO", "logo"},
    {"MAILER", "logiciel de messagerie"},
    {"MEMBER", "membre du groupe"},
    {"N", "nom en parties"},
    {"NICKNAME", "surnom"},
    {"NOTE", "note"},
    {"ORG", "société"},
    {"PHOTO", "photo"},
    {"RELATED", "personne liée"},
    {"ROLE", "rôle"},
    {"SORT-STRING", "clé de tri"},
    {"SOUND", "son"},
    {"TEL", "numéro de téléphone"},
    {"TITLE", "fonction"},
    {"TZ", "fuseau horaire"},
    {"URL", "site"},
    {"XML", "données XML"},
    // Extensions of phones and mail programs met in their exports.
    {"X-ABDATE", "date"},
    {"X-ABRELATEDNAMES", "personne liée"},
    {"X-AIM", "compte AIM"},
    {"X-ANNIVERSARY", "anniversaire de mariage"},
    {"X-ASSISTANT", "assistant"},
    {"X-GADUGADU", "compte Gadu-Gadu"},
    {"X-GOOGLE-TALK", "compte Google Talk"},
    {"X-ICQ", "compte ICQ"},
    {"X-JABBER", "compte Jabber"},
    {"X-MANAGER", "responsable"},
    {"X-MS-ANNIVERSARY", "anniversaire de mariage"},
    {"X-MS-ASSISTANT", "assistant"},
    {"X-MS-IMADDRESS", "compte de messagerie instantanée"},
    {"X-MS-MANAGER", "responsable"},
    {"X-MS-OL-DEFAULT-POSTAL-ADDRESS", "choix de l'adresse postale"},
    {"X-MS-OL-DESIGN", "mise en page de la carte"},
    {"X-MSN", "compte MSN"},
    {"X-PHONETIC-FIRST-NAME", "prononciation du prénom"},
    {"X-PHONETIC-LAST-NAME", "prononciation du nom"},
    {"X-QQ", "compte QQ"},
    {"X-SKYPE", "compte Skype"},
    {"X-SKYPE-USERNAME", "compte Skype"},
    {"X-SOCIALPROFILE", "profil de réseau social"},
    {"X-SPOUSE", "conjoint"},
    {"X-TWITTER", "compte Twitter"},
    {"X-YAHOO", "compte Yahoo"},
};

constexpr Words kLdifWords[] = {
    {"birthday", "jour de naissance"},
    {"birthmonth", "mois de naissance"},
    {"birthyear", "année de naissance"},
    {"c", "pays"},
    {"cellphone", "numéro de mobile"},
    {"cn", "nom"},
    {"co", "pays"},
    {"company", "société"},
    {"countryname", "pays"},
    {"department", "service"},
    {"description", "description"},
    {"displayname", "nom"},
    {"facsimiletelephonenumber", "numéro de fax"},
    {"fax", "numéro de fax"},
    {"givenname", "prénom"},
    {"homephone", "numéro de téléphone du domicile"},
    {"homepostaladdress", "adresse du domicile"},
    {"homeurl", "site"},
    {"initials", "initiales"},
    {"jpegphoto", "photo"},
    {"l", "ville"},
    {"labeleduri", "site"},
    {"mail", "adresse mail"},
    {"manager", "responsable"},
    {"mobile", "numéro de mobile"},
    {"mozillacustom1", "champ personnalisé 1"},
    {"mozillacustom2", "champ personnalisé 2"},
    {"mozillacustom3", "champ personnalisé 3"},
    {"mozillacustom4", "champ personnalisé 4"},
    {"mozillahomecountryname", "pays du domicile"},
    {"mozillahomelocalityname", "ville du domicile"},
    {"mozillahomepostalcode", "code postal du domicile"},
    {"mozillahomestate", "région du domicile"},
    {"mozillahomestreet", "rue du domicile"},
    {"mozillahomestreet2", "rue du domicile"},
    {"mozillahomeurl", "site"},
    {"mozillanickname", "surnom"},
    {"mozillasecondemail", "deuxième adresse mail"},
    {"mozillaworkstreet2", "rue"},
    {"mozillaworkurl", "site"},
    {"nickname", "surnom"},
    {"nsaimid", "compte AIM"},
    {"o", "société"},
    {"ou", "service"},
    {"pager", "numéro de bipeur"},
    {"pagerphone", "numéro de bipeur"},
    {"photo", "photo"},
    {"postaladdress", "adresse postale"},
    {"postalcode", "code postal"},
    {"postofficebox", "boîte postale"},
    {"preferredlanguage", "langue"},
    {"roomnumber", "bureau"},
    {"secretary", "secrétaire"},
    {"sn", "nom de famille"},
    {"st", "région"},
    {"street", "rue"},
    {"streetaddress", "rue"},
    {"telephonenumber", "numéro de téléphone"},
    {"title", "fonction"},
    {"uid", "identifiant"},
    {"usercertificate", "certificat"},
    {"workurl", "site"},
};

template <std::size_t N> std::string_view wordsFor(const Words (&table)[N], std::string_view name) {
    for (const auto& [key, words] : table) {
        if (sameLetters(key, name)) {
            return words;
        }
    }
    return {};
}

std::string quoted(std::string_view text) {
    std::string result = "« ";
    result.append(text).append(" »");
    return result;
}

std::string fileKindText(const std::string& kind) {
    if (kind == "PDF") {
        return "un document PDF";
    }
    if (kind == "ZIP") {
        return "une archive ZIP (ou un document xlsx, docx, ods, odt : enregistrez-le en CSV)";
    }
    if (kind == "OLE2") {
        return "un document Office (xls, doc : enregistrez-le en CSV)";
    }
    if (kind == "GZIP") {
        return "une archive gzip";
    }
    if (kind == "HTML") {
        return "une page HTML";
    }
    return "une image " + kind;
}

std::string notAnAddressBookText(const std::string& kind) {
    if (kind == "ICALENDAR") {
        return "ce fichier est un fichier iCalendar (un agenda), pas un carnet d'adresses";
    }
    if (kind == "XML") {
        return "ce fichier est un fichier XML, pas un carnet d'adresses";
    }
    if (kind == "LDAPSCHEMA") {
        return "ce fichier est un schéma LDAP (des définitions d'attributs), pas un carnet d'adresses";
    }
    return "ce fichier n'est pas un carnet d'adresses (ni des cartes vCard, ni des entrées LDIF, ni un tableau "
           "CSV de contacts)";
}

// The cells of a header row, TAB between them: "« Nom », « Tél »".
std::string columnsText(std::string_view cells) {
    std::string text;
    for (;;) {
        const std::size_t tab = cells.find('\t');
        text.append(text.empty() ? "" : ", ").append(quoted(cells.substr(0, tab)));
        if (tab == std::string_view::npos) {
            return text;
        }
        cells.remove_prefix(tab + 1);
    }
}

std::size_t detailNumber(const std::string& detail) {
    std::size_t number = 0;
    for (const char c : detail) {
        if (c < '0' || c > '9') {
            break;
        }
        number = number * 10 + static_cast<std::size_t>(c - '0');
    }
    return number;
}

// What a card, row, entry or line is called: all these words are feminine.
std::string_view itemWord(exchange::ContactFormat format, ImportProblem problem) {
    if (problem == ImportProblem::VCardOutsideCard || problem == ImportProblem::LdifStrayContinuation) {
        return "ligne";
    }
    // A card keeps all but the line that cannot be read.
    if (format == exchange::ContactFormat::VCard &&
        (problem == ImportProblem::VCardLineWithoutColon || problem == ImportProblem::BadQuotedPrintable ||
         problem == ImportProblem::BadBase64 || problem == ImportProblem::UnknownCharset)) {
        return "ligne";
    }
    switch (format) {
    case exchange::ContactFormat::VCard:
        return "carte";
    case exchange::ContactFormat::Ldif:
        return "entrée";
    default:
        return "ligne";
    }
}

} // namespace

std::string numberText(long long number) {
    // Through an unsigned value: the lowest number has no positive twin.
    const bool negative = number < 0;
    const unsigned long long magnitude =
        negative ? 0ULL - static_cast<unsigned long long>(number) : static_cast<unsigned long long>(number);
    const std::string digits = std::to_string(magnitude);
    std::string text = negative ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            text += kNoBreakSpace;
        }
        text += digits[i];
    }
    return text;
}

std::string countText(long long count, std::string_view singular, std::string_view plural) {
    std::string text = numberText(count);
    text.append(" ").append(count >= -1 && count <= 1 ? singular : plural);
    return text;
}

std::string reasonText(Error error) {
    switch (error) {
    case Error::ListFull:
        return "la liste est pleine";
    case Error::NoSelection:
        return "aucun nom n'est sélectionné";
    case Error::OutOfMemory:
        return "la mémoire est insuffisante";
    case Error::FileNotFound:
        return "le fichier n'existe pas";
    case Error::FolderNotFound:
        return "le dossier n'existe pas";
    case Error::IsFolder:
        return "c'est un dossier";
    case Error::ReadOnlyFile:
        return "le fichier est en lecture seule";
    case Error::AccessDenied:
        return "l'accès est refusé";
    case Error::DiskFull:
        return "le disque est plein";
    case Error::ReadOnlyDisk:
        return "le disque est en lecture seule";
    case Error::ReadFailed:
        return "la lecture a échoué";
    case Error::WriteFailed:
        return "l'écriture a échoué";
    }
    return "erreur inconnue";
}

std::string tsvProblemText(exchange::TsvProblem problem, std::size_t number) {
    switch (problem) {
    case exchange::TsvProblem::FieldCount:
        return countText(static_cast<long long>(number), "champ", "champs") + " au lieu de 8";
    case exchange::TsvProblem::UnknownEscape:
        return "séquence d'échappement inconnue dans le champ " + std::to_string(number) +
               " (seuls \\t, \\n, \\r et \\\\ sont admis)";
    case exchange::TsvProblem::InvalidUtf8:
    case exchange::TsvProblem::None:
        break;
    }
    return "texte UTF-8 invalide";
}

std::string problemText(const exchange::ImportIssue& issue) {
    const std::string& detail = issue.detail;
    switch (issue.problem) {
    case ImportProblem::TsvFieldCount:
        return tsvProblemText(exchange::TsvProblem::FieldCount, detailNumber(detail));
    case ImportProblem::TsvInvalidUtf8:
        return tsvProblemText(exchange::TsvProblem::InvalidUtf8, 0);
    case ImportProblem::TsvUnknownEscape:
        return tsvProblemText(exchange::TsvProblem::UnknownEscape, detailNumber(detail));
    case ImportProblem::CsvMisplacedQuote:
        return "guillemet mal placé (un champ entre guillemets doit être suivi du séparateur ou de la fin de la "
               "ligne, et un guillemet dans un champ doit être doublé)";
    case ImportProblem::VCardLineWithoutColon:
        return "ligne sans « : » entre le nom de la propriété et sa valeur";
    case ImportProblem::VCardUnclosed:
        return "carte commencée ici sans END:VCARD";
    case ImportProblem::VCardOutsideCard:
        return "ligne hors d'une carte (BEGIN:VCARD attendu)";
    case ImportProblem::VCardNotACard:
        return quoted(detail) + " au lieu de VCARD (seules des cartes BEGIN:VCARD … END:VCARD sont attendues)";
    case ImportProblem::BadQuotedPrintable:
        return "valeur QUOTED-PRINTABLE invalide pour " + detail +
               " (un « = » doit être suivi de deux chiffres hexadécimaux)";
    case ImportProblem::BadBase64:
        return "valeur base64 invalide pour " + detail;
    case ImportProblem::UnknownCharset:
        return "jeu de caractères inconnu " + quoted(detail);
    case ImportProblem::LdifLineWithoutColon:
        return "ligne sans « attribut: valeur »";
    case ImportProblem::LdifStrayContinuation:
        return "ligne de suite (commençant par une espace) sans ligne à continuer";
    case ImportProblem::LdifEntryWithoutDn:
        return "entrée sans « dn: » en tête";
    case ImportProblem::CsvUnclosedQuote:
        return "guillemet ouvert jamais refermé (le champ court jusqu'à la fin du fichier)";
    case ImportProblem::UnknownHeader:
        return "la première ligne a l'air d'une ligne d'en-tête, mais aucune de ses colonnes n'est connue : " +
               columnsText(detail);
    case ImportProblem::OtherFileKind:
        return "ce fichier est " + fileKindText(detail) + ", pas un carnet d'adresses";
    case ImportProblem::BinaryData:
        return "ce fichier contient des octets nuls : ce n'est pas du texte, pas un carnet "
               "d'adresses";
    case ImportProblem::NothingUsable:
        return "aucun contact n'a pu être lu";
    case ImportProblem::OutOfMemory:
        return reasonText(Error::OutOfMemory);
    case ImportProblem::NotAnAddressBook:
        return notAnAddressBookText(detail);
    case ImportProblem::NoContacts:
        return "le fichier ne contient aucun contact";
    case ImportProblem::NoName:
        return "contact sans nom, ni société, adresse mail ou numéro de téléphone pour en tenir lieu";
    case ImportProblem::PageLineDamaged:
        return "ligne de contact illisible (coupée, valeur jamais fermée, pas huit valeurs ou autre chose entre "
               "elles)";
    }
    return "erreur inconnue";
}

std::string skippedText(exchange::ContactFormat format, const exchange::ImportIssue& issue) {
    const std::string_view item = itemWord(format, issue.problem);
    const std::string text = std::string(item) + " laissée de côté : " + problemText(issue);
    if (item == "ligne" && issue.line > 0) {
        return "ligne " + std::to_string(issue.line) + " laissée de côté : " + problemText(issue);
    }
    return atLine(issue.line, text);
}

std::string leftOutSiteText(const exchange::LeftOutSite& site) {
    return "adresse de site laissée de côté, elle ferait exécuter du code dans le navigateur des visiteurs : " +
           site.address;
}

std::string standInText(exchange::NameStandIn from) {
    switch (from) {
    case exchange::NameStandIn::Company:
        return "contact sans nom, nommé d'après sa société";
    case exchange::NameStandIn::Mail:
        return "contact sans nom, nommé d'après son adresse mail";
    case exchange::NameStandIn::Phone:
        return "contact sans nom, nommé d'après son numéro de téléphone";
    }
    return "contact sans nom";
}

std::string windows1252LineText() { return "texte qui n'est pas de l'UTF-8, lu en Windows-1252"; }

std::string leftOutText(const exchange::LeftOut& kind) {
    std::string text;
    if (kind.source == exchange::ValueSource::LdifEntry) {
        text = "entrée qui n'est pas une personne";
        if (!kind.name.empty()) {
            text.append(" (").append(quoted(kind.name)).append(")");
        }
    } else if (kind.source == exchange::ValueSource::CsvColumn) {
        text = kind.name.empty() ? "colonne " + std::to_string(kind.column) : "colonne " + quoted(kind.name);
    } else {
        const std::string_view words = kind.source == exchange::ValueSource::VCardProperty
                                           ? wordsFor(kVCardWords, kind.name)
                                           : wordsFor(kLdifWords, kind.name);
        text = words.empty() ? "champ inconnu " + quoted(kind.name) : std::string(words);
    }
    for (const RecordField& field : kRecordFields) {
        if (kind.field != nullptr && field.text == kind.field) {
            text.append(" en plus pour le champ ").append(quoted(field.caption));
        }
    }
    return text;
}

std::string leftOutCountText(const exchange::LeftOut& kind) {
    return numberText(kind.count) + " × " + leftOutText(kind);
}

std::string atLine(long line, std::string_view text) {
    if (line <= 0) {
        return std::string(text);
    }
    return ("ligne " + std::to_string(line) + " : ").append(text);
}

std::string moreText(std::size_t count) {
    return "… et " + countText(static_cast<long long>(count), "autre", "autres");
}

} // namespace fichelia::words
