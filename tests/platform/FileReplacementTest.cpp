// The Qt-free whole-file replacement on real files (POSIX). Its failures part
// of the way through (full disk, fsync, rename) are those of the window's
// long names, in QtFilesTest.

#include "platform/FileReplacement.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "FailingCalls.h"
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

// A temporary file is a leftover when no one holds its lock: one named after
// a process that runs (pid 1) is removed, as happens across PID namespaces;
// one that a replacement under way holds stays, also in this process; names
// of other shapes are never touched.
TEST(FileReplacement, removesOnlyTheTemporaryFilesNoOneHolds) {
    const fs::path folder = fichelia::testing::freshTemporaryFolder();
    auto live = fichelia::FileReplacement::begin((folder / "b.html").string());
    ASSERT_TRUE(live.ok());
    ASSERT_TRUE(live->write("en cours"));
    for (const char* name : {".fichelia-1-0.tmp", ".fichelia-4194305-3.tmp", ".fichelia-x.tmp", "autre.tmp"}) {
        write(folder / name, "x");
    }
    const auto names = [&folder] {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(folder)) {
            found.push_back(entry.path().filename().string());
        }
        std::sort(found.begin(), found.end());
        return found;
    };
    const std::vector<std::string> before = names();
    ASSERT_EQ(before.size(), 5u);
    const std::string liveName = *std::find_if(before.begin(), before.end(), [](const std::string& name) {
        return name.starts_with(".fichelia-") && name.find("-1-0") == std::string::npos &&
               name.find("4194305") == std::string::npos && name != ".fichelia-x.tmp";
    });

    ASSERT_TRUE(replaceFileWhole((folder / "a.html").string(), "page"));
    std::vector<std::string> expected{liveName, ".fichelia-x.tmp", "a.html", "autre.tmp"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names(), expected);
    ASSERT_TRUE(live->commit());
    EXPECT_EQ(readBytes(folder / "b.html"), "en cours");
    EXPECT_EQ(names(), (std::vector<std::string>{".fichelia-x.tmp", "a.html", "autre.tmp", "b.html"}));
    fs::remove_all(folder);
}

// The rename reaches the disk with its folder: the folder is synced after it,
// and not when the rename failed.
TEST(FileReplacement, syncsTheFolderAfterTheRename) {
    const fs::path folder = fichelia::testing::freshTemporaryFolder();
    int syncs = failing_calls::folderSyncs();
    int renames = failing_calls::renames();
    ASSERT_TRUE(replaceFileWhole((folder / "a.html").string(), "page"));
    EXPECT_EQ(failing_calls::renames(), renames + 1);
    EXPECT_EQ(failing_calls::folderSyncs(), syncs + 1);

    syncs = failing_calls::folderSyncs();
    {
        const failing_calls::Failure failure(failing_calls::Call::Rename, EIO);
        EXPECT_FALSE(replaceFileWhole((folder / "a.html").string(), "autre").ok());
        EXPECT_EQ(failure.failedCalls(), 1);
    }
    EXPECT_EQ(failing_calls::folderSyncs(), syncs);
    EXPECT_EQ(readBytes(folder / "a.html"), "page");
    fs::remove_all(folder);
}
