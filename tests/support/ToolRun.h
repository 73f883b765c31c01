#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>

#include "Files.h"

namespace fichelia::testing {

struct ToolResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the fichelia-page tool with the given arguments (already quoted for the
// shell) and standard input.
inline ToolResult runPageTool(const std::string& arguments, const std::string& input) {
    static int counter = 0;
    const auto dir = std::filesystem::temp_directory_path() /
                     ("fichelia-tool-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(dir);
    const auto in = dir / "in";
    const auto out = dir / "out";
    const auto err = dir / "err";
    std::ofstream(in, std::ios::binary) << input;
    const std::string command = std::string("'") + FICHELIA_PAGE_TOOL + "' " + arguments + " < '" + in.string() +
                                "' > '" + out.string() + "' 2> '" + err.string() + "'";
    const int raw = std::system(command.c_str());
    ToolResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = readBytes(out.string());
    result.err = readBytes(err.string());
    std::filesystem::remove_all(dir);
    return result;
}

} // namespace fichelia::testing
