// fichelia-page: builds a directory page from contacts (TSV, CSV, vCard,
// LDIF), and takes the contacts of a page back out (TSV, CSV, vCard), exactly
// as the application writes and reads pages.

#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "FicheliaRelease.h"
#include "WriteCommand.h"
#include "Options.h"
#include "ReadCommand.h"
#include "platform/Console.h"

int main(int argc, char** argv) {
    using namespace fichelia::tool;
    fichelia::console::useBinaryStandardStreams();
    const std::vector<std::string> arguments = fichelia::console::arguments(argc, argv);
    const Command command = parseCommandLine(std::vector<std::string_view>(arguments.begin(), arguments.end()));
    try {
        if (const auto* write = std::get_if<WriteOptions>(&command)) {
            return runWrite(*write);
        }
        if (const auto* read = std::get_if<ReadOptions>(&command)) {
            return runRead(*read);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "fichelia-page: %s\n", error.what());
        return kExitIoError;
    }
    if (std::holds_alternative<HelpRequest>(command)) {
        std::fwrite(kUsage.data(), 1, kUsage.size(), stdout);
        return 0;
    }
    if (std::holds_alternative<VersionRequest>(command)) {
        std::printf("fichelia-page %.*s\n", static_cast<int>(fichelia::kVersion.size()), fichelia::kVersion.data());
        return 0;
    }
    std::fprintf(stderr, "fichelia-page: %s\n", std::get<UsageError>(command).message.c_str());
    std::fwrite(kUsage.data(), 1, kUsage.size(), stderr);
    return kExitBadInput;
}
