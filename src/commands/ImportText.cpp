#include "commands/ImportText.h"

#include <QStringList>

namespace fichelia {

namespace {

using exchange::ImportProblem;

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

QString fileKindText(const std::string& kind) {
    if (kind == "PDF") {
        return QStringLiteral("un document PDF");
    }
    if (kind == "ZIP") {
        return QStringLiteral("une archive ZIP (ou un document xlsx, docx, ods, odt : enregistrez-le en CSV)");
    }
    if (kind == "OLE2") {
        return QStringLiteral("un document Office (xls, doc : enregistrez-le en CSV)");
    }
    if (kind == "GZIP") {
        return QStringLiteral("une archive gzip");
    }
    if (kind == "HTML") {
        return QStringLiteral("une page HTML");
    }
    return QStringLiteral("une image %1").arg(fromUtf8(kind));
}

// The cells of a header row, TAB between them: "« Nom », « Tél »".
QString columnsText(const std::string& cells) {
    QStringList columns;
    for (const QString& cell : fromUtf8(cells).split(QLatin1Char('\t'))) {
        columns << QStringLiteral("« %1 »").arg(cell);
    }
    return columns.join(QStringLiteral(", "));
}

} // namespace

QString importProblemText(const exchange::ImportIssue& issue) {
    const QString detail = fromUtf8(issue.detail);
    switch (issue.problem) {
    case ImportProblem::TsvFieldCount:
        return QStringLiteral("%1 champ(s) au lieu de 8").arg(detail);
    case ImportProblem::TsvInvalidUtf8:
        return QStringLiteral("texte UTF-8 invalide");
    case ImportProblem::TsvUnknownEscape:
        return QStringLiteral("séquence d'échappement inconnue dans le champ %1").arg(detail);
    case ImportProblem::CsvMisplacedQuote:
        return QStringLiteral("guillemet mal placé (un champ entre guillemets doit être suivi du séparateur ou de la "
                              "fin de la ligne)");
    case ImportProblem::VCardLineWithoutColon:
        return QStringLiteral("ligne sans « : » entre propriété et valeur");
    case ImportProblem::VCardUnclosed:
        return QStringLiteral("carte sans END:VCARD");
    case ImportProblem::VCardOutsideCard:
        return QStringLiteral("ligne hors d'une carte");
    case ImportProblem::VCardNotACard:
        return QStringLiteral("« %1 » au lieu de VCARD").arg(detail);
    case ImportProblem::BadQuotedPrintable:
        return QStringLiteral("valeur QUOTED-PRINTABLE invalide pour %1").arg(detail);
    case ImportProblem::BadBase64:
        return QStringLiteral("valeur base64 invalide pour %1").arg(detail);
    case ImportProblem::UnknownCharset:
        return QStringLiteral("jeu de caractères inconnu : %1").arg(detail);
    case ImportProblem::LdifLineWithoutColon:
        return QStringLiteral("ligne sans « attribut: valeur »");
    case ImportProblem::LdifStrayContinuation:
        return QStringLiteral("ligne de suite sans ligne à continuer");
    case ImportProblem::LdifEntryWithoutDn:
        return QStringLiteral("entrée sans « dn: » en tête");
    case ImportProblem::CsvUnclosedQuote:
        return QStringLiteral("guillemet ouvert et jamais refermé");
    case ImportProblem::UnknownHeader:
        return QStringLiteral("la première ligne a l'air d'une ligne d'en-tête, mais aucune de ses colonnes n'est "
                              "connue : %1")
            .arg(columnsText(issue.detail));
    case ImportProblem::OtherFileKind:
        return QStringLiteral("ce fichier est %1, pas un carnet d'adresses").arg(fileKindText(issue.detail));
    case ImportProblem::BinaryData:
        return QStringLiteral("ce fichier n'est pas du texte, pas un carnet d'adresses");
    case ImportProblem::NothingUsable:
        return QStringLiteral("aucun contact n'a pu y être lu");
    case ImportProblem::OutOfMemory:
        return QStringLiteral("la mémoire est insuffisante");
    }
    return QStringLiteral("erreur inconnue");
}

QString leftOutText(const exchange::LeftOut& kind) {
    QString text;
    if (kind.source != exchange::ValueSource::CsvColumn) {
        text = fromUtf8(kind.name);
    } else if (!kind.name.empty()) {
        text = QStringLiteral("colonne « %1 »").arg(fromUtf8(kind.name));
    } else {
        text = QStringLiteral("colonne %1").arg(kind.column);
    }
    for (const RecordField& field : kRecordFields) {
        if (kind.field != nullptr && field.text == kind.field) {
            text += QStringLiteral(" en plus (champ %1)")
                        .arg(QString::fromUtf8(field.caption.data(), static_cast<qsizetype>(field.caption.size())));
        }
    }
    return text;
}

QString standInText(exchange::NameStandIn from) {
    switch (from) {
    case exchange::NameStandIn::Company:
        return QStringLiteral("sa société");
    case exchange::NameStandIn::Mail:
        return QStringLiteral("son adresse mail");
    case exchange::NameStandIn::Phone:
        return QStringLiteral("son numéro de téléphone");
    }
    return {};
}

QString itemWord(exchange::ContactFormat format, const exchange::ImportIssue& issue) {
    if (issue.problem == ImportProblem::VCardOutsideCard || issue.problem == ImportProblem::LdifStrayContinuation) {
        return QStringLiteral("ligne");
    }
    switch (format) {
    case exchange::ContactFormat::VCard:
        return QStringLiteral("carte");
    case exchange::ContactFormat::Ldif:
        return QStringLiteral("entrée");
    default:
        return QStringLiteral("ligne");
    }
}

} // namespace fichelia
