#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "directory/annuaire.h"

// What every importer (TSV, CSV, vCard, LDIF) hands back. Messages are French,
// as the companion tool shows them; lines count from 1 in the input as given.
namespace fichelia::exchange {

// A refusal of the whole input: nothing of it may be used.
struct ImportError {
    long line = 0;
    std::string message;
};

// A site address left out because a browser sent to it would run code.
struct RefusedSite {
    long line = 0;
    std::string address;
};

// How many values of one kind found no field of the record.
struct LeftOut {
    std::string kind;
    long count = 0;
};

struct ImportResult {
    std::vector<annuaire> contacts; // in input order
    std::optional<ImportError> error;
    std::vector<RefusedSite> refusedSites;
    std::vector<LeftOut> leftOut; // kinds in the order they were first met
};

// Where an importer puts what it reads. Every contact's site goes through the
// site check here, so no importer can forget it.
class ImportSink {
public:
    // siteLine: the input line the site came from, for the report.
    void add(annuaire&& contact, long siteLine);
    void leaveOut(std::string_view kind, long count = 1);
    // Keeps the first error only: the rest of the input is no longer read.
    void fail(long line, std::string message);
    bool failed() const { return m_result.error.has_value(); }
    void reserve(std::size_t contacts) { m_result.contacts.reserve(contacts); }

    ImportResult take() { return std::move(m_result); }

private:
    ImportResult m_result;
};

} // namespace fichelia::exchange
