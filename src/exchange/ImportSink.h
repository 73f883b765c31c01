#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "directory/PackedRecords.h"
#include "exchange/ImportReport.h"

namespace fichelia::exchange {

// Where an importer puts what it reads, and the problems it meets. Every
// contact's site goes through the site check here, so no importer can forget it.
class ImportSink {
public:
    // packed: where the contacts go when given, rather than the report.
    explicit ImportSink(PackedRecords* packed = nullptr) : m_packed(packed) {}

    // siteLine: the input line the site came from, for the report.
    void add(Contact&& contact, long siteLine);
    void leaveOut(ValueSource source, std::string_view name, int column = 0, RecordText field = nullptr,
                  long count = 1);
    // A card, row, entry or line left out; the reading goes on.
    void skip(ImportProblem problem, long line, std::string detail = {});
    // The whole input refused: the reading stops. The first refusal stays.
    void refuse(ImportProblem problem, long line, std::string detail = {});
    bool refused() const { return m_report.refusal.has_value(); }
    bool packs() const { return m_packed != nullptr; }
    void standIn(long line, NameStandIn from) { m_report.standIns.push_back({line, from}); }
    void reserve(std::size_t contacts);

    // Takes in what another sink met further on in the same input, in the
    // stretch that follows this one's, linesBefore lines on.
    void append(ImportSink&& later, long linesBefore);

    // The report: when nothing was imported, the input is refused, as
    // NothingUsable when something was skipped, else as NoContacts unless
    // emptyAllowed; a refused input gives no records.
    ImportReport take(ContactFormat format, bool emptyAllowed = false);
    // A line of a UTF-8 text that was read as Windows-1252.
    void windows1252Line(long line) { m_report.windows1252Lines.push_back(line); }

private:
    ImportReport m_report;
    PackedRecords* m_packed;
    std::size_t m_added = 0;
};

} // namespace fichelia::exchange
