// The tool as one process among others (POSIX): interrupted by a signal while
// it writes -o's file, beside another run writing in the same folder, and
// writing into a pipe whose reader has gone. A fifo as the input of read holds
// the tool in the middle of its output for as long as the test wants.

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "Files.h"
#include "ToolRun.h"

namespace fs = std::filesystem;
using fichelia::testing::dataFile;
using fichelia::testing::readBytes;
using namespace std::chrono_literals;

namespace {

// The tool started with these arguments, its standard output going to out
// (a descriptor of this process, or /dev/null when -1), with the default
// action for the signals the test sends, whatever this process was started with.
pid_t startTool(const std::vector<std::string>& arguments, int out = -1) {
    std::vector<char*> argv{const_cast<char*>(FICHELIA_PAGE_TOOL)};
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (out >= 0) {
        posix_spawn_file_actions_adddup2(&actions, out, 1);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (const int number : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        sigaddset(&defaults, number);
    }
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t child = -1;
    if (posix_spawn(&child, argv[0], &actions, &attributes, argv.data(), environ) != 0) {
        child = -1;
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

// The child's wait status once it ends, or -1 when it has not ended within
// the time given (it is then killed).
int waitFor(pid_t child, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (std::chrono::steady_clock::now() < end) {
        if (waitpid(child, &status, WNOHANG) == child) {
            return status;
        }
        std::this_thread::sleep_for(1ms);
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    return -1;
}

std::vector<std::string> temporaryFiles(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(".fichelia-") && name.ends_with(".tmp")) {
            names.push_back(name);
        }
    }
    return names;
}

// Waits until the folder holds a temporary file of at least that size.
bool waitForTemporaryFile(const fs::path& folder, std::uintmax_t size = 0) {
    const auto end = std::chrono::steady_clock::now() + 20s;
    while (std::chrono::steady_clock::now() < end) {
        for (const std::string& name : temporaryFiles(folder)) {
            std::error_code error;
            const auto found = fs::file_size(folder / name, error);
            if (!error && found >= size) {
                return true;
            }
        }
        std::this_thread::sleep_for(200us);
    }
    return false;
}

// Waits until the folder holds a temporary file that its writer has locked
// (between making it and locking it, another run's clean-up may take it
// away, and the writer then makes another).
bool waitForLockedTemporaryFile(const fs::path& folder) {
    const auto end = std::chrono::steady_clock::now() + 20s;
    while (std::chrono::steady_clock::now() < end) {
        for (const std::string& name : temporaryFiles(folder)) {
            const int file = open((folder / name).c_str(), O_RDONLY | O_CLOEXEC);
            const bool locked = file >= 0 && flock(file, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
            if (file >= 0) {
                close(file);
            }
            if (locked) {
                return true;
            }
        }
        std::this_thread::sleep_for(200us);
    }
    return false;
}

// A TSV of that many generated contacts, in no order.
void writeContacts(const fs::path& path, int count) {
    std::ofstream tsv(path, std::ios::binary);
    for (int i = 0; i < count; ++i) {
        tsv << "Contact " << (i * 7919LL % count) << "\t" << i << " rue de la République\t01 23 45 67 89\t\t\t"
            << "c" << i << "@exemple.fr\thttps://exemple.fr/" << i << "\tClient\n";
    }
}

// read from a fifo into -o: the tool holds its temporary file until the fifo
// is closed. The page's head is given at once.
struct HeldRead {
    HeldRead(const fs::path& folder, const fs::path& output) : fifo(folder / "page.fifo") {
        EXPECT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        child = startTool({"read", fifo.string(), "-o", output.string()});
        writer = open(fifo.c_str(), O_WRONLY); // once the tool opens it
        const std::string page = readBytes(dataFile("page_twelve.html"));
        rest = page.substr(page.size() / 2);
        EXPECT_EQ(write(writer, page.data(), page.size() / 2), static_cast<ssize_t>(page.size() / 2));
    }
    // The rest of the page, then its end.
    void finish() {
        EXPECT_EQ(write(writer, rest.data(), rest.size()), static_cast<ssize_t>(rest.size()));
        close(writer);
        writer = -1;
    }
    ~HeldRead() {
        if (writer >= 0) {
            close(writer);
        }
        fs::remove(fifo);
    }
    fs::path fifo;
    pid_t child = -1;
    int writer = -1;
    std::string rest;
};

} // namespace

// Ctrl+C, SIGTERM and SIGHUP take the temporary file away, and end the tool as
// the signal would have; the file named by -o keeps its old content.
TEST(ToolProcess, aSignalDuringTheOutputRemovesTheTemporaryFile) {
    for (const int number : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(number);
        const fs::path folder = fichelia::testing::freshTemporaryFolder();
        const fs::path output = folder / "contacts.tsv";
        std::ofstream(output, std::ios::binary) << "ancien";
        {
            HeldRead held(fichelia::testing::freshTemporaryFolder(), output);
            ASSERT_TRUE(waitForTemporaryFile(folder));
            ASSERT_EQ(kill(held.child, number), 0);
            const int status = waitFor(held.child, 20s);
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == number) << status;
            fs::remove_all(held.fifo.parent_path());
        }
        EXPECT_TRUE(temporaryFiles(folder).empty());
        EXPECT_EQ(readBytes(output), "ancien");
        fs::remove_all(folder);
    }
}

// The same in the middle of a large write, the page half written.
TEST(ToolProcess, ctrlCDuringALargeWriteRemovesTheTemporaryFile) {
    const fs::path folder = fichelia::testing::freshTemporaryFolder();
    const fs::path input = folder / "contacts.tsv";
    writeContacts(input, 400'000);
    const fs::path pages = folder / "pages";
    fs::create_directory(pages);
    const pid_t child = startTool({"write", input.string(), "-o", (pages / "annuaire.html").string()});
    ASSERT_TRUE(waitForTemporaryFile(pages, 1));
    ASSERT_EQ(kill(child, SIGINT), 0);
    const int status = waitFor(child, 20s);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    EXPECT_TRUE(fs::is_empty(pages));
    fs::remove_all(folder);
}

// A live writer's temporary file is locked: another run's clean-up in the
// same folder leaves it, and takes away those whose lock it can take, even
// one named after a process that runs (pid 1), as happens across PID
// namespaces.
TEST(ToolProcess, anotherRunRemovesOnlyTheTemporaryFilesNoOneHolds) {
    const fs::path folder = fichelia::testing::freshTemporaryFolder();
    const fs::path output = folder / "contacts.tsv";
    HeldRead held(fichelia::testing::freshTemporaryFolder(), output);
    ASSERT_TRUE(waitForLockedTemporaryFile(folder));
    const std::vector<std::string> live = temporaryFiles(folder);
    ASSERT_EQ(live.size(), 1u);
    for (const char* name : {".fichelia-1-0.tmp", ".fichelia-4194305-7.tmp"}) {
        std::ofstream(folder / name) << "reste";
    }
    const auto other = fichelia::testing::runPageTool({"write", "-o", (folder / "annuaire.html").string()},
                                                      readBytes(dataFile("contacts_twelve.tsv")));
    ASSERT_EQ(other.status, 0) << other.err;
    EXPECT_EQ(temporaryFiles(folder), live);

    held.finish();
    const int status = waitFor(held.child, 20s);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(temporaryFiles(folder).empty());
    EXPECT_EQ(readBytes(output), fichelia::testing::runPageTool({"read"}, readBytes(dataFile("page_twelve.html"))).out);
    fs::remove_all(held.fifo.parent_path());
    fs::remove_all(folder);
}

// Memory running out wherever it does (reading, importing, sorting, on a
// thread or not, writing) is one French line and status 3, the old page left
// as it was: the address space is limited from 44 MB, where the tool barely
// starts, up to 86 MB, where a page of 100,000 contacts is written whole.
// Not under the sanitizers, whose shadow memory no such limit leaves room for.
TEST(ToolProcess, runningOutOfMemoryIsOneLineAndStatusThreeWhereverItHappens) {
#ifdef FICHELIA_SANITIZED
    GTEST_SKIP() << "address space limits and AddressSanitizer do not mix";
#else
    const fs::path folder = fichelia::testing::freshTemporaryFolder();
    writeContacts(folder / "contacts.tsv", 100'000);
    const auto whole = fichelia::testing::runPageTool({"write", (folder / "contacts.tsv").string()}, "");
    ASSERT_EQ(whole.status, 0);
    const auto run = [&folder](int kilobytes, const std::string& input) {
        std::ofstream(folder / "annuaire.html", std::ios::binary) << "ancienne";
        const int status = fichelia::testing::runRedirected(
            "/bin/sh",
            {"-c", "ulimit -v " + std::to_string(kilobytes) + " && exec \"$0\" \"$@\"", FICHELIA_PAGE_TOOL, "write",
             input, "-o", (folder / "annuaire.html").string()},
            "/dev/null", folder / "out", folder / "err");
        return std::make_pair(status, readBytes(folder / "err"));
    };
    int outOfMemory = 0;
    for (int kilobytes = 44'000; kilobytes <= 86'000; kilobytes += 6'000) {
        SCOPED_TRACE(kilobytes);
        const auto [status, err] = run(kilobytes, (folder / "contacts.tsv").string());
        if (status == 0) {
            EXPECT_TRUE(readBytes(folder / "annuaire.html") == whole.out);
            continue;
        }
        ++outOfMemory;
        EXPECT_EQ(status, 3);
        EXPECT_EQ(err, "fichelia-page: mémoire insuffisante\n");
        EXPECT_EQ(readBytes(folder / "annuaire.html"), "ancienne");
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 4); // no temporary file
    }
    EXPECT_GT(outOfMemory, 3);
    EXPECT_LT(outOfMemory, 8);
    // An input without end.
    EXPECT_EQ(run(86'000, "/dev/zero"), std::make_pair(3, std::string("fichelia-page: mémoire insuffisante\n")));
    fs::remove_all(folder);
#endif
}

// Names alone take less memory to read than to sort and write: just below
// the least address space in which such a write ends, memory runs out while
// sorting or writing, and that is status 3 as well, never 0 without the page.
// That limit is found by halving.
TEST(ToolProcess, runningOutOfMemoryWhileSortingOrWritingIsStatusThree) {
#ifdef FICHELIA_SANITIZED
    GTEST_SKIP() << "address space limits and AddressSanitizer do not mix";
#else
    const fs::path folder = fichelia::testing::freshTemporaryFolder();
    {
        std::ofstream tsv(folder / "noms.tsv", std::ios::binary);
        for (long long i = 0; i < 200'000; ++i) {
            tsv << "n" << (i * 7919 % 200'000) << "\t\t\t\t\t\t\t\n";
        }
    }
    const auto whole = fichelia::testing::runPageTool({"write", (folder / "noms.tsv").string()}, "");
    ASSERT_EQ(whole.status, 0);
    // Whether the write ended whole; otherwise it said why, status 3, and left the old page.
    const auto endsWhole = [&](int kilobytes) {
        SCOPED_TRACE(kilobytes);
        std::ofstream(folder / "annuaire.html", std::ios::binary) << "ancienne";
        const int status = fichelia::testing::runRedirected(
            "/bin/sh",
            {"-c", "ulimit -v " + std::to_string(kilobytes) + " && exec \"$0\" \"$@\"", FICHELIA_PAGE_TOOL, "write",
             (folder / "noms.tsv").string(), "-o", (folder / "annuaire.html").string()},
            "/dev/null", folder / "out", folder / "err");
        if (status == 0) {
            EXPECT_TRUE(readBytes(folder / "annuaire.html") == whole.out);
            return true;
        }
        EXPECT_EQ(status, 3);
        EXPECT_EQ(readBytes(folder / "err"), "fichelia-page: mémoire insuffisante\n");
        EXPECT_EQ(readBytes(folder / "annuaire.html"), "ancienne");
        return false;
    };
    int low = 50'000; // the tool starts, the names do not fit
    int high = 400'000;
    ASSERT_FALSE(endsWhole(low));
    ASSERT_TRUE(endsWhole(high));
    while (high - low > 256) {
        const int middle = (low + high) / 2;
        (endsWhole(middle) ? high : low) = middle;
    }
    fs::remove_all(folder);
#endif
}

// A write that fails while the page writer's helper thread is ahead (the
// reader of the pipe quits after the first 64 kB) ends with status 3, and
// never hangs: the helper is stopped.
TEST(ToolProcess, aPipeWhoseReaderQuitsEndsTheWriteWithStatusThree) {
    const fs::path folder = fichelia::testing::freshTemporaryFolder();
    writeContacts(folder / "contacts.tsv", 100'000);
    for (const std::string command : {"write", "read"}) {
        SCOPED_TRACE(command);
        int ends[2];
        ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0); // the read end is not the child's
        const fs::path input = folder / (command == "write" ? "contacts.tsv" : "annuaire.html");
        const pid_t child = startTool({command, input.string()}, ends[1]);
        close(ends[1]);
        std::string taken(1 << 16, '\0');
        std::size_t got = 0;
        while (got < taken.size()) {
            const ssize_t count = read(ends[0], taken.data() + got, taken.size() - got);
            ASSERT_GT(count, 0);
            got += static_cast<std::size_t>(count);
        }
        close(ends[0]);
        const int status = waitFor(child, 60s);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << status;
        if (command == "write") {
            // The page for read's turn, whole.
            const auto page = fichelia::testing::runPageTool({"write", input.string(), "-o",
                                                              (folder / "annuaire.html").string()}, "");
            ASSERT_EQ(page.status, 0) << page.err;
        }
    }
    fs::remove_all(folder);
}
