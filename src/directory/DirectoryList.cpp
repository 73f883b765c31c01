#include "directory/DirectoryList.h"

#include <algorithm>
#include <array>
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
    checkPosition(position);
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

int DirectoryList::add(annuaire record) {
    if (count() >= m_capacity) {
        throw InsertError();
    }
    try {
        EntryPtr entry = makeEntry(std::move(record));
        // Room is made before the observer hears of the insert, so that the
        // insert itself cannot fail. It grows by doubling: reserving one more
        // each time would copy the whole list on every add.
        if (m_entries.size() == m_entries.capacity()) {
            m_entries.reserve(std::max<std::size_t>(16, 2 * m_entries.capacity()));
        }
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
    } catch (const std::bad_alloc&) {
        throw InsertError();
    }
}

void DirectoryList::addAll(std::vector<annuaire> records) {
    if (records.empty()) {
        return;
    }
    if (records.size() > static_cast<std::size_t>(m_capacity - count())) {
        throw InsertError();
    }
    const Entry* selectedEntry = m_selected >= 0 ? m_entries[static_cast<std::size_t>(m_selected)].get() : nullptr;
    std::vector<EntryPtr> merged;
    try {
        std::vector<EntryPtr> added = sortedEntries(std::move(records));
        const auto byKey = [](const EntryPtr& a, const EntryPtr& b) { return keyLess(a->key, b->key); };
        merged.reserve(m_entries.size() + added.size());
        // Room is reserved, so the merge moves pointers and cannot fail half way.
        // On ties std::merge takes the first range: old entries stay before new equal ones.
        std::merge(std::make_move_iterator(m_entries.begin()), std::make_move_iterator(m_entries.end()),
                   std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()),
                   std::back_inserter(merged), byKey);
    } catch (const std::bad_alloc&) {
        throw InsertError();
    }
    if (m_observer != nullptr) {
        m_observer->aboutToReset();
    }
    m_entries.swap(merged);
    if (selectedEntry != nullptr) {
        const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                        [selectedEntry](const EntryPtr& entry) { return entry.get() == selectedEntry; });
        m_selected = static_cast<int>(found - m_entries.begin());
    }
    if (m_observer != nullptr) {
        m_observer->reset();
        if (m_selected >= 0) {
            m_observer->selectionChanged(m_selected);
        }
    }
}

std::vector<DirectoryList::EntryPtr> DirectoryList::sortedEntries(std::vector<annuaire> records) const {
    // Sorted through the first sixteen bytes of each key held beside the
    // entry: most comparisons then end without reaching into the entries,
    // which for a whole page of contacts halves the sort. A key no longer
    // than that is whole in it (sort keys hold no zero byte). Equal keys keep
    // their order.
    struct Sortable {
        std::uint64_t high;
        std::uint64_t low;
        std::uint32_t index;
        bool whole;
    };
    std::vector<EntryPtr> entries;
    std::vector<Sortable> order;
    entries.reserve(records.size());
    order.reserve(records.size());
    for (annuaire& record : records) {
        entries.push_back(makeEntry(std::move(record)));
        const std::string& key = entries.back()->key;
        std::array<std::uint64_t, 2> prefix{};
        for (std::size_t byte = 0; byte < 2 * sizeof(std::uint64_t); ++byte) {
            const unsigned value = byte < key.size() ? static_cast<unsigned char>(key[byte]) : 0u;
            prefix[byte / 8] = (prefix[byte / 8] << 8) | value;
        }
        order.push_back({prefix[0], prefix[1], static_cast<std::uint32_t>(order.size()), key.size() <= 16});
    }
    std::sort(order.begin(), order.end(), [&entries](const Sortable& a, const Sortable& b) {
        if (a.high != b.high) {
            return a.high < b.high;
        }
        if (a.low != b.low) {
            return a.low < b.low;
        }
        const int byKey = a.whole && b.whole ? 0 : entries[a.index]->key.compare(entries[b.index]->key);
        return byKey != 0 ? byKey < 0 : a.index < b.index;
    });
    std::vector<EntryPtr> sorted;
    sorted.reserve(entries.size());
    for (const Sortable& item : order) {
        sorted.push_back(std::move(entries[item.index]));
    }
    return sorted;
}

void DirectoryList::replaceAll(std::vector<annuaire> records) {
    if (records.size() > static_cast<std::size_t>(m_capacity)) {
        throw InsertError();
    }
    std::vector<EntryPtr> entries;
    try {
        entries = sortedEntries(std::move(records));
    } catch (const std::bad_alloc&) {
        throw InsertError();
    }
    if (m_observer != nullptr) {
        m_observer->aboutToReset();
    }
    m_entries.swap(entries);
    m_selected = -1;
    if (m_observer != nullptr) {
        m_observer->reset();
    }
}

void DirectoryList::removeAt(int position) {
    checkPosition(position);
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

void DirectoryList::removeAll() {
    if (m_observer != nullptr) {
        m_observer->aboutToReset();
    }
    m_entries.clear();
    m_selected = -1;
    if (m_observer != nullptr) {
        m_observer->reset();
    }
}

void DirectoryList::select(int position) {
    checkPosition(position);
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

void DirectoryList::checkPosition(int position) const {
    if (position < 0 || position >= count()) {
        throw std::out_of_range("position hors de la liste : " + std::to_string(position));
    }
}

} // namespace fichelia
