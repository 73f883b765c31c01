// With no thread to be had (pthread_create failing with EAGAIN, so that
// std::thread and std::async throw), the work meant for other threads is done
// on the calling one: reading a large input in parts, making the sort keys,
// making the page's lines. The same page comes out, byte for byte. Linux only
// (FailingCalls).

#include <cerrno>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "FailingCalls.h"
#include "TestRecords.h"
#include "directory/DirectoryList.h"
#include "directory/PackedRecords.h"
#include "exchange/ContactImport.h"
#include "page/PageWriter.h"

namespace {

// What fichelia-page write does with a TSV input: import, sort, write.
std::string writtenPage(const std::string& tsv) {
    fichelia::PackedRecords records;
    fichelia::exchange::ImportOptions options;
    options.packInto = &records;
    const auto report = fichelia::exchange::importContacts(tsv, options);
    EXPECT_FALSE(report.refusal.has_value());
    const auto order = fichelia::listOrder(records, *fichelia::testing::rootCollator());
    std::string page;
    EXPECT_TRUE(fichelia::WriteDirectoryPage(records, order, fichelia::kPublisherAddress,
                                             fichelia::PageBytes::Windows1252, [&page](std::string_view piece) {
                                                 page += piece;
                                                 return true;
                                             }));
    return page;
}

} // namespace

TEST(WithoutThreads, writeGivesTheSamePageByteForByte) {
    // More than 2 MB, read in parts; more than 16,384 names, keyed in shares.
    constexpr int kContacts = 20'001;
    std::string tsv;
    for (int i = 0; i < kContacts; ++i) {
        tsv += "Contact " + std::to_string(i * 7919LL % kContacts) + "\t" + std::to_string(i) +
               " rue de la République, 75001 Paris\t01 23 45 67 89\t06 12 34 56 78\t01 98 76 54 32\t"
               "contact@exemple.fr\thttps://exemple.fr/" + std::to_string(i) + "\tClient fidèle depuis longtemps\n";
    }
    ASSERT_GT(tsv.size(), 3u << 20);
    const std::string withThreads = writtenPage(tsv);
    const failing_calls::Failure failure(failing_calls::Call::ThreadStart, EAGAIN);
    const std::string withoutThreads = writtenPage(tsv);
    EXPECT_TRUE(withoutThreads == withThreads) << withoutThreads.size() << " bytes against " << withThreads.size();
    std::size_t records = 0;
    for (std::size_t at = withoutThreads.find("remplirTabFournisseur("); at != std::string::npos;
         at = withoutThreads.find("\nremplirTabFournisseur(", at + 1)) {
        ++records;
    }
    EXPECT_EQ(records, kContacts + 1u); // and the script's own line that defines it
    if (std::thread::hardware_concurrency() > 1) {
        EXPECT_GE(failure.failedCalls(), 3); // the import's parts, the keys' shares, the page's lines
    }
}
