#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "base/Result.h"
#include "platform/NameCollator.h"
#include "directory/PackedRecords.h"
#include "directory/Contact.h"

namespace fichelia {

// Told of every change to a DirectoryList, before and after it happens, so that
// a view over the list can follow it.
class DirectoryObserver {
public:
    virtual ~DirectoryObserver() = default;
    virtual void aboutToInsert(int position) = 0;
    virtual void inserted(int position) = 0;
    virtual void aboutToRemove(int position) = 0;
    virtual void removed(int position) = 0;
    virtual void aboutToReset() = 0;
    virtual void reset() = 0;
    // The selection was set or cleared (-1). Not called for the shifts that
    // inserting or removing other entries causes: a view follows those itself.
    virtual void selectionChanged(int position) = 0;
};

// The order a list with this collator gives records added in the given order
// (equal names keep their order), the order of the page it writes: the
// records' indices, first the first. For a page written without a list, as
// the companion tool does, in little more memory than the records take.
// Throws std::bad_alloc when memory runs out, TooManyRecords for more than
// 2^32 - 1 records.
std::vector<std::uint32_t> listOrder(const std::vector<Contact>& records, const NameCollator& collator);
std::vector<std::uint32_t> listOrder(const PackedRecords& records, const NameCollator& collator);

// The directory: one entry per contact, each entry owning its record, kept in
// ascending name order (NameCollator), duplicates allowed and kept side by
// side, the newest after the others. Positions count from 0; at most one entry
// is selected, -1 when none is. An entry's text is its record's name.
//
// The list is the one owner of the selection: a view shows it and asks the list
// to change it. Operations that may fail return a Result and then leave the
// list, its selection included, exactly as it was.
class DirectoryList {
public:
    static constexpr int kUnlimited = std::numeric_limits<int>::max();

    // collator: the names' order, chosen by the program's start-up (the list
    // never looks at the environment itself). capacity: the most entries the
    // list takes before refusing with Error::ListFull, as a list running out of
    // memory would.
    explicit DirectoryList(std::shared_ptr<const NameCollator> collator, int capacity = kUnlimited);
    ~DirectoryList();
    DirectoryList(const DirectoryList&) = delete;
    DirectoryList& operator=(const DirectoryList&) = delete;

    int count() const { return static_cast<int>(m_entries.size()); }
    // position: from 0 to count() - 1.
    const Contact& recordAt(int position) const;

    // Adds the record at its sorted place and returns that place. ListFull or
    // OutOfMemory when the entry cannot be taken.
    Result<int> add(Contact record);

    // Adds many records, with the same final order as adding them one by one in
    // the given order, in O((n + m) log m) for n entries and m new records.
    // All or nothing: ListFull or OutOfMemory add none.
    Result<void> addAll(std::vector<Contact> records);

    // Replaces every entry by the given records, none selected afterwards.
    // All or nothing: ListFull or OutOfMemory leave every entry in place.
    Result<void> replaceAll(std::vector<Contact> records);

    // Gives the selected entry a new record: the entry moves to the sorted place
    // of the new name, as if removed and added again, stays selected, and that
    // place is returned. NoSelection or OutOfMemory change nothing.
    Result<int> replaceSelected(Contact record);

    // A position outside the list removes or selects nothing.
    void removeAt(int position);
    void removeSelected();
    void removeAll();

    int selectedPosition() const { return m_selected; }
    void select(int position);
    void clearSelection();

    const NameCollator& collator() const { return *m_collator; }

    // One observer at most; nullptr to stop observing.
    void setObserver(DirectoryObserver* observer) { m_observer = observer; }

private:
    struct Entry {
        std::string key;
        Contact record;
    };
    using EntryPtr = std::unique_ptr<Entry>;

    EntryPtr makeEntry(Contact record) const;
    std::vector<EntryPtr> sortedEntries(std::vector<Contact> records) const;
    std::vector<EntryPtr>::iterator insertionPoint(const std::string& key);
    // Inserts an entry for which room is already reserved, so that it cannot fail.
    int insertReserved(EntryPtr entry);
    void swapIn(std::vector<EntryPtr>& entries, int selected);
    bool contains(int position) const { return position >= 0 && position < count(); }

    std::shared_ptr<const NameCollator> m_collator;
    int m_capacity;
    std::vector<EntryPtr> m_entries;
    int m_selected = -1;
    DirectoryObserver* m_observer = nullptr;
};

} // namespace fichelia
