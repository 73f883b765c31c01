#include "ToolRun.h"

#include <fstream>
#include <random>

#include "Files.h"

namespace fichelia::testing {

std::string utf8Path(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

std::filesystem::path freshTemporaryFolder() {
    static std::mt19937_64 random{std::random_device{}()};
    for (;;) {
        const auto folder = std::filesystem::temp_directory_path() / ("fichelia-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(folder)) {
            return folder;
        }
    }
}

ToolResult runPageTool(const std::vector<std::string>& arguments, const std::string& input) {
    const auto folder = freshTemporaryFolder();
    const auto in = folder / "in";
    std::ofstream(in, std::ios::binary) << input;
    ToolResult result = runPageToolFrom(arguments, in);
    std::filesystem::remove_all(folder);
    return result;
}

ToolResult runPageToolFrom(const std::vector<std::string>& arguments, const std::filesystem::path& input) {
    const auto folder = freshTemporaryFolder();
    ToolResult result;
    result.status = runRedirected(FICHELIA_PAGE_TOOL, arguments, input, folder / "out", folder / "err");
    result.out = readBytes(folder / "out");
    result.err = readBytes(folder / "err");
    std::filesystem::remove_all(folder);
    return result;
}

} // namespace fichelia::testing
