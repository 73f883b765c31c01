// Read, write, read again. The records read from any bytes go into a directory
// list, the list is written as a page, and that page must read back to the
// list's records, field for field and in list order. Written again from what it
// gave, the page must come out byte for byte the same.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "FuzzCheck.h"
#include "directory/DirectoryList.h"
#include "platform/NameCollator.h"
#include "page/ByteSource.h"
#include "page/PageReader.h"
#include "page/PageWriter.h"

namespace {

using fichelia::Contact;
using fichelia::fuzz::check;
using fichelia::fuzz::shown;

std::vector<Contact> readAll(std::string_view bytes, long* damagedLines = nullptr) {
    fichelia::MemoryByteSource source(bytes);
    std::vector<Contact> records;
    const auto read =
        fichelia::ReadDirectoryPage(source, [&](Contact&& record) { records.push_back(std::move(record)); });
    check(read.ok(), "the reader reads any bytes to their end");
    if (damagedLines != nullptr && read.ok()) {
        *damagedLines = read->damagedLines;
    }
    return records;
}

const std::shared_ptr<const fichelia::NameCollator>& rootCollator() {
    static const auto collator = std::make_shared<const fichelia::NameCollator>("");
    return collator;
}

// The first field of two records that differs, or nothing.
std::string fieldDifference(const Contact& got, const Contact& expected) {
    for (const fichelia::RecordField& field : fichelia::kRecordFields) {
        if (got.*field.text != expected.*field.text) {
            return std::string(field.name) + " read back as \"" + shown(got.*field.text) + "\", written \"" +
                   shown(expected.*field.text) + "\"";
        }
    }
    return {};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<Contact> firstReading = readAll(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::size_t recordCount = firstReading.size();

    fichelia::DirectoryList list(rootCollator());
    check(list.replaceAll(std::move(firstReading)).ok() && static_cast<std::size_t>(list.count()) == recordCount,
          "the list holds every record read");

    const std::string page = fichelia::BuildDirectoryPage(list);
    long damaged = -1;
    std::vector<Contact> secondReading = readAll(page, &damaged);
    check(damaged == 0, "no line of a written page is damaged");
    check(secondReading.size() == recordCount, "the written page gives one record per entry", [&] {
        return std::to_string(secondReading.size()) + " records read back, " + std::to_string(recordCount) + " written";
    });
    for (int i = 0; i < list.count(); ++i) {
        const Contact& written = list.recordAt(i);
        const Contact& readBack = secondReading[static_cast<std::size_t>(i)];
        check(readBack == written, "the written page reads back field for field",
              [&] { return "entry " + std::to_string(i) + ": " + fieldDifference(readBack, written); });
    }

    fichelia::DirectoryList again(rootCollator());
    check(again.replaceAll(std::move(secondReading)).ok(), "the list holds every record read back");
    const std::string pageAgain = fichelia::BuildDirectoryPage(again);
    check(pageAgain == page, "the page written from its own reading is the same page");
    return 0;
}
