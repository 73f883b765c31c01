#include "ImportText.h"

namespace fichelia::tool {

namespace {

using exchange::ImportProblem;

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
        return "une page HTML (une page d'annuaire se lit avec fichelia-page read)";
    }
    return "une image " + kind;
}

std::string columnsText(const std::string& cells) {
    std::string text;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = cells.find('\t', start);
        text += text.empty() ? "« " : ", « ";
        text += cells.substr(start, tab == std::string::npos ? tab : tab - start);
        text += " »";
        if (tab == std::string::npos) {
            return text;
        }
        start = tab + 1;
    }
}

} // namespace

std::string tsvProblemText(exchange::TsvProblem problem, std::size_t number) {
    switch (problem) {
    case exchange::TsvProblem::FieldCount:
        return std::to_string(number) + " champ(s) au lieu de 8";
    case exchange::TsvProblem::UnknownEscape:
        return "séquence d'échappement inconnue dans le champ " + std::to_string(number) +
               " (seuls \\t, \\n, \\r et \\\\ sont admis)";
    default: return "texte UTF-8 invalide";
    }
}

std::string problemText(const exchange::ImportIssue& issue) {
    const std::string& detail = issue.detail;
    switch (issue.problem) {
    case ImportProblem::TsvFieldCount:
        return tsvProblemText(exchange::TsvProblem::FieldCount, std::stoul(detail.empty() ? "0" : detail));
    case ImportProblem::TsvInvalidUtf8:
        return tsvProblemText(exchange::TsvProblem::InvalidUtf8, 0);
    case ImportProblem::TsvUnknownEscape:
        return tsvProblemText(exchange::TsvProblem::UnknownEscape, std::stoul(detail.empty() ? "0" : detail));
    case ImportProblem::CsvMisplacedQuote:
        return "guillemet mal placé : un champ entre guillemets doit être suivi du séparateur ou de la fin de "
               "ligne, et un guillemet dans un champ doit être doublé";
    case ImportProblem::VCardLineWithoutColon: return "ligne sans « : » entre le nom de la propriété et sa valeur";
    case ImportProblem::VCardUnclosed: return "carte commencée ici sans END:VCARD";
    case ImportProblem::VCardOutsideCard: return "ligne hors d'une carte (BEGIN:VCARD attendu)";
    case ImportProblem::VCardNotACard:
        return "« " + detail + " » au lieu de VCARD : seules des cartes BEGIN:VCARD ... END:VCARD sont attendues";
    case ImportProblem::BadQuotedPrintable:
        return "valeur QUOTED-PRINTABLE invalide pour " + detail +
               " (un « = » doit être suivi de deux chiffres hexadécimaux)";
    case ImportProblem::BadBase64: return "valeur base64 invalide pour " + detail;
    case ImportProblem::UnknownCharset: return "jeu de caractères inconnu : " + detail;
    case ImportProblem::LdifLineWithoutColon: return "ligne sans « attribut: valeur »";
    case ImportProblem::LdifStrayContinuation: return "ligne de suite (commençant par une espace) sans ligne à continuer";
    case ImportProblem::LdifEntryWithoutDn: return "entrée sans « dn: » en tête";
    case ImportProblem::CsvUnclosedQuote:
        return "guillemet ouvert jamais refermé (le champ court jusqu'à la fin du fichier)";
    case ImportProblem::UnknownHeader:
        return "la première ligne a l'air d'une ligne d'en-tête, mais aucune de ses colonnes n'est connue : " +
               columnsText(detail);
    case ImportProblem::OtherFileKind: return "ce fichier est " + fileKindText(detail) + ", pas un carnet d'adresses";
    case ImportProblem::BinaryData: return "octet NUL : ce fichier n'est pas du texte, pas un carnet d'adresses";
    case ImportProblem::NothingUsable: return "aucun contact n'a pu être lu";
    case ImportProblem::OutOfMemory: return "mémoire insuffisante";
    }
    return "erreur inconnue";
}

std::string leftOutText(const exchange::LeftOut& kind) {
    std::string text;
    if (kind.source != exchange::ValueSource::CsvColumn) {
        text = kind.name;
    } else if (!kind.name.empty()) {
        text = "colonne « " + kind.name + " »";
    } else {
        text = "colonne " + std::to_string(kind.column);
    }
    if (kind.field != nullptr) {
        for (const RecordField& field : kRecordFields) {
            if (field.text == kind.field) {
                text += " en plus (champ " + std::string(field.name) + ")";
            }
        }
    }
    return text;
}

std::string standInText(exchange::NameStandIn from) {
    switch (from) {
    case exchange::NameStandIn::Company: return "sa société";
    case exchange::NameStandIn::Mail: return "son adresse mail";
    case exchange::NameStandIn::Phone: return "son numéro de téléphone";
    }
    return {};
}

} // namespace fichelia::tool
