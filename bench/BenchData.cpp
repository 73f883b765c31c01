#include "BenchData.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "ContactGenerator.h"
#include "page/ByteSource.h"
#include "page/PageReader.h"
#include "page/PageWriter.h"

namespace fichelia::bench {

namespace {

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "fichelia_bench: %s\n", message.c_str());
    std::exit(1);
}

// A folder of our own under the system's temporary folder, gone at exit.
class TemporaryFolder {
public:
    TemporaryFolder() {
        std::error_code error;
        const std::filesystem::path base = std::filesystem::temp_directory_path(error);
        if (error) {
            fail("no temporary folder: " + error.message());
        }
        std::string pattern = (base / "fichelia-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            fail("cannot create a folder in " + base.string());
        }
        m_path = pattern;
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

void writeFile(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        fail("cannot create " + path);
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        fail("cannot write " + path);
    }
}

// The page read back into a list as the open command does it; it must give the
// list that wrote it.
void openPage(BenchData& data) {
    std::vector<Contact> records;
    const Result<void> read =
        readPageFile(data.pagePath, [&](Contact&& record) { records.push_back(std::move(record)); });
    data.openedList = std::make_unique<DirectoryList>(data.collator);
    if (!read || !data.openedList->replaceAll(std::move(records)) ||
        BuildDirectoryPage(*data.openedList) != data.page) {
        fail("the page written does not read back as the list that wrote it");
    }
}

BenchData makeBenchData() {
    static TemporaryFolder folder;
    BenchData data;
    data.collator = std::make_shared<const NameCollator>("fr_FR");
    data.contacts = generateContacts(kContactCount);
    for (const Contact& contact : data.contacts) {
        data.contactTextBytes += textBytes(contact);
    }
    data.list = std::make_unique<DirectoryList>(data.collator);
    if (!data.list->addAll(data.contacts)) {
        fail("the list did not take the contacts");
    }
    data.page = BuildDirectoryPage(*data.list);
    data.pagePath = (folder.path() / "annuaire.html").string();
    writeFile(data.pagePath, data.page);
    openPage(data);
    return data;
}

} // namespace

Result<void> readPageFile(const std::string& path, const RecordReceiver& receiver) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return Error::FileNotFound;
    }
    FileByteSource source(file);
    const Result<PageReading> read = ReadDirectoryPage(source, receiver);
    std::fclose(file);
    if (!read) {
        return read.error();
    }
    return {};
}

const BenchData& benchData() {
    static const BenchData data = makeBenchData();
    return data;
}

} // namespace fichelia::bench
