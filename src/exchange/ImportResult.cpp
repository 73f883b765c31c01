#include "exchange/ImportResult.h"

#include <algorithm>

#include "exchange/SiteAddress.h"

namespace fichelia::exchange {

void ImportSink::add(annuaire&& contact, long siteLine) {
    if (isScriptSiteAddress(contact.site)) {
        m_result.refusedSites.push_back({siteLine, std::move(contact.site)});
        contact.site.clear();
    }
    m_result.contacts.push_back(std::move(contact));
}

void ImportSink::leaveOut(std::string_view kind, long count) {
    auto& kinds = m_result.leftOut;
    const auto found = std::find_if(kinds.begin(), kinds.end(), [kind](const LeftOut& seen) { return seen.kind == kind; });
    if (found != kinds.end()) {
        found->count += count;
    } else {
        kinds.push_back({std::string(kind), count});
    }
}

void ImportSink::fail(long line, std::string message) {
    if (!m_result.error) {
        m_result.error = ImportError{line, std::move(message)};
    }
}

} // namespace fichelia::exchange
