#include "directory/DirectoryList.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdint>
#include <new>

namespace fichelia {

namespace {

bool keyLess(const std::string& a, const std::string& b) { return a < b; }

} // namespace

DirectoryList::DirectoryList(std::shared_ptr<const NameCollator> collator, int capacity)
    : m_collator(std::move(collator)), m_capacity(capacity) {}

DirectoryList::~DirectoryList() = default;

const annuaire& DirectoryList::recordAt(int position) const {
    assert(contains(position));
    return m_entries[static_cast<std::size_t>(position)]->record;
}

DirectoryList::EntryPtr DirectoryList::makeEntry(annuaire record) const {
    auto entry = std::make_unique<Entry>();
    entry->key = m_collator->sortKey(record.nom);
    entry->record = std::move(record);
    return entry;
}

std::vector<DirectoryList::EntryPtr>::iterator DirectoryList::insertionPoint(const std::string& key) {
    // After every entry that sorts equal, so that equal names keep their order of arrival.
    return std::upper_bound(m_entries.begin(), m_entries.end(), key,
                            [](const std::string& k, const EntryPtr& entry) { return keyLess(k, entry->key); });
}

int DirectoryList::insertReserved(EntryPtr entry) {
    const auto where = insertionPoint(entry->key);
    const auto position = static_cast<int>(where - m_entries.begin());
    if (m_observer != nullptr) {
        m_observer->aboutToInsert(position);
    }
    m_entries.insert(where, std::move(entry));
    if (m_selected >= position) {
        ++m_selected;
    }
    if (m_observer != nullptr) {
        m_observer->inserted(position);
    }
    return position;
}

Result<int> DirectoryList::add(annuaire record) {
    if (count() >= m_capacity) {
        return Error::ListFull;
    }
    try {
        EntryPtr entry = makeEntry(std::move(record));
        // It grows by doubling: reserving one more each time would copy the
        // whole list on every add.
        if (m_entries.size() == m_entries.capacity()) {
            m_entries.reserve(std::max<std::size_t>(16, 2 * m_entries.capacity()));
        }
        return insertReserved(std::move(entry));
    } catch (const std::bad_alloc&) {
        return Error::OutOfMemory;
    }
}

Result<void> DirectoryList::addAll(std::vector<annuaire> records) {
    if (records.empty()) {
        return {};
    }
    if (records.size() > static_cast<std::size_t>(m_capacity - count())) {
        return Error::ListFull;
    }
    const Entry* selectedEntry = m_selected >= 0 ? m_entries[static_cast<std::size_t>(m_selected)].get() : nullptr;
    std::vector<EntryPtr> merged;
    try {
        std::vector<EntryPtr> added = sortedEntries(std::move(records));
        merged.reserve(m_entries.size() + added.size());
        // Room is reserved, so the merge moves pointers and cannot fail half way.
        // On ties std::merge takes the first range: old entries stay before new equal ones.
        std::merge(std::make_move_iterator(m_entries.begin()), std::make_move_iterator(m_entries.end()),
                   std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()),
                   std::back_inserter(merged), [](const EntryPtr& a, const EntryPtr& b) { return keyLess(a->key, b->key); });
    } catch (const std::bad_alloc&) {
        return Error::OutOfMemory;
    }
    int selected = -1;
    if (selectedEntry != nullptr) {
        const auto found = std::find_if(merged.begin(), merged.end(),
                                        [selectedEntry](const EntryPtr& entry) { return entry.get() == selectedEntry; });
        selected = static_cast<int>(found - merged.begin());
    }
    swapIn(merged, selected);
    return {};
}

// The records are sorted through the first sixteen bytes of each key, held
// beside its index: most comparisons then end without reaching into the keys,
// which for a whole page of contacts halves the sort. A key no longer than
// that is whole in it (sort keys hold no zero byte). Equal keys keep their
// order. The entries are made after sorting, one after the other in list
// order, so that they lie in memory in that order too: the page writer, which
// walks the whole list, then reads memory in order rather than jumping from
// one heap block to the next (it writes a list added in random order about
// twice as fast, bench/PageBench.cpp).
namespace {

struct Sortable {
    std::uint64_t high;
    std::uint64_t low;
    std::uint32_t index;
    bool whole;
};

// The records' indices in list order; keys[i] is the sort key of records[i].
std::vector<Sortable> sortOrder(const std::vector<annuaire>& records, const NameCollator& collator,
                                std::vector<std::string>& keys) {
    std::vector<Sortable> order;
    keys.reserve(records.size());
    order.reserve(records.size());
    for (const annuaire& record : records) {
        const std::string& key = keys.emplace_back(collator.sortKey(record.nom));
        std::array<std::uint64_t, 2> prefix{};
        for (std::size_t byte = 0; byte < 2 * sizeof(std::uint64_t); ++byte) {
            const unsigned value = byte < key.size() ? static_cast<unsigned char>(key[byte]) : 0u;
            prefix[byte / 8] = (prefix[byte / 8] << 8) | value;
        }
        order.push_back({prefix[0], prefix[1], static_cast<std::uint32_t>(order.size()), key.size() <= 16});
    }
    std::sort(order.begin(), order.end(), [&keys](const Sortable& a, const Sortable& b) {
        if (a.high != b.high) {
            return a.high < b.high;
        }
        if (a.low != b.low) {
            return a.low < b.low;
        }
        const int byKey = a.whole && b.whole ? 0 : keys[a.index].compare(keys[b.index]);
        return byKey != 0 ? byKey < 0 : a.index < b.index;
    });
    return order;
}

} // namespace

std::vector<std::uint32_t> listOrder(const std::vector<annuaire>& records, const NameCollator& collator) {
    std::vector<std::string> keys;
    const std::vector<Sortable> order = sortOrder(records, collator, keys);
    std::vector<std::uint32_t> indices;
    indices.reserve(order.size());
    for (const Sortable& item : order) {
        indices.push_back(item.index);
    }
    return indices;
}

std::vector<DirectoryList::EntryPtr> DirectoryList::sortedEntries(std::vector<annuaire> records) const {
    std::vector<std::string> keys;
    const std::vector<Sortable> order = sortOrder(records, *m_collator, keys);
    std::vector<EntryPtr> entries;
    entries.reserve(records.size());
    for (const Sortable& item : order) {
        auto entry = std::make_unique<Entry>();
        entry->key = std::move(keys[item.index]);
        entry->record = std::move(records[item.index]);
        entries.push_back(std::move(entry));
    }
    return entries;
}

Result<void> DirectoryList::replaceAll(std::vector<annuaire> records) {
    if (records.size() > static_cast<std::size_t>(m_capacity)) {
        return Error::ListFull;
    }
    std::vector<EntryPtr> entries;
    try {
        entries = sortedEntries(std::move(records));
    } catch (const std::bad_alloc&) {
        return Error::OutOfMemory;
    }
    swapIn(entries, -1);
    return {};
}

// Takes the given entries as the whole list, with the entry at `selected`
// selected, and hands the old ones back in `entries`.
void DirectoryList::swapIn(std::vector<EntryPtr>& entries, int selected) {
    if (m_observer != nullptr) {
        m_observer->aboutToReset();
    }
    m_entries.swap(entries);
    m_selected = selected;
    if (m_observer != nullptr) {
        m_observer->reset();
        if (m_selected >= 0) {
            m_observer->selectionChanged(m_selected);
        }
    }
}

Result<int> DirectoryList::replaceSelected(annuaire record) {
    if (m_selected < 0) {
        return Error::NoSelection;
    }
    EntryPtr entry;
    try {
        entry = makeEntry(std::move(record));
    } catch (const std::bad_alloc&) {
        return Error::OutOfMemory;
    }
    // Nothing below allocates: the old entry leaves room for the new one.
    removeAt(m_selected);
    const int position = insertReserved(std::move(entry));
    select(position);
    return position;
}

void DirectoryList::removeAt(int position) {
    if (!contains(position)) {
        return;
    }
    if (m_observer != nullptr) {
        m_observer->aboutToRemove(position);
    }
    m_entries.erase(m_entries.begin() + position);
    if (m_selected == position) {
        m_selected = -1;
    } else if (m_selected > position) {
        --m_selected;
    }
    if (m_observer != nullptr) {
        m_observer->removed(position);
    }
}

void DirectoryList::removeSelected() { removeAt(m_selected); }

void DirectoryList::removeAll() {
    std::vector<EntryPtr> none;
    swapIn(none, -1);
}

void DirectoryList::select(int position) {
    if (!contains(position)) {
        return;
    }
    m_selected = position;
    if (m_observer != nullptr) {
        m_observer->selectionChanged(position);
    }
}

void DirectoryList::clearSelection() {
    m_selected = -1;
    if (m_observer != nullptr) {
        m_observer->selectionChanged(-1);
    }
}

} // namespace fichelia
