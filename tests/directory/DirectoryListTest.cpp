#include "directory/DirectoryList.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "AllocationLimit.h"
#include "TestRecords.h"

using fichelia::Contact;
using fichelia::DirectoryList;
using fichelia::Error;
using fichelia::testing::contact;
using fichelia::testing::listOf;
using fichelia::testing::rootCollator;

namespace {

std::vector<std::string> names(const DirectoryList& list) {
    std::vector<std::string> result;
    for (int i = 0; i < list.count(); ++i) {
        result.push_back(list.recordAt(i).name);
    }
    return result;
}

std::vector<Contact> records(const DirectoryList& list) {
    std::vector<Contact> result;
    for (int i = 0; i < list.count(); ++i) {
        result.push_back(list.recordAt(i));
    }
    return result;
}

// Records every notification, to check that a view is told before and after.
struct RecordingObserver : fichelia::DirectoryObserver {
    std::vector<std::string> events;
    const DirectoryList* list = nullptr;
    void aboutToInsert(int p) override { events.push_back("aboutToInsert " + std::to_string(p) + " n=" + n()); }
    void inserted(int p) override { events.push_back("inserted " + std::to_string(p) + " n=" + n()); }
    void aboutToRemove(int p) override { events.push_back("aboutToRemove " + std::to_string(p) + " n=" + n()); }
    void removed(int p) override { events.push_back("removed " + std::to_string(p) + " n=" + n()); }
    void aboutToReset() override { events.push_back("aboutToReset n=" + n()); }
    void reset() override { events.push_back("reset n=" + n()); }
    void selectionChanged(int p) override { events.push_back("selection " + std::to_string(p)); }
    std::string n() const { return std::to_string(list->count()); }
};

// A name long enough that sorting it needs more memory than an AllocationLimit
// of a megabyte allows, while the name itself fits.
const std::string kNameTooBigToSort(600'000, 'n');
constexpr std::size_t kMegabyte = 1 << 20;

} // namespace

TEST(DirectoryList, keepsNamesInCaseInsensitiveOrder) {
    DirectoryList list(rootCollator());
    for (const char* nom : {"dupont", "Durand", "Dupont", "arnaud"}) {
        ASSERT_TRUE(list.add(contact(nom)));
    }
    const auto sorted = names(list);
    ASSERT_EQ(sorted.size(), 4u);
    EXPECT_EQ(sorted[0], "arnaud");
    EXPECT_TRUE((sorted[1] == "dupont" && sorted[2] == "Dupont") || (sorted[1] == "Dupont" && sorted[2] == "dupont"));
    EXPECT_EQ(sorted[3], "Durand");
}

TEST(DirectoryList, addReturnsTheLandingPositionAndKeepsDuplicatesSideBySide) {
    DirectoryList list(rootCollator());
    EXPECT_EQ(*list.add(contact("Martin")), 0);
    EXPECT_EQ(*list.add(contact("Bernard")), 0);
    EXPECT_EQ(*list.add(contact("Martin", " bis")), 2); // after the equal name already there
    EXPECT_EQ(*list.add(contact("")), 0);               // an empty name sorts first
    EXPECT_EQ(*list.add(contact(" ")), 1);
    EXPECT_EQ(*list.add(contact("Émile")), 3);          // among the E's
    EXPECT_EQ(names(list), (std::vector<std::string>{"", " ", "Bernard", "Émile", "Martin", "Martin"}));
    EXPECT_EQ(list.recordAt(4).address, "1 rue de la Paix");
    EXPECT_EQ(list.recordAt(5).address, "1 rue de la Paix bis");
}

TEST(DirectoryList, removeAtAndRemoveAllDropEntries) {
    auto list = listOf({contact("A"), contact("B"), contact("C")});
    list->removeAt(1);
    EXPECT_EQ(names(*list), (std::vector<std::string>{"A", "C"}));
    list->removeAt(2); // outside the list: nothing
    list->removeAt(-1);
    EXPECT_EQ(names(*list), (std::vector<std::string>{"A", "C"}));
    list->removeAll();
    EXPECT_EQ(list->count(), 0);
    list->removeAll();
    EXPECT_EQ(list->count(), 0);
}

// Where the selection goes when an entry lands before, at or after it: it
// follows its entry (B, at position 1 of A B D).
TEST(DirectoryList, selectionFollowsItsEntryWhereverANewOneLands) {
    struct Case {
        const char* added;
        int selectedAfter;
    };
    for (const Case& c : {Case{"0", 2}, Case{"A", 2}, Case{"Ab", 2}, Case{"B", 1}, Case{"C", 1}, Case{"Z", 1}}) {
        auto list = listOf({contact("A"), contact("B"), contact("D")});
        list->select(1);
        ASSERT_TRUE(list->add(contact(c.added)));
        EXPECT_EQ(list->selectedPosition(), c.selectedAfter) << c.added;
        EXPECT_EQ(list->recordAt(list->selectedPosition()).name, "B") << c.added;
        // A bulk add keeps it on its entry too.
        ASSERT_TRUE(list->addAll({contact(c.added), contact("AA"), contact("Zz")}));
        EXPECT_EQ(list->recordAt(list->selectedPosition()).name, "B") << c.added;
    }
}

TEST(DirectoryList, selectionClearsWhenItsEntryGoesAndIgnoresPositionsOutsideTheList) {
    auto list = listOf({contact("B"), contact("D"), contact("F"), contact("H")});
    EXPECT_EQ(list->selectedPosition(), -1);
    list->select(1);
    list->removeAt(0);
    EXPECT_EQ(list->selectedPosition(), 0);
    list->removeAt(2);
    EXPECT_EQ(list->selectedPosition(), 0);
    list->removeSelected();
    EXPECT_EQ(list->selectedPosition(), -1);
    EXPECT_EQ(names(*list), std::vector<std::string>{"F"});
    list->removeSelected(); // none selected: nothing
    EXPECT_EQ(list->count(), 1);
    list->select(5);
    EXPECT_EQ(list->selectedPosition(), -1);
    list->select(0);
    list->clearSelection();
    EXPECT_EQ(list->selectedPosition(), -1);
    list->select(0);
    list->removeAll();
    EXPECT_EQ(list->selectedPosition(), -1);
}

// The capacity stands for memory running out: add and addAll take exactly as
// many entries as it allows, and a refused call changes nothing.
TEST(DirectoryList, takesEntriesUpToItsCapacityAndNotOneMore) {
    struct Case {
        int capacity;
        int existing;
        int added;
        bool taken;
    };
    for (const Case& c : {Case{3, 0, 3, true}, Case{3, 0, 4, false}, Case{3, 1, 2, true}, Case{3, 1, 3, false},
                          Case{3, 2, 1, true}, Case{3, 3, 1, false}, Case{0, 0, 1, false}}) {
        std::vector<Contact> added;
        for (int i = 0; i < c.added; ++i) {
            added.push_back(contact("Nouveau " + std::to_string(i)));
        }
        DirectoryList bulk(rootCollator(), c.capacity);
        DirectoryList single(rootCollator(), c.capacity);
        for (int i = 0; i < c.existing; ++i) {
            ASSERT_TRUE(bulk.add(contact("Ancien " + std::to_string(i))));
            ASSERT_TRUE(single.add(contact("Ancien " + std::to_string(i))));
        }
        bulk.select(0);
        const auto before = records(bulk);
        const auto result = bulk.addAll(added);
        EXPECT_EQ(result.ok(), c.taken) << c.capacity << " " << c.existing << " " << c.added;
        if (!c.taken) {
            EXPECT_EQ(result.error(), Error::ListFull);
            EXPECT_EQ(records(bulk), before);
            EXPECT_EQ(bulk.selectedPosition(), c.existing > 0 ? 0 : -1);
        }
        bool allTaken = true;
        for (const Contact& record : added) {
            allTaken = single.add(record).ok() && allTaken;
        }
        EXPECT_EQ(allTaken, c.taken);
        EXPECT_EQ(single.count(), std::min(c.capacity, c.existing + c.added));
    }
}

TEST(DirectoryList, runningOutOfMemoryChangesNothing) {
    auto list = listOf({contact("A"), contact("B")});
    list->select(1);
    const auto before = records(*list);
    std::vector<fichelia::Result<void>> results;
    {
        const fichelia::testing::AllocationLimit limit(kMegabyte);
        EXPECT_EQ(list->add(contact(kNameTooBigToSort)).error(), Error::OutOfMemory);
        results.push_back(list->addAll({contact("C"), contact(kNameTooBigToSort)}));
        results.push_back(list->replaceAll({contact(kNameTooBigToSort)}));
        EXPECT_EQ(list->replaceSelected(contact(kNameTooBigToSort)).error(), Error::OutOfMemory);
    }
    for (const auto& result : results) {
        EXPECT_EQ(result.error(), Error::OutOfMemory);
    }
    EXPECT_EQ(records(*list), before);
    EXPECT_EQ(list->selectedPosition(), 1);
}

TEST(DirectoryList, bulkAddGivesTheOrderOfAddingOneByOne) {
    std::mt19937 random(42);
    const std::vector<std::string> pool = {"dupont", "Dupont", "DUPONT", "Durand", "arnaud", "Émile", "emile",
                                           "Zoé",    "",       " ",      "Łukasz", "中",     "Ærø",   "o'neil"};
    std::uniform_int_distribution<std::size_t> pick(0, pool.size() - 1);
    for (int round = 0; round < 20; ++round) {
        std::vector<Contact> existing;
        std::vector<Contact> added;
        for (int i = 0; i < 15; ++i) {
            existing.push_back(contact(pool[pick(random)], "old " + std::to_string(i)));
            added.push_back(contact(pool[pick(random)], "new " + std::to_string(i)));
        }
        auto oneByOne = listOf(existing);
        auto bulk = listOf(existing);
        for (const Contact& record : added) {
            ASSERT_TRUE(oneByOne->add(record));
        }
        ASSERT_TRUE(bulk->addAll(added));
        ASSERT_EQ(records(*bulk), records(*oneByOne)) << "round " << round;
    }
}

// Modify: the selected entry takes the new record at the new name's place and
// stays selected, wherever that place is; nothing else moves or goes.
TEST(DirectoryList, replaceSelectedMovesTheEntryToItsNewPlace) {
    struct Case {
        int selected;
        const char* newName;
        std::vector<std::string> namesAfter;
        int selectedAfter;
    };
    const Case cases[] = {
        {1, "Y", {"A", "E", "M", "Y"}, 3}, {1, "0", {"0", "A", "E", "M"}, 0}, {1, "B", {"A", "B", "E", "M"}, 1},
        {2, "C", {"A", "C", "C", "M"}, 2}, {0, "A", {"A", "C", "E", "M"}, 0}, {3, "", {"", "A", "C", "E"}, 0},
    };
    for (const Case& c : cases) {
        auto list = listOf({contact("A"), contact("C"), contact("E"), contact("M")});
        const std::string replacedAdresse = "remplacé";
        list->select(c.selected);
        const auto placed = list->replaceSelected(contact(c.newName, replacedAdresse));
        ASSERT_TRUE(placed);
        EXPECT_EQ(*placed, c.selectedAfter);
        EXPECT_EQ(names(*list), c.namesAfter) << c.newName;
        EXPECT_EQ(list->selectedPosition(), c.selectedAfter) << c.newName;
        EXPECT_EQ(list->recordAt(c.selectedAfter), contact(c.newName, replacedAdresse)) << c.newName;
    }
    auto unselected = listOf({contact("A")});
    EXPECT_EQ(unselected->replaceSelected(contact("B")).error(), Error::NoSelection);
    EXPECT_EQ(names(*unselected), std::vector<std::string>{"A"});
}

TEST(DirectoryList, tellsItsObserverBeforeAndAfterEveryChange) {
    DirectoryList list(rootCollator());
    RecordingObserver observer;
    observer.list = &list;
    list.setObserver(&observer);
    ASSERT_TRUE(list.add(contact("B")));
    ASSERT_TRUE(list.add(contact("A")));
    list.select(1);
    ASSERT_TRUE(list.replaceSelected(contact("0")));
    list.clearSelection();
    list.removeAt(0);
    ASSERT_TRUE(list.addAll({contact("C"), contact("D")}));
    list.removeAll();
    const std::vector<std::string> expected = {
        "aboutToInsert 0 n=0", "inserted 0 n=1",      "aboutToInsert 0 n=1", "inserted 0 n=2",   "selection 1",
        "aboutToRemove 1 n=2", "removed 1 n=1",       "aboutToInsert 0 n=1", "inserted 0 n=2",   "selection 0",
        "selection -1",        "aboutToRemove 0 n=2", "removed 0 n=1",       "aboutToReset n=1", "reset n=3",
        "aboutToReset n=3",    "reset n=0"};
    EXPECT_EQ(observer.events, expected);
}

TEST(DirectoryList, replaceAllSwapsInTheWholeListOrNothing) {
    DirectoryList list(rootCollator(), 3);
    ASSERT_TRUE(list.add(contact("Ancien")));
    list.select(0);
    ASSERT_TRUE(list.replaceAll({contact("b"), contact("A"), contact("c")}));
    EXPECT_EQ(names(list), (std::vector<std::string>{"A", "b", "c"}));
    EXPECT_EQ(list.selectedPosition(), -1);
    EXPECT_EQ(list.replaceAll({contact("1"), contact("2"), contact("3"), contact("4")}).error(), Error::ListFull);
    EXPECT_EQ(names(list), (std::vector<std::string>{"A", "b", "c"}));
    ASSERT_TRUE(list.replaceAll({}));
    EXPECT_EQ(list.count(), 0);
}

// The companion tool sorts without a list: the order must be the list's, ties
// and all (names equal for the collation keep their order).
TEST(DirectoryList, listOrderIsTheListsOrder) {
    std::mt19937 random(7);
    const std::vector<std::string> names = {"Dupont", "dupont", "Élodie", "elodie", "Zoé", "", "Ane", "ane", "D'Artagnan"};
    // The last rounds are large enough for keys made on several threads, and
    // their names share more than the sixteen bytes of key sorted on first.
    for (const int size : {40, 40, 40, 40, 40, 40, 40, 40, 40, 40, 40, 40, 40, 40, 40, 40, 40, 40, 40, 40, 20000, 20000}) {
        const std::string shared = size > 40 ? "Société anonyme des établissements " : "";
        std::vector<Contact> records;
        fichelia::PackedRecords packed;
        for (int i = 0; i < size; ++i) {
            records.push_back(contact(shared + names[random() % names.size()], std::to_string(i)));
            packed.add(records.back());
        }
        auto list = listOf(records);
        const auto order = fichelia::listOrder(records, *rootCollator());
        ASSERT_EQ(order.size(), static_cast<std::size_t>(list->count()));
        for (int i = 0; i < list->count(); ++i) {
            ASSERT_EQ(records[order[static_cast<std::size_t>(i)]], list->recordAt(i)) << "size " << size << ", entry " << i;
        }
        EXPECT_EQ(fichelia::listOrder(packed, *rootCollator()), order);
    }
}

// The keys are made on several threads from 16,384 names on (on a machine with
// more than one core), each taking a share: at every count, odd ones too, each
// record comes out once, in order.
TEST(DirectoryList, listOrderOnSeveralThreadsLosesAndDoublesNone) {
    for (const int size : {16'383, 16'384, 16'385, 20'001, 24'577}) {
        SCOPED_TRACE(size);
        fichelia::PackedRecords packed;
        std::vector<std::string> texts;
        for (int i = 0; i < size; ++i) {
            texts.push_back("Nom " + std::to_string(i * 7919LL % size));
            packed.add(contact(texts.back(), std::to_string(i)));
        }
        const auto order = fichelia::listOrder(packed, *rootCollator());
        ASSERT_EQ(order.size(), static_cast<std::size_t>(size));
        std::vector<std::uint32_t> each(order);
        std::sort(each.begin(), each.end());
        for (int i = 0; i < size; ++i) {
            ASSERT_EQ(each[static_cast<std::size_t>(i)], static_cast<std::uint32_t>(i));
        }
        for (std::size_t i = 1; i < order.size(); ++i) {
            ASSERT_LT(rootCollator()->compare(texts[order[i - 1]], texts[order[i]]), 0) << i;
        }
    }
}

// The promise of PackedRecords (and of the tool's memory in README): a record
// takes its texts and 16 bytes more when each is shorter than 128 bytes (a
// byte for each text's length, 8 to find the record), where a Contact takes
// 256 bytes before its texts. Fails when a record grows by half.
TEST(PackedRecords, aRecordTakesItsTextsAndSixteenBytes) {
    constexpr std::size_t kRecords = 1'000'000; // so that the last block, part used, weighs little
    constexpr std::size_t kTextBytes = 8 * 6;
    constexpr std::size_t kPromised = kTextBytes + 16;
    const Contact record("nom123", "adr123", "tel123", "gsm123", "fax123", "mai123", "sit123", "com123");
    const std::size_t before = fichelia::testing::allocatedBytes();
    fichelia::PackedRecords packed;
    packed.reserve(kRecords);
    for (std::size_t i = 0; i < kRecords; ++i) {
        packed.add(record);
    }
    const double perRecord = static_cast<double>(fichelia::testing::allocatedBytes() - before) / kRecords;
    EXPECT_LT(perRecord, 1.5 * kPromised);
    EXPECT_GE(perRecord, static_cast<double>(kTextBytes));
    EXPECT_EQ(packed.at(kRecords - 1)[7], "com123");
    // The baseline of the same run: the same records as a vector of Contact.
    const std::size_t beforeContacts = fichelia::testing::allocatedBytes();
    std::vector<Contact> contacts;
    contacts.reserve(kRecords);
    contacts.resize(kRecords, record);
    const double perContact = static_cast<double>(fichelia::testing::allocatedBytes() - beforeContacts) / kRecords;
    EXPECT_LT(perRecord, perContact);
    RecordProperty("bytes_per_record", std::to_string(perRecord));
    std::printf("%.1f bytes a record (%zu promised), %.1f as Contact: %.2fx\n", perRecord, kPromised, perContact,
                perRecord / perContact);
}
