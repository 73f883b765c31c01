// What cannot be read is skipped, with its line and why, and the rest
// imported; the whole input is refused only when nothing of it can be used,
// when it is no address book, or when a quote never closed leaves the rest of
// a CSV file unreadable.

#include <gtest/gtest.h>

#include "ImportSummary.h"
#include "exchange/ContactImport.h"

using fichelia::exchange::ContactFormat;
using fichelia::exchange::importContacts;
using fichelia::testing::problemsSummary;

TEST(MalformedInput, isSkippedOrRefusedWithItsLineAndWhatIsWrong) {
    const struct {
        ContactFormat format;
        std::string text;
        std::size_t records;
        const char* problems; // skipped, then " / " and the refusal
    } cases[] = {
        {ContactFormat::Tsv, "a\t\t\t\t\t\t\t\nb\n", 1, "TsvFieldCount@2:1"},
        {ContactFormat::Tsv, "a\t\t\t\t\t\t\t\n\t\t\\q\t\t\t\t\t\n", 1, "TsvUnknownEscape@2:3"},
        {ContactFormat::Tsv, "\xE9t\xE9\t\t\t\t\t\t\t\n", 0, "TsvInvalidUtf8@1 / NothingUsable@0"},
        {ContactFormat::Csv, "Nom;Mail\nDupont;d@x.fr\n\"Martin;m@x.fr\nDurand;x\n", 0, " / CsvUnclosedQuote@3"},
        {ContactFormat::Csv, "a;b\n\n\n\"c;\"\"d\n", 0, " / CsvUnclosedQuote@4"},
        {ContactFormat::Csv, "Nom;Mail\n\"Dupont\" ;d@x.fr\nMartin;m@x.fr\n", 1, "CsvMisplacedQuote@2"},
        {ContactFormat::Csv, "Dupont;\"d@\"x.fr\n", 0, "CsvMisplacedQuote@1 / NothingUsable@0"},
        {ContactFormat::VCard, "BEGIN:VCARD\nFN:a\nEND:VCARD\nBEGIN:VCARD\nFN:b\n", 1, "VCardUnclosed@4"},
        {ContactFormat::VCard, "BEGIN:VCARD\nFN:a\nBEGIN:VCARD\nFN:b\nEND:VCARD\n", 1, "VCardUnclosed@1"},
        {ContactFormat::VCard, "BEGIN:VCARD\nFN:a\nNOTE sans deux-points\nEND:VCARD\nBEGIN:VCARD\nFN:b\nEND:VCARD\n", 2,
         "VCardLineWithoutColon@3"},
        {ContactFormat::VCard, "FN:a\nTEL:1\nBEGIN:VCARD\nFN:b\nEND:VCARD\nEND:VCARD\n", 1,
         "VCardOutsideCard@1:FN, VCardOutsideCard@6:END"},
        {ContactFormat::VCard, "BEGIN:VCARD\nFN:a\nBEGIN:VCALENDAR\nEND:VCARD\n", 0,
         "VCardNotACard@3:VCALENDAR / NothingUsable@0"},
        {ContactFormat::VCard, "BEGIN:VCARD\nFN:a\nNOTE;ENCODING=b:iVBO*w0K\nEND:VCARD\n", 1, "BadBase64@3:NOTE"},
        {ContactFormat::VCard, "BEGIN:VCARD\nFN:a\nNOTE;QUOTED-PRINTABLE:caf=E\nEND:VCARD\nBEGIN:VCARD\nEND:VCARD\n", 1,
         "BadQuotedPrintable@3:NOTE, NoName@5"},
        {ContactFormat::VCard, "BEGIN:VCARD\nNOTE;CHARSET=X-NULLE-PART;QUOTED-PRINTABLE:a\nEND:VCARD\n", 0,
         "UnknownCharset@2:X-NULLE-PART, NoName@1 / NothingUsable@0"},
        {ContactFormat::Ldif, "dn: cn=a\ncn: a\nmail: a@x.fr\n\ndn: cn=b\ncn:: SMOp!\n", 1, "BadBase64@6:cn"},
        {ContactFormat::Ldif, " suite\ndn: cn=a\ncn: a\nmail: a@x.fr\n", 1, "LdifStrayContinuation@1"},
        {ContactFormat::Ldif, "dn: cn=a\ncn a\n", 0, "LdifLineWithoutColon@2 / NothingUsable@0"},
        {ContactFormat::Ldif, "cn: a\nmail: a@x.fr\n\ndn: cn=b\ncn: b\ntelephoneNumber: 1\n", 1,
         "LdifEntryWithoutDn@1"},
        // No address book at all, whatever the format asked.
        {ContactFormat::Auto, "%PDF-1.4\n1 0 obj\n", 0, " / OtherFileKind@0:PDF"},
        {ContactFormat::Csv, "PK\x03\x04\x14\0\0\0", 0, " / OtherFileKind@0:ZIP"},
        {ContactFormat::Auto, "\xEF\xBB\xBF<!DOCTYPE html><html>", 0, " / OtherFileKind@0:HTML"},
        {ContactFormat::Auto, "\n\r\n \t\n<html>\n<head>", 0, " / OtherFileKind@0:HTML"}, // after blank lines
        {ContactFormat::Auto, std::string("Nom;Tel\nA;1\0\n", 13), 0, " / BinaryData@2"},
        {ContactFormat::Auto, "Anrede;Titel;Abteilung\nHerr;;Verkauf 2\n", 0,
         " / UnknownHeader@1:Anrede\tTitel\tAbteilung"},
        {ContactFormat::Auto, "Anrede;Titel;Abteilung\n", 0, " / UnknownHeader@1:Anrede\tTitel\tAbteilung"},
        {ContactFormat::Auto, "VERSION:3.0\nFN:a\nTEL:1\nEND:VCARD\n", 0,
         "VCardOutsideCard@1:VERSION / NothingUsable@0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto report = importContacts(c.text, c.format);
        EXPECT_EQ(report.records.size(), c.records);
        EXPECT_EQ(problemsSummary(report), c.problems);
    }
}
