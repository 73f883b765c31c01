#include "directory/DirectoryList.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestRecords.h"

using fichelia::DirectoryList;
using fichelia::InsertError;
using fichelia::testing::contact;
using fichelia::testing::rootCollator;

namespace {

std::vector<std::string> names(const DirectoryList& list) {
    std::vector<std::string> result;
    for (int i = 0; i < list.count(); ++i) {
        result.push_back(list.recordAt(i).nom);
    }
    return result;
}

std::vector<annuaire> records(const DirectoryList& list) {
    std::vector<annuaire> result;
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

} // namespace

TEST(DirectoryList, keepsNamesInCaseInsensitiveOrder) {
    DirectoryList list(rootCollator());
    for (const char* nom : {"dupont", "Durand", "Dupont", "arnaud"}) {
        list.add(contact(nom));
    }
    const auto sorted = names(list);
    ASSERT_EQ(sorted.size(), 4u);
    EXPECT_EQ(sorted[0], "arnaud");
    EXPECT_TRUE((sorted[1] == "dupont" && sorted[2] == "Dupont") || (sorted[1] == "Dupont" && sorted[2] == "dupont"));
    EXPECT_EQ(sorted[3], "Durand");
}

TEST(DirectoryList, addReturnsTheLandingPositionAndKeepsDuplicatesSideBySide) {
    DirectoryList list(rootCollator());
    EXPECT_EQ(list.add(contact("Martin")), 0);
    EXPECT_EQ(list.add(contact("Bernard")), 0);
    EXPECT_EQ(list.add(contact("Martin", " bis")), 2); // after the equal name already there
    EXPECT_EQ(list.add(contact("")), 0);               // an empty name sorts first
    EXPECT_EQ(list.add(contact(" ")), 1);
    EXPECT_EQ(list.add(contact("Émile")), 3);          // among the E's
    EXPECT_EQ(names(list), (std::vector<std::string>{"", " ", "Bernard", "Émile", "Martin", "Martin"}));
    EXPECT_EQ(list.recordAt(4).adresse, "1 rue de la Paix");
    EXPECT_EQ(list.recordAt(5).adresse, "1 rue de la Paix bis");
    EXPECT_THROW(list.recordAt(6), std::out_of_range);
    EXPECT_THROW(list.recordAt(-1), std::out_of_range);
}

TEST(DirectoryList, removeAtAndRemoveAllDropEntries) {
    auto list = fichelia::testing::listOf({contact("A"), contact("B"), contact("C")});
    list->removeAt(1);
    EXPECT_EQ(names(*list), (std::vector<std::string>{"A", "C"}));
    EXPECT_THROW(list->removeAt(2), std::out_of_range);
    list->removeAll();
    EXPECT_EQ(list->count(), 0);
    list->removeAll();
    EXPECT_EQ(list->count(), 0);
}

TEST(DirectoryList, selectionFollowsItsEntryAndClearsWhenItGoes) {
    auto list = fichelia::testing::listOf({contact("B"), contact("D")});
    EXPECT_EQ(list->selectedPosition(), -1);
    list->select(1); // D
    list->add(contact("A"));
    EXPECT_EQ(list->selectedPosition(), 2);
    list->add(contact("E"));
    EXPECT_EQ(list->selectedPosition(), 2);
    list->removeAt(0);
    EXPECT_EQ(list->selectedPosition(), 1);
    list->removeAt(2);
    EXPECT_EQ(list->selectedPosition(), 1);
    list->removeAt(1);
    EXPECT_EQ(list->selectedPosition(), -1);
    list->select(0);
    list->clearSelection();
    EXPECT_EQ(list->selectedPosition(), -1);
    list->select(0);
    list->removeAll();
    EXPECT_EQ(list->selectedPosition(), -1);
    EXPECT_THROW(list->select(0), std::out_of_range);
}

TEST(DirectoryList, aFullListRefusesWithTheUsersMessageAndStaysAsItWas) {
    DirectoryList list(rootCollator(), 2);
    list.add(contact("A"));
    list.add(contact("B"));
    list.select(1);
    try {
        list.add(contact("C"));
        FAIL() << "no error";
    } catch (const InsertError& error) {
        EXPECT_STREQ(error.what(), "Impossible d'insérer une ligne");
    }
    EXPECT_THROW(list.addAll({contact("C")}), InsertError);
    EXPECT_EQ(names(list), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(list.selectedPosition(), 1);
}

TEST(DirectoryList, bulkAddGivesTheOrderOfAddingOneByOne) {
    std::mt19937 random(42);
    const std::vector<std::string> pool = {"dupont", "Dupont", "DUPONT", "Durand", "arnaud", "Émile", "emile",
                                           "Zoé",    "",       " ",      "Łukasz", "中",     "Ærø",   "o'neil"};
    std::uniform_int_distribution<std::size_t> pick(0, pool.size() - 1);
    for (int round = 0; round < 20; ++round) {
        std::vector<annuaire> existing;
        std::vector<annuaire> added;
        for (int i = 0; i < 15; ++i) {
            existing.push_back(contact(pool[pick(random)], "old " + std::to_string(i)));
            added.push_back(contact(pool[pick(random)], "new " + std::to_string(i)));
        }
        auto oneByOne = fichelia::testing::listOf(existing);
        auto bulk = fichelia::testing::listOf(existing);
        for (const annuaire& record : added) {
            oneByOne->add(record);
        }
        bulk->addAll(added);
        ASSERT_EQ(records(*bulk), records(*oneByOne)) << "round " << round;
    }
}

TEST(DirectoryList, bulkAddKeepsTheSelectedEntrySelected) {
    auto list = fichelia::testing::listOf({contact("M"), contact("N")});
    list->select(1);
    list->addAll({contact("A"), contact("B"), contact("Z")});
    EXPECT_EQ(list->selectedPosition(), 3);
    EXPECT_EQ(list->recordAt(3).nom, "N");
}

TEST(DirectoryList, tellsItsObserverBeforeAndAfterEveryChange) {
    DirectoryList list(rootCollator());
    RecordingObserver observer;
    observer.list = &list;
    list.setObserver(&observer);
    list.add(contact("B"));
    list.add(contact("A"));
    list.select(1);
    list.clearSelection();
    list.removeAt(0);
    list.addAll({contact("C"), contact("D")});
    list.removeAll();
    const std::vector<std::string> expected = {
        "aboutToInsert 0 n=0", "inserted 0 n=1", "aboutToInsert 0 n=1", "inserted 0 n=2", "selection 1",
        "selection -1",        "aboutToRemove 0 n=2", "removed 0 n=1", "aboutToReset n=1", "reset n=3",
        "aboutToReset n=3",    "reset n=0"};
    EXPECT_EQ(observer.events, expected);
}

TEST(DirectoryList, replaceAllSwapsInTheWholeListOrNothing) {
    DirectoryList list(rootCollator(), 3);
    list.add(contact("Ancien"));
    list.select(0);
    list.replaceAll({contact("b"), contact("A"), contact("c")});
    EXPECT_EQ(names(list), (std::vector<std::string>{"A", "b", "c"}));
    EXPECT_EQ(list.selectedPosition(), -1);
    EXPECT_THROW(list.replaceAll({contact("1"), contact("2"), contact("3"), contact("4")}), InsertError);
    EXPECT_EQ(names(list), (std::vector<std::string>{"A", "b", "c"}));
    list.replaceAll({});
    EXPECT_EQ(list.count(), 0);
}
