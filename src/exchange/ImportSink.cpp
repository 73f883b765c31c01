#include "exchange/ImportSink.h"

#include <algorithm>

#include "exchange/SiteAddress.h"
#include "text/Windows1252.h"

namespace fichelia::exchange {

bool refusesWholeInput(ImportProblem problem) {
    switch (problem) {
    case ImportProblem::NoName:
    case ImportProblem::PageLineDamaged:
        return false;
    default:
        return problem >= ImportProblem::CsvUnclosedQuote;
    }
}

void ImportSink::add(Contact&& contact, long siteLine) {
    if (isScriptSiteAddress(contact.site)) {
        m_report.leftOutSites.push_back({siteLine, std::move(contact.site)});
        contact.site.clear();
    }
    if (m_packed != nullptr) {
        m_packed->add(contact);
    } else {
        m_report.records.push_back(std::move(contact));
    }
    ++m_added;
}

void ImportSink::reserve(std::size_t contacts) {
    if (m_packed != nullptr) {
        m_packed->reserve(contacts);
    } else {
        m_report.records.reserve(contacts);
    }
}

namespace {

// A name or detail from a file as UTF-8: a vCard's are its raw bytes.
std::string asUtf8(std::string_view text) {
    return text::isValidUtf8(text) ? std::string(text) : text::windows1252ToUtf8(text);
}

} // namespace

void ImportSink::leaveOut(ValueSource source, std::string_view rawName, int column, RecordText field, long count) {
    std::string converted;
    std::string_view name = rawName;
    if (!text::isValidUtf8(rawName)) {
        converted = text::windows1252ToUtf8(rawName);
        name = converted;
    }
    auto& kinds = m_report.leftOut;
    const auto found = std::find_if(kinds.begin(), kinds.end(), [&](const LeftOut& seen) {
        // Columns of one name are one kind; columns without a name, one kind each.
        return seen.source == source && seen.name == name && seen.field == field &&
               (!name.empty() || seen.column == column);
    });
    if (found != kinds.end()) {
        found->count += count;
    } else {
        kinds.push_back({source, std::string(name), column, field, count});
    }
}

void ImportSink::skip(ImportProblem problem, long line, std::string detail) {
    m_report.skipped.push_back({problem, line, text::isValidUtf8(detail) ? std::move(detail) : asUtf8(detail)});
}

void ImportSink::refuse(ImportProblem problem, long line, std::string detail) {
    if (!m_report.refusal) {
        m_report.refusal = ImportIssue{problem, line, std::move(detail)};
    }
}

void ImportSink::append(ImportSink&& later, long linesBefore) {
    ImportReport& from = later.m_report;
    if (m_packed != nullptr) {
        m_packed->append(std::move(*later.m_packed));
    } else {
        m_report.records.insert(m_report.records.end(), std::make_move_iterator(from.records.begin()),
                                std::make_move_iterator(from.records.end()));
    }
    m_added += later.m_added;
    for (ImportIssue& issue : from.skipped) {
        skip(issue.problem, issue.line + linesBefore, std::move(issue.detail));
    }
    if (from.refusal) {
        const long line = from.refusal->line > 0 ? from.refusal->line + linesBefore : 0;
        refuse(from.refusal->problem, line, std::move(from.refusal->detail));
    }
    for (LeftOutSite& site : from.leftOutSites) {
        m_report.leftOutSites.push_back({site.line + linesBefore, std::move(site.address)});
    }
    for (const LeftOut& kind : from.leftOut) {
        leaveOut(kind.source, kind.name, kind.column, kind.field, kind.count);
    }
    for (const StandInName& standIn : from.standIns) {
        m_report.standIns.push_back({standIn.line + linesBefore, standIn.from});
    }
}

ImportReport ImportSink::take(ContactFormat format, bool emptyAllowed) {
    m_report.format = format;
    if (!m_report.refusal && m_added == 0 && !m_report.skipped.empty()) {
        m_report.refusal = ImportIssue{ImportProblem::NothingUsable, 0, {}};
    } else if (!m_report.refusal && m_added == 0 && !emptyAllowed) {
        m_report.refusal = ImportIssue{ImportProblem::NoContacts, 0, {}};
    }
    if (m_report.refusal) {
        m_report.records.clear();
        if (m_packed != nullptr) {
            m_packed->clear();
        }
        m_report.leftOutSites.clear();
        m_report.leftOut.clear();
        m_report.standIns.clear();
        m_report.windows1252Lines.clear();
    }
    return std::move(m_report);
}

} // namespace fichelia::exchange
