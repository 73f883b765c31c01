#pragma once

#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "directory/NameCollator.h"
#include "directory/annuaire.h"

namespace fichelia {

// Raised when the list cannot take another entry; the message is the one the
// user sees in the error box.
class InsertError : public std::runtime_error {
public:
    InsertError() : std::runtime_error("Impossible d'insérer une ligne") {}
};

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
    // The program set or cleared the selection (never called for the shifts
    // that inserting or removing other entries causes).
    virtual void selectionChanged(int position) = 0;
};

// The directory: one entry per contact, each entry owning its record, kept in
// ascending name order (NameCollator), duplicates allowed and kept side by
// side, the newest after the others. Positions count from 0; at most one entry
// is selected, -1 when none is. An entry's text is its record's nom.
class DirectoryList {
public:
    static constexpr int kUnlimited = std::numeric_limits<int>::max();

    // capacity: the most entries the list takes before refusing with
    // InsertError, as a list running out of memory would.
    explicit DirectoryList(std::shared_ptr<const NameCollator> collator = NameCollator::fromEnvironment(),
                           int capacity = kUnlimited);
    ~DirectoryList();
    DirectoryList(const DirectoryList&) = delete;
    DirectoryList& operator=(const DirectoryList&) = delete;

    int count() const { return static_cast<int>(m_entries.size()); }
    const annuaire& recordAt(int position) const;

    // Adds the record at its sorted place and returns that place. Throws
    // InsertError, with the list unchanged, when the entry cannot be taken.
    int add(annuaire record);

    // Adds many records, with the same final order as adding them one by one in
    // the given order, in O((n + m) log m) for n entries and m new records.
    // All or nothing: on InsertError the list is unchanged.
    void addAll(std::vector<annuaire> records);

    // Replaces every entry by the given records, none selected afterwards.
    // All or nothing: on InsertError the list is unchanged.
    void replaceAll(std::vector<annuaire> records);

    void removeAt(int position);
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
        annuaire record;
    };
    using EntryPtr = std::unique_ptr<Entry>;

    EntryPtr makeEntry(annuaire record) const;
    std::vector<EntryPtr> sortedEntries(std::vector<annuaire> records) const;
    std::vector<EntryPtr>::iterator insertionPoint(const std::string& key);
    void checkPosition(int position) const;

    std::shared_ptr<const NameCollator> m_collator;
    int m_capacity;
    std::vector<EntryPtr> m_entries;
    int m_selected = -1;
    DirectoryObserver* m_observer = nullptr;
};

} // namespace fichelia
