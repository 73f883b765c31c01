#include "Options.h"

#include <algorithm>
#include <array>
#include <optional>

#include "exchange/ContactTsv.h"
#include "exchange/ImportWords.h"
#include "page/PageWriter.h"

namespace fichelia::tool {

const std::string_view kUsage = R"(usage:
  fichelia-page write [--from FORMAT] [--separator SEP] [--site URL] [--ascii] [-o PAGE] [FILE]
  fichelia-page read [--to FORMAT] [--separator SEP] [--template LINE] [-o OUT] [FILE]
  fichelia-page --help | --version

  fichelia-page write contacts.vcf -o annuaire.html
  fichelia-page read annuaire.html --to csv -o contacts.csv

write: reads contacts from FILE (default: standard input) and writes the
directory page that the application would save for a list holding them:
sorted as the application's list sorts them (by the locale of LC_ALL,
LC_COLLATE or LANG; on Windows, by the user's Windows locale), their texts
unchanged. A card, row or entry that cannot be read is left out and said;
files of other kinds (PDF, ZIP, office documents, images, gzip, HTML), text
with NUL bytes, iCalendar and XML files, LDAP schemas, text that is no table
of contacts, and an input holding no contact at all are refused (exit 2, no
page written, PAGE left as it was).
  -o, --output PAGE
                  writes the page to PAGE (default: standard output), as the
                  application saves: to a new file beside it, put in PAGE's
                  place only once whole and on the disk. Whatever fails (a
                  refused input, a full disk), PAGE keeps its old content.
                  Prefer it to "> PAGE", with which the shell empties PAGE
                  before the input is even read.
  --from FORMAT   tsv, csv, vcard, ldif or auto (default: auto)
  --separator SEP CSV separator: ',' ';' or 'tab' (default: found from the
                  first line, outside quotes)
  --site URL      the footer link (default https://fichelia.example/)
  --ascii         a page of ASCII bytes only, for web servers that announce
                  their pages as UTF-8 (most do): the page names no character
                  set and is otherwise Windows-1252, whose accents such a
                  server's visitors see as a "?" in a box. Characters beyond
                  ASCII are then written as \uXXXX in the script and as &#NNN;
                  in the HTML; the page reads back the same.

read: reads a page from FILE (default: standard input) and writes its contacts
in page order. A file without any line of a directory page
(remplirTabFournisseur) is refused.
  -o, --output OUT
                  writes them to OUT (default: standard output), put in place
                  whole as write -o does
  --to FORMAT     tsv, csv or vcard (default: tsv)
  --separator SEP CSV separator: ',' ';' or 'tab' (default: ';')
  --template LINE a TSV line: the fields a record line lacks come from it, as
                  they would come from the application's contact form
                  (default: eight empty fields)

Formats
  auto   TSV when the first line is ours (eight UTF-8 fields between TABs,
         not a header row); else, from the first 64 kB (UTF-16 decoded
         first): vCard when a line there begins with BEGIN:VCARD (or the
         first line is a vCard's VERSION:), the lines before it being
         reported; refused as an iCalendar file when BEGIN:VCALENDAR comes
         first, as an LDAP schema when a line defines an attribute type or an
         object class, as an XML file when the text begins with <; LDIF when
         a line begins with dn:; CSV when the text reads as a table of
         contacts (a first row naming known fields, or rows with a steady
         number of separators, one at least); any other text is refused as no
         address book. Empty input, blank lines, a byte order mark alone or
         a CSV header row alone hold no contact and are refused; an empty
         page is written only for an empty input with --from tsv.
  tsv    UTF-8, one contact a line, eight fields separated by TABs, in the
         order nom, adresse, tel, gsm, fax, mail, site, commentaire. Inside a
         field \t, \n, \r and \\ stand for TAB, LF, CR and a backslash. A line
         may end in CR LF.
  csv    RFC 4180: a field holding the separator, a double quote or a line
         break is quoted, and a quote inside it doubled; CR LF or LF between
         rows. Read in the encoding its byte order mark gives (UTF-8, UTF-16 LE
         or BE); without one, line by line: UTF-8 when the line is valid
         UTF-8, else Windows-1252 (what spreadsheets write in France); in a
         UTF-8 file, the lines read as Windows-1252 are named on standard
         error. A first row is a header when most of its non-empty cells name
         fields (or some do and none looks like a value): Nom, Adresse,
         Tél/Téléphone, GSM/Portable/Mobile, Fax/Télécopie,
         Mail/E-mail/Courriel, Site/Site web/Page web, Commentaire/Notes, the
         columns of Google Contacts, Outlook and Thunderbird exports, and the
         words for each field in French, English, German, Spanish, Italian,
         Dutch, Portuguese and Japanese (n_given/n_family, First/Last Name,
         Vorname/Name, Nombre/Apellidos, Nome/Cognome, Voornaam/Achternaam,
         姓/名, 電話 ...), letter case, accents, spaces, _ and - ignored. A
         first row that looks like a header (3
         cells or more, none empty, none with a digit, @ or :) but names no
         known column is refused, unless the second row looks the same. A
         split name gives "first middle last" unless a display name column
         gives it whole; beside a first-name column, "Nom" (Name, Naam) is
         the family name.
         An address in parts is written "street, postal-code locality,
         region, country". A pager or "other" phone is the telephone only
         when no other number is given; of Google's "a ::: b", a is taken;
         Outlook's empty dates (0/0/00) are empty in date columns. A cell
         beginning with an apostrophe then =, +, -, @, TAB or CR loses the
         apostrophe. Without a header, columns are in the TSV order. Written
         by read as UTF-8 with a byte order mark, a header row of the French
         field names, CR LF; a cell beginning with =, +, -, @, TAB or CR
         (a formula to a spreadsheet) is written after an apostrophe.
  vcard  vCard 2.1, 3.0 and 4.0: folded lines (space or TAB), any run of CRs
         before a LF, the escapes \, \; \n \\ (a backslash before another
         character gives that character), QUOTED-PRINTABLE (soft line breaks
         included) and CHARSET=, base64 (spaces and surplus padding ignored),
         parameters with or without TYPE=, group prefixes (item1.URL), several
         cards a file. nom from FN, else N (given then family name); tel from
         a TEL neither cell nor fax (a pager or "other" number only when no
         other is given); gsm from TEL of type cell; fax from TEL of type fax;
         mail from EMAIL; site from URL; commentaire from NOTE; adresse from
         ADR, written as above, else from LABEL. Where several values compete,
         the preferred one (PREF, TYPE=pref) wins, else the first. Values of
         properties with no field here are never decoded. Read leniently: a
         line without a colon continues a base64 or quoted-printable value
         (or one ending in a backslash), else that line alone is left out and
         named; '#' comment lines and blank lines are passed over; a value
         that cannot be decoded costs only itself; the card of a 2.1 AGENT
         inside a card is left out, the outer card kept. A raw 8-bit value
         is UTF-8 when it is valid UTF-8, else in the CHARSET it or its card
         names (any charset ICU knows; on Windows, its code pages by name),
         else Windows-1252.
         Written by read as vCard 3.0, UTF-8, lines folded at 75 bytes: FN and
         N, TEL;TYPE=voice, cell and fax, EMAIL, URL, NOTE, the whole address
         in ADR's street part.
  ldif   as mail programs export address books, each entry beginning with
         its dn:: cn (else givenName and sn), mail, telephoneNumber,
         mobile, facsimileTelephoneNumber, workURL/homeURL, description,
         postal address attributes (street, l, st, postalCode, c,
         postalAddress with its $ between lines, and the home ones); base64
         values (attr:: value), continuation lines, several entries;
         telephoneNumber before homePhone. An entry is a contact when an
         objectClass names a person (person, organizationalPerson,
         inetOrgPerson, mozillaAbPersonAlpha ...) or when it has a cn and a
         mail or phone; other entries (units, groups, the root) are counted
         as left out. ldapsearch's closing summary is passed over.
In every format but TSV, a contact without a name takes its company, else its
mail address, else its phone number; a line break in any field but the
comment becomes ", ".

What write leaves out, and says on standard error (in French)
  - A card, row or entry it cannot read, with its line and why: a vCard
    without END:VCARD or with a line without a colon, bad quoted-printable or
    base64 in a value it needs, an unknown CHARSET, a misplaced CSV quote, a
    TSV line that is not eight fields, invalid UTF-8 or an unknown escape in
    TSV, an LDIF entry without dn:. The other contacts make the page.
  - A contact without a name is named after its company, mail or phone;
    one with none of them is left out, with its line.
  - A site whose address would run code in the visitor's browser
    (javascript:, vbscript:, data:, letter case, leading blanks and control
    characters ignored) is left out, with its input line. http:, https:,
    ftp:, mailto: and addresses without a scheme come in unchanged.
  - Values with no field here (a second mobile, a birthday, a photo, an
    unknown column) are counted; once at the end comes how many of each kind
    were left out.

Round trips: read --to vcard then write --from vcard, and read --to csv then
write --from csv, give the same page back (texts holding a CR come back with
a LF in vCard, the only line break it knows; a line break in a field other
than the comment, which only TSV can bring, comes back as ", "; a site that
would run code is left out).

Exit status:
  0  done
  1  write left out contacts, or lines of cards, it could not read, each
     named on standard error; the page of the others is written
  2  bad arguments, or no page (-o's file left as it was): the input is no
     address book (PDF, image, NUL bytes, an iCalendar or XML file, an LDAP
     schema, text that is no table of contacts ...), it holds no contact at
     all (empty, blank, a CSV header row alone), nothing of it could be
     read, its header row names no known column, or a CSV quote is never
     closed (the rest of the file is then one field); read of a file that is
     no directory page. The error names the input line where there is one.
  3  read or write error
)";

namespace {

struct Parsed {
    std::vector<std::pair<std::string_view, std::string_view>> options;
    std::vector<std::string_view> files;
    std::string error;
};

constexpr std::array<std::string_view, 7> kValuedOptions = {"--from",     "--to", "--separator", "--site",
                                                            "--template", "-o",   "--output"};

Parsed splitArguments(const std::vector<std::string_view>& args) {
    Parsed parsed;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (std::find(kValuedOptions.begin(), kValuedOptions.end(), arg) != kValuedOptions.end()) {
            if (i + 1 == args.size()) {
                parsed.error = "valeur manquante après " + std::string(arg);
                return parsed;
            }
            parsed.options.emplace_back(arg == "-o" ? "--output" : arg, args[++i]);
        } else if (arg == "--ascii") {
            parsed.options.emplace_back(arg, "");
        } else if (arg.size() > 1 && arg.front() == '-') {
            parsed.error = "option inconnue : " + std::string(arg);
            return parsed;
        } else {
            parsed.files.push_back(arg);
        }
    }
    if (parsed.files.size() > 1) {
        parsed.error = "un seul fichier d'entrée à la fois";
    }
    return parsed;
}

std::optional<char> separatorNamed(std::string_view name) {
    if (name == "," || name == ";") {
        return name.front();
    }
    if (name == "tab" || name == "\t") {
        return '\t';
    }
    return std::nullopt;
}

bool isSafeSiteAddress(std::string_view address) {
    if (address.empty()) {
        return false;
    }
    for (char c : address) {
        if (c <= ' ' || c >= 0x7F || c == '"' || c == '<' || c == '>') {
            return false;
        }
    }
    return true;
}

Command parseWrite(const Parsed& parsed) {
    WriteOptions write;
    write.site = kPublisherAddress;
    for (const auto& [option, value] : parsed.options) {
        if (option == "--from") {
            const auto format = exchange::contactFormatNamed(value);
            if (!format) {
                return UsageError{"format --from inconnu : " + std::string(value) + " (tsv, csv, vcard, ldif, auto)"};
            }
            write.import.format = *format;
        } else if (option == "--separator") {
            const auto separator = separatorNamed(value);
            if (!separator) {
                return UsageError{"séparateur refusé : " + std::string(value) + " (',', ';' ou 'tab')"};
            }
            write.import.separator = *separator;
        } else if (option == "--site") {
            if (!isSafeSiteAddress(value)) {
                return UsageError{"adresse --site refusée (ASCII sans espace, \", < ni >)"};
            }
            write.site = value;
        } else if (option == "--output") {
            if (value.empty()) {
                return UsageError{"nom de fichier manquant après --output"};
            }
            write.output = value;
        } else if (option == "--ascii") {
            write.bytes = PageBytes::Ascii;
        } else {
            return UsageError{"option " + std::string(option) + " inattendue pour write"};
        }
    }
    if (!parsed.files.empty()) {
        write.file = parsed.files.front();
    }
    return write;
}

Command parseRead(const Parsed& parsed) {
    ReadOptions read;
    for (const auto& [option, value] : parsed.options) {
        if (option == "--to") {
            if (value == "tsv") {
                read.format = OutputFormat::Tsv;
            } else if (value == "csv") {
                read.format = OutputFormat::Csv;
            } else if (value == "vcard") {
                read.format = OutputFormat::VCard;
            } else {
                return UsageError{"format --to inconnu : " + std::string(value) + " (tsv, csv, vcard)"};
            }
        } else if (option == "--separator") {
            const auto separator = separatorNamed(value);
            if (!separator) {
                return UsageError{"séparateur refusé : " + std::string(value) + " (',', ';' ou 'tab')"};
            }
            read.separator = *separator;
        } else if (option == "--template") {
            auto template_ = exchange::parseContactTsv(value);
            if (!template_.record) {
                return UsageError{"--template : " + words::tsvProblemText(template_.problem, template_.number)};
            }
            read.templateRecord = std::move(*template_.record);
        } else if (option == "--output") {
            if (value.empty()) {
                return UsageError{"nom de fichier manquant après --output"};
            }
            read.output = value;
        } else {
            return UsageError{"option " + std::string(option) + " inattendue pour read"};
        }
    }
    if (!parsed.files.empty()) {
        read.file = parsed.files.front();
    }
    return read;
}

} // namespace

Command parseCommandLine(const std::vector<std::string_view>& args) {
    if (args.empty()) {
        return UsageError{"commande manquante"};
    }
    if (args[0] == "--help" || args[0] == "-h") {
        return HelpRequest{};
    }
    if (args[0] == "--version") {
        return VersionRequest{};
    }
    if (args[0] != "write" && args[0] != "read") {
        return UsageError{"commande inconnue : " + std::string(args[0])};
    }
    const Parsed parsed = splitArguments(args);
    if (!parsed.error.empty()) {
        return UsageError{parsed.error};
    }
    return args[0] == "write" ? parseWrite(parsed) : parseRead(parsed);
}

} // namespace fichelia::tool
