#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "directory/DirectoryList.h"
#include "platform/NameCollator.h"
#include "directory/Contact.h"
#include "page/PageReader.h"

namespace fichelia::bench {

inline constexpr std::size_t kContactCount = 100'000;

// What the benchmarks work on, built once, on first use, and shared by all of
// them: the generated contacts, the list holding them, its page, and that page
// as a file in a private temporary folder (removed at exit).
struct BenchData {
    // French rules whatever the environment, so that every run sorts alike.
    std::shared_ptr<const NameCollator> collator;
    std::vector<Contact> contacts;       // in generated order
    std::unique_ptr<DirectoryList> list; // added in generated order: its texts lie in memory in that order
    std::unique_ptr<DirectoryList> openedList; // the same read back from the page, as the open command leaves it
    std::string page;
    std::string pagePath;
    std::size_t contactTextBytes = 0; // UTF-8 text of all contacts together
};

// Exits with a message on standard error when the data cannot be prepared or
// the page does not read back as the list that wrote it: a benchmark of a
// broken writer or reader would measure nothing useful.
const BenchData& benchData();

// Reads the page file at path, as the open command reads a page.
Result<void> readPageFile(const std::string& path, const RecordReceiver& receiver);

} // namespace fichelia::bench
