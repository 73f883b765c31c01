// The Qt-free whole-file replacement on real files (POSIX). Its failures part
// of the way through (full disk, fsync, rename) are those of the window's
// long names, in QtFilesTest.

#include "platform/FileReplacement.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "Files.h"
#include "ToolRun.h"

namespace fs = std::filesystem;
using fichelia::Error;
using fichelia::replaceFileWhole;
using fichelia::testing::readBytes;

namespace {

void write(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

} // namespace

TEST(FileReplacement, followsLinksKeepsPermissionsAndRefusesWhatNoOneMayWrite) {
    const fs::path folder = fichelia::testing::freshTemporaryFolder();
    write(folder / "page.html", "ancienne");
    fs::permissions(folder / "page.html", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("page.html", folder / "live.html");
    fs::create_symlink("plus-tard.html", folder / "dangling.html");
    ASSERT_TRUE(replaceFileWhole((folder / "live.html").string(), "nouvelle"));
    ASSERT_TRUE(replaceFileWhole((folder / "dangling.html").string(), "créée"));
    EXPECT_EQ(readBytes(folder / "page.html"), "nouvelle");
    EXPECT_EQ(readBytes(folder / "plus-tard.html"), "créée");
    EXPECT_TRUE(fs::is_symlink(folder / "live.html"));
    EXPECT_TRUE(fs::is_symlink(folder / "dangling.html"));
    EXPECT_EQ(fs::status(folder / "page.html").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    fs::permissions(folder / "page.html", fs::perms::owner_read | fs::perms::group_read);
    const auto refused = replaceFileWhole((folder / "page.html").string(), "jamais");
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error(), Error::ReadOnlyFile);
    EXPECT_EQ(readBytes(folder / "page.html"), "nouvelle");
    fs::remove_all(folder);
}

// Only the temporary files of processes that are gone are removed: pid 1
// always runs, 4194305 never can (it is above any pid_max).
TEST(FileReplacement, removesOnlyTheTemporaryFilesOfProcessesThatAreGone) {
    const fs::path folder = fichelia::testing::freshTemporaryFolder();
    for (const char* name : {".fichelia-1-0.tmp", ".fichelia-4194305-3.tmp", ".fichelia-x.tmp", "autre.tmp"}) {
        write(folder / name, "x");
    }
    ASSERT_TRUE(replaceFileWhole((folder / "a.html").string(), "page"));
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".fichelia-1-0.tmp", ".fichelia-x.tmp", "a.html", "autre.tmp"}));
    fs::remove_all(folder);
}
