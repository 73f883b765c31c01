#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Defined when the tests and the tool run under AddressSanitizer, whose
// allocator and shadow memory a memory limit or measure would take in too.
#if defined(__SANITIZE_ADDRESS__)
#define FICHELIA_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FICHELIA_SANITIZED 1
#endif
#endif

namespace fichelia::testing {

struct ToolResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the fichelia-page tool with these arguments, each given to it whole
// (no shell between), and this standard input; standard output and error are
// collected as bytes. Arguments are UTF-8.
ToolResult runPageTool(const std::vector<std::string>& arguments, const std::string& input);

// The same, with that file as standard input.
ToolResult runPageToolFrom(const std::vector<std::string>& arguments, const std::filesystem::path& input);

// Runs a program with its standard streams redirected from and to files, and
// returns its exit status (-1 when it did not end normally). One version for
// each system: ToolRun_posix.cpp, ToolRun_win.cpp.
int runRedirected(const std::string& program, const std::vector<std::string>& arguments,
                  const std::filesystem::path& in, const std::filesystem::path& out, const std::filesystem::path& err);

// A path in UTF-8, as the tool takes names on its command line.
std::string utf8Path(const std::filesystem::path& path);

// A new empty folder of its own under the system's temporary folder.
std::filesystem::path freshTemporaryFolder();

} // namespace fichelia::testing
