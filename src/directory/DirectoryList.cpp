#include "directory/DirectoryList.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdint>
#include <limits>
#include <new>
#include <string_view>
#include <thread>

#include "base/Limits.h"
#include "base/Parallel.h"

namespace fichelia {

namespace {

bool keyLess(const std::string& a, const std::string& b) { return a < b; }

} // namespace

DirectoryList::DirectoryList(std::shared_ptr<const NameCollator> collator, int capacity)
    : m_collator(std::move(collator)), m_capacity(capacity) {}

DirectoryList::~DirectoryList() = default;

const Contact& DirectoryList::recordAt(int position) const {
    assert(contains(position));
    return m_entries[static_cast<std::size_t>(position)]->record;
}

DirectoryList::EntryPtr DirectoryList::makeEntry(Contact record) const {
    auto entry = std::make_unique<Entry>();
    entry->key = m_collator->sortKey(record.name);
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

Result<int> DirectoryList::add(Contact record) {
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

Result<void> DirectoryList::addAll(std::vector<Contact> records) {
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
// order. The keys, a third of the work of a page written from TSV, are made
// on several threads, each with its own collator, into one text. A list's
// entries are made after sorting, one after the other in list order, so that
// they lie in memory in that order too: the page writer, which walks the whole
// list, then reads memory in order rather than jumping from one heap block to
// the next (it writes a list added in random order about twice as fast,
// bench/PageBench.cpp).
namespace {

struct Sortable {
    std::uint64_t high;
    std::uint64_t low;
    std::size_t keyStart; // in the text of the keys
    std::uint32_t keyLength;
    std::uint32_t index;
};

constexpr std::size_t kPrefixSize = 2 * sizeof(std::uint64_t);
// Below this many names a thread costs more than it saves.
constexpr std::size_t kNamesPerThread = 8192;
constexpr std::size_t kMostThreads = 8;

Sortable sortable(std::string_view key, std::size_t keyStart, std::size_t index) {
    std::array<std::uint64_t, 2> prefix{};
    for (std::size_t byte = 0; byte < kPrefixSize; ++byte) {
        const unsigned value = byte < key.size() ? static_cast<unsigned char>(key[byte]) : 0u;
        prefix[byte / 8] = (prefix[byte / 8] << 8) | value;
    }
    if (key.size() > std::numeric_limits<std::uint32_t>::max()) {
        throw std::bad_alloc(); // a name of gigabytes
    }
    return {prefix[0], prefix[1], keyStart, static_cast<std::uint32_t>(key.size()), static_cast<std::uint32_t>(index)};
}

// Fills order[first, last) with the names' keys, appended to keys.
template <typename NameAt>
void makeSortables(const NameAt& nameAt, std::size_t first, std::size_t last, const NameCollator& collator,
                   std::vector<Sortable>& order, std::string& keys) {
    for (std::size_t i = first; i < last; ++i) {
        const std::string key = collator.sortKey(nameAt(i));
        order[i] = sortable(key, keys.size(), i);
        keys += key;
    }
}

// The records' indices in list order, and the text their keys' starts point into.
template <typename NameAt>
std::vector<Sortable> sortOrder(std::size_t count, const NameAt& nameAt, const NameCollator& collator,
                                std::string& keys) {
    if (count > std::numeric_limits<std::uint32_t>::max()) {
        throw TooManyRecords("more records than 32-bit indices number");
    }
    std::vector<Sortable> order(count);
    const std::size_t threads = std::clamp<std::size_t>(
        std::min<std::size_t>(std::thread::hardware_concurrency(), count / kNamesPerThread), 1, kMostThreads);
    const std::size_t share = count / threads + 1;
    // The first share with the given collator, the others each with one of their own.
    std::vector<std::unique_ptr<NameCollator>> copies;
    for (std::size_t part = 1; part < threads; ++part) {
        copies.push_back(collator.copy());
    }
    std::vector<std::string> partKeys(threads);
    runInParts(threads, [&](std::size_t part) {
        const NameCollator& own = part == 0 ? collator : *copies[part - 1];
        makeSortables(nameAt, part * share, std::min(count, (part + 1) * share), own, order, partKeys[part]);
    });
    keys = std::move(partKeys[0]);
    for (std::size_t part = 1; part < threads; ++part) {
        const std::size_t shift = keys.size();
        keys += partKeys[part];
        partKeys[part] = std::string();
        for (std::size_t i = part * share; i < std::min(count, (part + 1) * share); ++i) {
            order[i].keyStart += shift;
        }
    }
    const std::string_view text = keys;
    std::sort(order.begin(), order.end(), [text](const Sortable& a, const Sortable& b) {
        if (a.high != b.high) {
            return a.high < b.high;
        }
        if (a.low != b.low) {
            return a.low < b.low;
        }
        if (a.keyLength > kPrefixSize || b.keyLength > kPrefixSize) {
            const int byKey = text.substr(a.keyStart, a.keyLength).compare(text.substr(b.keyStart, b.keyLength));
            if (byKey != 0) {
                return byKey < 0;
            }
        }
        return a.index < b.index;
    });
    return order;
}

template <typename NameAt>
std::vector<std::uint32_t> indicesInOrder(std::size_t count, const NameAt& nameAt, const NameCollator& collator) {
    std::string keys;
    const std::vector<Sortable> order = sortOrder(count, nameAt, collator, keys);
    std::vector<std::uint32_t> indices;
    indices.reserve(order.size());
    for (const Sortable& item : order) {
        indices.push_back(item.index);
    }
    return indices;
}

} // namespace

std::vector<std::uint32_t> listOrder(const std::vector<Contact>& records, const NameCollator& collator) {
    return indicesInOrder(
        records.size(), [&records](std::size_t i) -> std::string_view { return records[i].name; }, collator);
}

std::vector<std::uint32_t> listOrder(const PackedRecords& records, const NameCollator& collator) {
    return indicesInOrder(
        records.size(), [&records](std::size_t i) { return records.name(i); }, collator);
}

std::vector<DirectoryList::EntryPtr> DirectoryList::sortedEntries(std::vector<Contact> records) const {
    std::string keys;
    const std::vector<Sortable> order = sortOrder(
        records.size(), [&records](std::size_t i) -> std::string_view { return records[i].name; }, *m_collator, keys);
    std::vector<EntryPtr> entries;
    entries.reserve(records.size());
    for (const Sortable& item : order) {
        auto entry = std::make_unique<Entry>();
        entry->key = keys.substr(item.keyStart, item.keyLength);
        entry->record = std::move(records[item.index]);
        entries.push_back(std::move(entry));
    }
    return entries;
}

Result<void> DirectoryList::replaceAll(std::vector<Contact> records) {
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

Result<int> DirectoryList::replaceSelected(Contact record) {
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
