// fichelia-page: builds a directory page from contacts (TSV, CSV, vCard,
// LDIF), and takes the contacts of a page back out (TSV, CSV, vCard), exactly
// as the application writes and reads pages.

#include <cstdio>
#include <exception>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "FicheliaRelease.h"
#include "WriteCommand.h"
#include "Options.h"
#include "ReadCommand.h"
#include "base/Limits.h"
#include "platform/Console.h"
#include "platform/FileReplacement.h"
#include "platform/NameCollator.h"

namespace {

int run(int argc, char** argv) {
    using namespace fichelia::tool;
    fichelia::console::useBinaryStandardStreams();
    fichelia::console::failWritesToClosedPipes();
    fichelia::FileReplacement::removeTemporaryFilesOnInterrupt();
    const std::vector<std::string> arguments = fichelia::console::arguments(argc, argv);
    const Command command = parseCommandLine(std::vector<std::string_view>(arguments.begin(), arguments.end()));
    if (const auto* write = std::get_if<WriteOptions>(&command)) {
        return runWrite(*write, fichelia::NameCollator::fromEnvironment());
    }
    if (const auto* read = std::get_if<ReadOptions>(&command)) {
        return runRead(*read);
    }
    if (const auto* help = std::get_if<HelpRequest>(&command)) {
        const std::string text = helpText(help->topic);
        std::fwrite(text.data(), 1, text.size(), stdout);
        return 0;
    }
    if (std::holds_alternative<VersionRequest>(command)) {
        std::printf("fichelia-page %.*s\n", static_cast<int>(fichelia::kVersion.size()), fichelia::kVersion.data());
        return 0;
    }
    std::fprintf(stderr, "fichelia-page: %s\nEssayez « fichelia-page --help »\n",
                 std::get<UsageError>(command).message.c_str());
    return kExitBadInput;
}

} // namespace

// Whatever runs out, on whichever thread (the threads' failures come back to
// this one), ends in one French line and status 3.
int main(int argc, char** argv) {
    using namespace fichelia::tool;
    try {
        return run(argc, argv);
    } catch (const fichelia::TooManyRecords&) {
        std::fputs("fichelia-page: trop de contacts : une page en compte au plus 2 147 483 647\n", stderr);
    } catch (const std::bad_alloc&) {
        std::fputs("fichelia-page: mémoire insuffisante\n", stderr);
    } catch (const std::length_error&) {
        std::fputs("fichelia-page: mémoire insuffisante\n", stderr); // more than a string or a vector can hold
    } catch (const std::exception& error) {
        std::fprintf(stderr, "fichelia-page: erreur inattendue : %s\n", error.what());
    }
    return kExitIoError;
}
