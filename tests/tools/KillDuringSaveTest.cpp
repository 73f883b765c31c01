// A save killed at any moment (SIGKILL) leaves the old page or the whole new
// one, never anything else, and the temporary file it may leave goes with the
// next save. A page of 1,000,000 contacts (about 190 MB) is saved by the
// tool's -o, killed at 20 moments spread over the run: 10 before it starts
// writing and 10 while it writes, syncs and renames; then by the window's save
// command, killed at 5 moments of its save. POSIX; not run under the
// sanitizers (too slow there to be worth it).

#include <chrono>
#include <cstdio>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include "Files.h"
#include "ToolRun.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kContacts = 1'000'000;

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes(fs::exists(path) ? fs::file_size(path) : 0, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string contactsTsv() {
    std::string tsv;
    tsv.reserve(kContacts * 170u);
    char line[256];
    for (int i = 0; i < kContacts; ++i) {
        const int n = std::snprintf(line, sizeof line,
                                    "Contact %07d\t%d rue de la République, %05d Ville\t01 23 45 %02d %02d\t"
                                    "06 12 34 %02d %02d\t01 98 76 %02d %02d\tcontact%07d@exemple.fr\t"
                                    "https://exemple.fr/%07d\tClient depuis %d\n",
                                    static_cast<int>(i * 7919LL % kContacts), i % 200, 10000 + i % 90000, i % 100, i / 100 % 100,
                                    i % 97, i % 89, i % 83, i % 79, i, i, 1990 + i % 35);
        tsv.append(line, static_cast<std::size_t>(n));
    }
    return tsv;
}

pid_t spawn(const std::vector<std::string>& command) {
    std::vector<char*> argv;
    for (const std::string& word : command) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t child = -1;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        child = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

bool exited(pid_t child) {
    int status = 0;
    return waitpid(child, &status, WNOHANG) == child;
}

bool holdsTemporaryFile(const fs::path& folder) {
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with(".fichelia-")) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Runs the command to its end, noting when `started` first held: the time to
// that moment and to the end.
std::pair<Clock::duration, Clock::duration> timeRun(const std::vector<std::string>& command,
                                                    const std::function<bool()>& started) {
    const Clock::time_point begin = Clock::now();
    const pid_t child = spawn(command);
    std::optional<Clock::duration> start;
    while (!exited(child)) {
        if (!start && started()) {
            start = Clock::now() - begin;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return {start.value_or(Clock::duration::zero()), Clock::now() - begin};
}

// Kills the command `delay` after `started` first holds; false when it ended first.
bool killAt(const std::vector<std::string>& command, const std::function<bool()>& started, Clock::duration delay) {
    const pid_t child = spawn(command);
    while (!started()) {
        if (exited(child)) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    std::this_thread::sleep_for(delay);
    const bool killed = ::kill(child, SIGKILL) == 0;
    int status = 0;
    waitpid(child, &status, 0);
    return killed && WIFSIGNALED(status);
}

class KillDuringSave : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_folder = fichelia::testing::freshTemporaryFolder();
        writeBytes(s_folder / "contacts.tsv", contactsTsv());
        writeBytes(s_folder / "old.tsv", "Ancien contact\t\t\t\t\t\t\t\n");
        ASSERT_EQ(fichelia::testing::runRedirected(FICHELIA_PAGE_TOOL,
                                                   {"write", (s_folder / "old.tsv").string(), "-o",
                                                    (s_folder / "old.html").string()},
                                                   "/dev/null", "/dev/null", s_folder / "err.txt"),
                  0);
    }
    static void TearDownTestSuite() { fs::remove_all(s_folder); }

    // Restores the old page in a folder of its own.
    fs::path freshTarget(const std::string& folderName) const {
        const fs::path folder = s_folder / folderName;
        fs::create_directories(folder);
        fs::copy_file(s_folder / "old.html", folder / "annuaire.html", fs::copy_options::overwrite_existing);
        return folder / "annuaire.html";
    }

    // The target holds the old page or the whole new one.
    static void expectOldOrNew(const fs::path& target, const std::string& newPage, int moment) {
        const std::string bytes = readBytes(target);
        EXPECT_TRUE(bytes == readBytes(s_folder / "old.html") || bytes == newPage)
            << "moment " << moment << ": " << bytes.size() << " bytes, neither page";
    }

    static inline fs::path s_folder;
};

TEST_F(KillDuringSave, theToolsOutputIsTheOldPageOrTheWholeNewOne) {
    const fs::path target = freshTarget("outil");
    const std::vector<std::string> command = {FICHELIA_PAGE_TOOL, "write", (s_folder / "contacts.tsv").string(), "-o",
                                              target.string()};
    const auto writing = [&target] { return holdsTemporaryFile(target.parent_path()); };
    const auto [writeStart, end] = timeRun(command, writing);
    const std::string newPage = readBytes(target);
    ASSERT_GT(newPage.size(), 150'000'000u);
    ASSERT_GT(writeStart, Clock::duration::zero());
    const auto always = [] { return true; };
    int killedWhileWriting = 0;
    for (int moment = 0; moment < 20; ++moment) {
        freshTarget("outil");
        const bool beforeWriting = moment < 10;
        const Clock::duration delay = beforeWriting ? writeStart * moment / 10 : (end - writeStart) * (moment - 10) / 10;
        const bool killed = killAt(command, beforeWriting ? std::function<bool()>(always) : writing, delay);
        killedWhileWriting += killed && !beforeWriting ? 1 : 0;
        expectOldOrNew(target, newPage, moment);
    }
    EXPECT_GT(killedWhileWriting, 5);
    // The next save takes away what the killed ones left.
    ASSERT_EQ(fichelia::testing::runRedirected(command[0], {command.begin() + 1, command.end()}, "/dev/null",
                                               "/dev/null", s_folder / "err.txt"),
              0);
    EXPECT_TRUE(readBytes(target) == newPage);
    EXPECT_EQ(entries(target.parent_path()), std::vector<std::string>{"annuaire.html"});
}

TEST_F(KillDuringSave, theWindowsSaveLeavesTheOldPageOrTheWholeNewOne) {
    const fs::path target = freshTarget("fenetre");
    const fs::path page = s_folder / "nouvelle.html"; // ctest runs each test in a process of its own
    ASSERT_EQ(fichelia::testing::runRedirected(FICHELIA_PAGE_TOOL,
                                               {"write", (s_folder / "contacts.tsv").string(), "-o", page.string()},
                                               "/dev/null", "/dev/null", s_folder / "err.txt"),
              0);
    const fs::path ready = s_folder / "pret";
    const std::vector<std::string> command = {FICHELIA_SAVE_UNTIL_KILLED, page.string(), target.string(),
                                              ready.string()};
    const auto saving = [&ready] { return fs::exists(ready); };
    const auto [saveStart, end] = timeRun(command, saving);
    const std::string newPage = readBytes(page);
    ASSERT_TRUE(readBytes(target) == newPage);
    for (int moment = 0; moment < 5; ++moment) {
        freshTarget("fenetre");
        fs::remove(ready);
        killAt(command, saving, (end - saveStart) * moment / 5);
        expectOldOrNew(target, newPage, moment);
    }
    fs::remove(ready);
    ASSERT_EQ(fichelia::testing::runRedirected(command[0], {command.begin() + 1, command.end()}, "/dev/null",
                                               "/dev/null", s_folder / "err.txt"),
              0);
    EXPECT_EQ(entries(target.parent_path()), std::vector<std::string>{"annuaire.html"});
}

} // namespace
