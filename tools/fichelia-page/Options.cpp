#include "Options.h"

#include <algorithm>
#include <array>
#include <optional>

#include "exchange/ContactTsv.h"
#include "exchange/ImportWords.h"
#include "exchange/SiteAddress.h"
#include "page/PageWriter.h"

namespace fichelia::tool {

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

// "-" is standard input as the input and standard output as -o, as for every
// Unix tool (a file of that name is "./-"); both are named by an empty name.
std::string namedFile(std::string_view name) {
    return name == "-" ? std::string() : std::string(name);
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
            if (exchange::isScriptSiteAddress(value)) {
                // The same rule as for the contacts' sites: the footer link must not run code either.
                return UsageError{"adresse --site refusée : elle ferait exécuter du code dans le navigateur des "
                                  "visiteurs (javascript:, vbscript:, data:)"};
            }
            write.site = value;
        } else if (option == "--output") {
            if (value.empty()) {
                return UsageError{"nom de fichier manquant après --output"};
            }
            write.output = namedFile(value);
        } else if (option == "--ascii") {
            write.bytes = PageBytes::Ascii;
        } else {
            return UsageError{"option " + std::string(option) + " inattendue pour write"};
        }
    }
    if (!parsed.files.empty()) {
        write.file = namedFile(parsed.files.front());
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
            // Still checked, so scripts that pass one keep working; a record never takes a field from it.
        } else if (option == "--output") {
            if (value.empty()) {
                return UsageError{"nom de fichier manquant après --output"};
            }
            read.output = namedFile(value);
        } else {
            return UsageError{"option " + std::string(option) + " inattendue pour read"};
        }
    }
    if (!parsed.files.empty()) {
        read.file = namedFile(parsed.files.front());
    }
    return read;
}

} // namespace

Command parseCommandLine(const std::vector<std::string_view>& args) {
    if (args.empty()) {
        return UsageError{"commande manquante"};
    }
    if (args[0] == "--help" || args[0] == "-h") {
        return HelpRequest{HelpTopic::All};
    }
    if (args[0] == "--version") {
        return VersionRequest{};
    }
    if (args[0] != "write" && args[0] != "read") {
        return UsageError{"commande inconnue : " + std::string(args[0])};
    }
    // write --help and read --help, wherever --help stands.
    if (std::find_if(args.begin() + 1, args.end(), [](std::string_view arg) { return arg == "--help" || arg == "-h"; }) !=
        args.end()) {
        return HelpRequest{args[0] == "write" ? HelpTopic::Write : HelpTopic::Read};
    }
    const Parsed parsed = splitArguments(args);
    if (!parsed.error.empty()) {
        return UsageError{parsed.error};
    }
    return args[0] == "write" ? parseWrite(parsed) : parseRead(parsed);
}

} // namespace fichelia::tool
