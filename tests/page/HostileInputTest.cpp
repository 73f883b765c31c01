// Pages that are not pages, pages far too big, and lines far too long: the
// reader stays within its memory bound, never fails, and yields what its rules
// say. Each case runs in a process of its own (CTest runs one case a process),
// so the process's peak memory is the case's.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Files.h"
#include "TestRecords.h"
#include "page/PageReader.h"
#include "page/PageWriter.h"

using fichelia::Contact;

namespace {

constexpr std::size_t kGigabyte = std::size_t{1} << 30;
constexpr long kMemoryBoundKb = 64 * 1024;

// The process's peak resident memory so far, in kB (VmHWM).
long peakMemoryKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

// A file in a temporary folder, removed when the test ends.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& name)
        : m_path(std::filesystem::temp_directory_path() / ("fichelia-" + std::to_string(::getpid()) + "-" + name)) {}
    ~TemporaryFile() { std::filesystem::remove(m_path); }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // Writes `total` bytes made of `pattern` repeated, a megabyte at a time.
    void fill(const std::string& pattern, std::size_t total) const {
        std::string block;
        while (block.size() < (std::size_t{1} << 20)) {
            block += pattern;
        }
        std::FILE* file = std::fopen(m_path.string().c_str(), "wb");
        ASSERT_NE(file, nullptr);
        for (std::size_t written = 0; written < total;) {
            const std::size_t count = std::min(block.size(), total - written);
            ASSERT_EQ(std::fwrite(block.data(), 1, count, file), count);
            written += count;
        }
        ASSERT_EQ(std::fclose(file), 0);
    }
    void write(const std::string& bytes) const { std::ofstream(m_path, std::ios::binary) << bytes; }
    std::string path() const { return m_path.string(); }

private:
    std::filesystem::path m_path;
};

std::vector<Contact> readFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    EXPECT_NE(file, nullptr);
    std::vector<Contact> records;
    if (file != nullptr) {
        fichelia::FileByteSource source(file);
        const auto read = fichelia::ReadDirectoryPage(source, [&](Contact&& r) { records.push_back(std::move(r)); });
        EXPECT_TRUE(read && read->damagedLines == 0);
        std::fclose(file);
    }
    return records;
}

} // namespace

TEST(HostileInput, aGigabyteWithoutALineFeedIsReadInBoundedMemory) {
    TemporaryFile file("no-line-feed");
    file.fill("<html><body>abcdefghijklmnopqrstuvwxyz remplirTabFournisseur(0,\"x\");", kGigabyte);
    EXPECT_TRUE(readFile(file.path()).empty());
    EXPECT_LT(peakMemoryKb(), kMemoryBoundKb);
}

TEST(HostileInput, aGigabyteOfShortOtherLinesIsReadInBoundedMemory) {
    TemporaryFile file("short-lines");
    file.fill("<tr><td>x</td></tr>\nremplirTab\n\r\n", kGigabyte);
    EXPECT_TRUE(readFile(file.path()).empty());
    EXPECT_LT(peakMemoryKb(), kMemoryBoundKb);
}

TEST(HostileInput, aTenMegabyteRecordLineReadsWhole) {
    const std::string nom(10 * 1024 * 1024, 'N');
    TemporaryFile file("long-line");
    file.write("<html>\nremplirTabFournisseur(0,\"" + nom + "\",\"a\",\"t\",\"g\",\"f\",\"m\",\"c\",\"s\");\n</html>");
    const auto records = readFile(file.path());
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0], Contact(nom, "a", "t", "g", "f", "m", "s", "c"));
}

TEST(HostileInput, junkEmptyAndCarriageReturnOnlyFilesGiveNoRecords) {
    std::mt19937 random(11);
    std::string junk(4 * 1024 * 1024, '\0');
    for (char& byte : junk) {
        byte = static_cast<char>(random());
    }
    // A PNG's signature and header chunk, then junk.
    const std::string png = std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16) + junk.substr(0, 4096);
    for (const std::string& bytes : {junk, png, std::string(), std::string(1000000, '\r'), std::string(1000, '\n'),
                                     std::string(1000, '\x1A'), std::string(1000, '\0')}) {
        TemporaryFile file("junk");
        file.write(bytes);
        EXPECT_TRUE(readFile(file.path()).empty());
    }
}

TEST(HostileInput, junkAroundRecordLinesLeavesTheRecordsReadable) {
    std::mt19937 random(12);
    std::string junk;
    for (int i = 0; i < 100000; ++i) {
        const char byte = static_cast<char>(random());
        junk += byte == '\n' || byte == '\x1A' ? 'x' : byte;
    }
    const std::string line = "remplirTabFournisseur(0,\"A\",\"B\",\"C\",\"D\",\"E\",\"F\",\"G\",\"H\");";
    TemporaryFile file("junk-around");
    file.write(junk + "\n" + line + "\n" + junk + "\n" + line + "\r\n" + junk);
    const auto records = readFile(file.path());
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], Contact("A", "B", "C", "D", "E", "F", "H", "G"));
    EXPECT_EQ(records[1], records[0]);
}

TEST(HostileInput, aMillionContactsAreWrittenAndReadBackIdentical) {
    std::mt19937 random(13);
    std::vector<Contact> contacts;
    contacts.reserve(1000000);
    for (int i = 0; i < 1000000; ++i) {
        contacts.push_back(Contact("Contact " + std::to_string(random() % 100000), "rue " + std::to_string(i),
                                   "01 00 00 00 00", "", "", "c@exemple.fr", "http://exemple.fr/",
                                   i % 1000 == 0 ? fichelia::testing::awkwardText(random) : "é"));
    }
    fichelia::DirectoryList list(fichelia::testing::rootCollator());
    ASSERT_TRUE(list.addAll(contacts));
    TemporaryFile file("million");
    file.write(fichelia::BuildDirectoryPage(list));
    const auto records = readFile(file.path());
    ASSERT_EQ(records.size(), 1000000u);
    for (int i = 0; i < list.count(); ++i) {
        ASSERT_EQ(records[static_cast<std::size_t>(i)], list.recordAt(i)) << i;
    }
    // Written back, the page is the same bytes.
    fichelia::DirectoryList again(fichelia::testing::rootCollator());
    ASSERT_TRUE(again.addAll(records));
    EXPECT_TRUE(fichelia::BuildDirectoryPage(again) == fichelia::testing::readBytes(file.path()));
}
