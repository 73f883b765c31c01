#pragma once

#include <filesystem>
#include <fstream>
#include <ostream>
#include <iterator>
#include <sstream>
#include <string>

#include "directory/DirectoryList.h"
#include "exchange/ContactTsv.h"

// Test failures show a record as its TSV line.
inline void PrintTo(const fichelia::Contact& record, std::ostream* out) {
    *out << fichelia::exchange::formatContactTsv(record);
}

namespace fichelia::testing {

inline std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string dataFile(const std::string& name) { return std::string(FICHELIA_TEST_DATA_DIR) + "/" + name; }

// The contacts of a TSV file of the test data, in file order.
inline std::vector<fichelia::Contact> contactsFromTsv(const std::string& name) {
    std::vector<fichelia::Contact> contacts;
    std::istringstream lines(readBytes(dataFile(name)));
    std::string line;
    while (std::getline(lines, line)) {
        contacts.push_back(*exchange::parseContactTsv(line).record);
    }
    return contacts;
}

} // namespace fichelia::testing
