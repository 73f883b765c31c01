// fichelia-page: builds a directory page from contacts given as TSV, and reads
// the contacts of a page back as TSV, exactly as the application does.

#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "FicheliaRelease.h"
#include "directory/DirectoryList.h"
#include "page/PageReader.h"
#include "page/PageWriter.h"
#include "text/ContactTsv.h"

namespace {

constexpr int kExitIoError = 1;
constexpr int kExitBadInput = 2;

constexpr std::string_view kUsage = R"(usage:
  fichelia-page write [--site URL]      TSV contacts on stdin -> page on stdout
  fichelia-page read [--template LINE]  page on stdin -> TSV contacts on stdout
  fichelia-page --help | --version

TSV: UTF-8, one contact a line, eight fields separated by TABs, in the order
nom, adresse, tel, gsm, fax, mail, site, commentaire. Inside a field \t, \n,
\r and \\ stand for TAB, LF, CR and a backslash. A line may end in CR LF.

write: the page holds the contacts sorted as the application's list sorts them
(by the locale of LC_ALL, LC_COLLATE or LANG), their texts unchanged. --site
sets the footer link (default https://fichelia.example/).
read: one TSV line per record line of the page, in page order. Fields that a
record line lacks come from --template (default: eight empty fields), as they
would come from the application's contact form.

Exit status: 0 done, 1 read or write error, 2 bad arguments or bad input (no
page written).
)";

int usageError(const std::string& message) {
    std::cerr << "fichelia-page: " << message << "\n" << kUsage;
    return kExitBadInput;
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

int writePage(std::string_view site) {
    std::vector<annuaire> contacts;
    std::string line;
    for (long lineNumber = 1; std::getline(std::cin, line); ++lineNumber) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        auto parsed = fichelia::text::parseContactTsv(line);
        if (!parsed.record) {
            std::cerr << "fichelia-page: ligne " << lineNumber << " : " << parsed.error << "\n";
            return kExitBadInput;
        }
        contacts.push_back(std::move(*parsed.record));
    }
    if (std::cin.bad()) {
        std::cerr << "fichelia-page: lecture de l'entrée impossible\n";
        return kExitIoError;
    }
    fichelia::DirectoryList list;
    if (!list.addAll(std::move(contacts))) {
        std::cerr << "fichelia-page: mémoire insuffisante\n";
        return kExitIoError;
    }
    const std::string page = fichelia::BuildDirectoryPage(list, site);
    if (std::fwrite(page.data(), 1, page.size(), stdout) != page.size() || std::fflush(stdout) != 0) {
        std::cerr << "fichelia-page: écriture de la page impossible\n";
        return kExitIoError;
    }
    return 0;
}

int readPage(const annuaire& templateRecord) {
    auto source = fichelia::FileByteSource::borrow(stdin);
    std::string out;
    const fichelia::Result<void> read = fichelia::ReadDirectoryPage(*source, templateRecord, [&out](annuaire&& record) {
        out += fichelia::text::formatContactTsv(record);
        out += '\n';
        if (out.size() >= (1u << 16)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    });
    std::fwrite(out.data(), 1, out.size(), stdout);
    if (!read) {
        std::cerr << "fichelia-page: lecture de la page impossible\n";
        return kExitIoError;
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        std::cerr << "fichelia-page: écriture impossible\n";
        return kExitIoError;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.empty()) {
        return usageError("commande manquante");
    }
    if (args[0] == "--help" || args[0] == "-h") {
        std::cout << kUsage;
        return 0;
    }
    if (args[0] == "--version") {
        std::cout << "fichelia-page " << fichelia::kVersion << "\n";
        return 0;
    }
    try {
        if (args[0] == "write") {
            std::string_view site = fichelia::kPublisherAddress;
            if (args.size() == 3 && args[1] == "--site") {
                site = args[2];
                if (!isSafeSiteAddress(site)) {
                    return usageError("adresse --site refusée (ASCII sans espace, \", < ni >)");
                }
            } else if (args.size() != 1) {
                return usageError("arguments inattendus pour write");
            }
            return writePage(site);
        }
        if (args[0] == "read") {
            annuaire templateRecord;
            if (args.size() == 3 && args[1] == "--template") {
                auto parsed = fichelia::text::parseContactTsv(args[2]);
                if (!parsed.record) {
                    return usageError("--template : " + parsed.error);
                }
                templateRecord = std::move(*parsed.record);
            } else if (args.size() != 1) {
                return usageError("arguments inattendus pour read");
            }
            return readPage(templateRecord);
        }
    } catch (const std::exception& error) {
        std::cerr << "fichelia-page: " << error.what() << "\n";
        return kExitIoError;
    }
    return usageError("commande inconnue : " + std::string(args[0]));
}
