// The Qt-free whole-file replacement on real files (POSIX). Its failures part
// of the way through (full disk, fsync, rename) are those of the window's
// long names, in QtFilesTest.

#include "platform/FileReplacement.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

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

// A temporary name already taken (by a process of another PID namespace that
// holds its file) is passed over for the next one, and that file left alone.
TEST(FileReplacement, passesOverTemporaryNamesAlreadyTaken) {
    const fs::path folder = fichelia::testing::freshTemporaryFolder();
    std::vector<int> held;
    for (int n = 0; n < 200; ++n) {
        const fs::path name = folder / (".fichelia-" + std::to_string(::getpid()) + "-" + std::to_string(n) + ".tmp");
        held.push_back(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
        ASSERT_GE(held.back(), 0);
        ASSERT_EQ(::flock(held.back(), LOCK_EX), 0);
    }
    EXPECT_TRUE(replaceFileWhole((folder / "a.html").string(), "page"));
    EXPECT_EQ(readBytes(folder / "a.html"), "page");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 201);
    for (const int file : held) {
        ::close(file);
    }
    fs::remove_all(folder);
}

// Each replacement done gives its place in the signal handler's list back: a
// signal after many of them still removes the temporary file under way.
TEST(FileReplacement, aSignalAfterManyReplacementsStillRemovesTheTemporaryFile) {
    const fs::path folder = fichelia::testing::freshTemporaryFolder();
    const std::string page = (folder / "a.html").string();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        fichelia::FileReplacement::removeTemporaryFilesOnInterrupt();
        for (int i = 0; i < 20; ++i) {
            if (!replaceFileWhole(page, std::to_string(i))) {
                ::_exit(2);
            }
        }
        auto last = fichelia::FileReplacement::begin(page);
        if (!last || !last->write("jamais")) {
            ::_exit(3);
        }
        ::raise(SIGTERM);
        ::_exit(4);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    EXPECT_EQ(readBytes(folder / "a.html"), "19");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1) << "a temporary file left";
    fs::remove_all(folder);
}
