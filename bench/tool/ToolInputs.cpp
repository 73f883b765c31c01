// Writes the inputs of tool-bench.sh into a folder: the same 100,000 generated
// contacts as our TSV, as our CSV export, as vCards, and as an abook address
// book (what a user of Debian's abook keeps).
//   fichelia_tool_inputs FOLDER [COUNT]

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ContactGenerator.h"
#include "exchange/CsvContacts.h"
#include "exchange/VCardContacts.h"
#include "exchange/ContactTsv.h"

namespace {

bool writeFile(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// abook keeps one value a line: a line break in a text would end it.
std::string oneLine(std::string text) {
    for (char& c : text) {
        c = c == '\n' || c == '\r' ? ' ' : c;
    }
    return text;
}

std::string abookFile(const std::vector<Contact>& contacts) {
    std::string book = "# abook addressbook file\n\n[format]\nprogram=abook\nversion=0.6.1\n\n";
    for (std::size_t i = 0; i < contacts.size(); ++i) {
        const Contact& c = contacts[i];
        book.append("[").append(std::to_string(i)).append("]\n");
        for (const auto& [key, text] : {std::pair{"name", &c.name},
                                        {"email", &c.mail},
                                        {"address", &c.address},
                                        {"phone", &c.phone},
                                        {"mobile", &c.mobile},
                                        {"fax", &c.fax},
                                        {"url", &c.site},
                                        {"notes", &c.comment}}) {
            book.append(key).append("=").append(oneLine(*text)).append("\n");
        }
        book.append("\n");
    }
    return book;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: fichelia_tool_inputs FOLDER [COUNT]\n", stderr);
        return 2;
    }
    const std::string folder = argv[1];
    const std::size_t count = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 100'000;
    const std::vector<Contact> contacts = fichelia::bench::generateContacts(count);

    std::string tsv;
    std::string csv = "\xEF\xBB\xBF";
    std::string vcf;
    fichelia::exchange::appendCsvHeader(csv, ';');
    for (const Contact& contact : contacts) {
        fichelia::text::appendContactTsv(tsv, contact);
        tsv += '\n';
        fichelia::exchange::appendCsvContact(csv, contact, ';');
        fichelia::exchange::appendVCard(vcf, contact);
    }
    if (!writeFile(folder + "/contacts.tsv", tsv) || !writeFile(folder + "/contacts.csv", csv) ||
        !writeFile(folder + "/contacts.vcf", vcf) || !writeFile(folder + "/addressbook", abookFile(contacts))) {
        std::fprintf(stderr, "fichelia_tool_inputs: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
