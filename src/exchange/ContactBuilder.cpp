#include "exchange/ContactBuilder.h"

#include <algorithm>
#include <cstring>

#include "exchange/PostalAddress.h"

namespace fichelia::exchange {

namespace {

bool isLineBreak(char c) { return c == '\n' || c == '\r'; }

} // namespace

void joinLines(std::string& text) {
    if (std::memchr(text.data(), '\n', text.size()) == nullptr && std::memchr(text.data(), '\r', text.size()) == nullptr) {
        return;
    }
    std::string joined;
    joined.reserve(text.size() + 8);
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = pos;
        while (end < text.size() && !isLineBreak(text[end])) {
            ++end;
        }
        if (end > pos) {
            joined += joined.empty() ? "" : ", ";
            joined.append(text, pos, end - pos);
        }
        while (end < text.size() && isLineBreak(text[end])) {
            ++end;
        }
        pos = end;
    }
    text = std::move(joined);
}

void ContactBuilder::start(long line) {
    discard();
    m_line = line;
}

void ContactBuilder::discard() {
    for (Candidate& candidate : m_fields) {
        candidate.text.clear();
        candidate.set = false;
    }
    for (std::string& name : m_names) {
        name.clear();
    }
    m_addressCount = 0;
    m_dropped.clear();
}

void ContactBuilder::Origin::assign(const ValueOrigin& origin) {
    source = origin.source;
    name.assign(origin.name);
    column = origin.column;
    counted = origin.counted;
}

void ContactBuilder::drop(const ValueOrigin& origin, RecordText field) {
    if (origin.counted) {
        m_dropped.emplace_back();
        m_dropped.back().origin.assign(origin);
        m_dropped.back().field = field;
    }
}

void ContactBuilder::drop(const Origin& origin, RecordText field) {
    if (origin.counted) {
        m_dropped.push_back({origin, field});
    }
}

void ContactBuilder::offer(RecordText field, std::string value, int rank, const ValueOrigin& origin, long line) {
    if (value.empty()) {
        return;
    }
    Candidate& current = m_fields[fieldIndex(field)];
    if (current.set && current.rank <= rank) {
        drop(origin, field);
        return;
    }
    if (current.set) {
        drop(current.origin, field);
    }
    current.origin.assign(origin);
    current.text = std::move(value);
    current.rank = rank;
    current.line = line;
    current.set = true;
}

void ContactBuilder::offerName(NamePart part, std::string value, const ValueOrigin& origin) {
    if (value.empty()) {
        return;
    }
    std::string& kept = m_names[static_cast<std::size_t>(part)];
    if (kept.empty()) {
        kept = std::move(value);
        if (part == NamePart::Organization) {
            m_organizationOrigin.assign(origin);
        }
    } else {
        drop(origin, part == NamePart::Organization ? nullptr : &Contact::name);
    }
}

void ContactBuilder::offerAddressPart(int group, AddressPart part, std::string value, const ValueOrigin& origin) {
    if (value.empty()) {
        return;
    }
    Address* address = nullptr;
    for (std::size_t i = 0; i < m_addressCount; ++i) {
        if (m_addresses[i].group == group) {
            address = &m_addresses[i];
        }
    }
    if (address == nullptr) {
        if (m_addressCount == m_addresses.size()) {
            m_addresses.emplace_back();
        }
        address = &m_addresses[m_addressCount++];
        *address = Address{};
        address->group = group;
    }
    address->origins.emplace_back();
    address->origins.back().assign(origin);
    switch (part) {
    case AddressPart::Full: address->full = address->full.empty() ? std::move(value) : address->full; break;
    case AddressPart::Street: address->street.push_back(std::move(value)); break;
    case AddressPart::PostalCode: address->postalCode = std::move(value); break;
    case AddressPart::Locality: address->locality = std::move(value); break;
    case AddressPart::Region: address->region = std::move(value); break;
    case AddressPart::Country: address->country = std::move(value); break;
    }
}

std::string ContactBuilder::addressText(const Address& address) const {
    PostalAddress parts;
    parts.street.assign(address.street.begin(), address.street.end());
    if (parts.street.empty() && !address.full.empty()) {
        parts.street.emplace_back(address.full); // "Indirizzo" beside "CAP" and "Città": the street
    }
    parts.postalCode = address.postalCode;
    parts.locality = address.locality;
    parts.region = address.region;
    parts.country = address.country;
    // Street, locality and country written the French way, rather than as the
    // exporting program laid them out.
    return address.street.empty() && address.postalCode.empty() && address.locality.empty() &&
                   address.region.empty() && address.country.empty()
               ? address.full
               : formatFrenchAddress(parts);
}

void ContactBuilder::finish(ImportSink& sink) {
    Candidate& addressField = m_fields[fieldIndex(&Contact::address)];
    for (std::size_t i = 0; i < m_addressCount; ++i) {
        const Address& address = m_addresses[i];
        if (!addressField.set) {
            addressField.text = addressText(address);
            addressField.set = true;
            continue;
        }
        for (const Origin& origin : address.origins) {
            drop(origin, &Contact::address);
        }
    }

    Contact contact;
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        std::string& text = contact.*kExchangeFields[i].text;
        text = std::move(m_fields[i].text);
        if (kExchangeFields[i].oneLine) {
            joinLines(text);
        }
    }
    std::string& organization = m_names[static_cast<std::size_t>(NamePart::Organization)];
    if (contact.name.empty()) {
        for (const NamePart part : {NamePart::Given, NamePart::Middle, NamePart::Family}) {
            const std::string& name = m_names[static_cast<std::size_t>(part)];
            if (!name.empty()) {
                contact.name += contact.name.empty() ? "" : " ";
                contact.name += name;
            }
        }
        joinLines(contact.name);
    }
    joinLines(organization);
    if (contact.name.empty()) {
        if (!organization.empty()) {
            contact.name = std::move(organization);
            sink.standIn(m_line, NameStandIn::Company);
        } else if (!contact.mail.empty()) {
            contact.name = contact.mail;
            sink.standIn(m_line, NameStandIn::Mail);
        } else if (const std::string& phone = !contact.phone.empty() ? contact.phone : contact.mobile; !phone.empty()) {
            contact.name = phone;
            sink.standIn(m_line, NameStandIn::Phone);
        }
    } else if (!organization.empty()) {
        drop(m_organizationOrigin, nullptr);
    }
    if (contact.name.empty()) {
        sink.skip(ImportProblem::NoName, m_line); // nothing would show it in the list
        discard();
        return;
    }
    for (const Dropped& dropped : m_dropped) {
        sink.leaveOut(dropped.origin.source, dropped.origin.name, dropped.origin.column, dropped.field);
    }
    sink.add(std::move(contact), m_fields[fieldIndex(&Contact::site)].line);
    discard();
}

} // namespace fichelia::exchange
