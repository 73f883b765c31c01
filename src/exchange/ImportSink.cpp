#include "exchange/ImportSink.h"

#include <algorithm>

#include "exchange/SiteAddress.h"

namespace fichelia::exchange {

bool refusesWholeInput(ImportProblem problem) { return problem >= ImportProblem::CsvUnclosedQuote; }

void ImportSink::add(annuaire&& contact, long siteLine) {
    if (isScriptSiteAddress(contact.site)) {
        m_report.leftOutSites.push_back({siteLine, std::move(contact.site)});
        contact.site.clear();
    }
    m_report.records.push_back(std::move(contact));
}

void ImportSink::leaveOut(ValueSource source, std::string_view name, int column, RecordText field, long count) {
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
    m_report.skipped.push_back({problem, line, std::move(detail)});
}

void ImportSink::refuse(ImportProblem problem, long line, std::string detail) {
    if (!m_report.refusal) {
        m_report.refusal = ImportIssue{problem, line, std::move(detail)};
    }
}

ImportReport ImportSink::take(ContactFormat format) {
    m_report.format = format;
    if (!m_report.refusal && m_report.records.empty() && !m_report.skipped.empty()) {
        m_report.refusal = ImportIssue{ImportProblem::NothingUsable, 0, {}};
    }
    if (m_report.refusal) {
        m_report.records.clear();
        m_report.leftOutSites.clear();
        m_report.leftOut.clear();
        m_report.standIns.clear();
    }
    return std::move(m_report);
}

} // namespace fichelia::exchange
