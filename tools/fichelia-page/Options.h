#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "Help.h"
#include "directory/Contact.h"
#include "exchange/ContactImport.h"
#include "page/PageWriter.h"

namespace fichelia::tool {

enum class OutputFormat { Tsv, Csv, VCard };

struct WriteOptions {
    exchange::ImportOptions import;
    std::string site;
    PageBytes bytes = PageBytes::Windows1252;
    std::string file;   // empty: standard input
    std::string output; // empty: standard output
};

struct ReadOptions {
    OutputFormat format = OutputFormat::Tsv;
    char separator = ';';
    std::string file;   // empty: standard input
    std::string output; // empty: standard output
};

struct HelpRequest {
    HelpTopic topic = HelpTopic::All;
};
struct VersionRequest {};

// What the command line asks, or why it cannot be done: one line in French.
struct UsageError {
    std::string message;
};

using Command = std::variant<WriteOptions, ReadOptions, HelpRequest, VersionRequest, UsageError>;

Command parseCommandLine(const std::vector<std::string_view>& args);

} // namespace fichelia::tool
