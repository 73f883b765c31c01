#include "exchange/LdifContacts.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "exchange/Base64.h"
#include "exchange/PostalAddress.h"
#include "exchange/TextLines.h"
#include "text/Windows1252.h"

namespace fichelia::exchange {

namespace {

enum class Target {
    Nom, Adresse, Tel, Gsm, Fax, Mail, Site, Commentaire, // fields of the record, in record order
    GivenName, Surname, Organization,
    FullAddress, Street, PostalCode, Locality, Region, Country,
    Ignored, None,
};

struct AttributeRule {
    std::string_view name; // lower case
    Target target;
    int group = 0; // the address it belongs to: 1 work, 2 home
};

// Attribute names as LDAP address books and the mail programs' exports use
// them. Every other attribute holding a value is left out, counted.
constexpr std::array kAttributes = std::to_array<AttributeRule>({
    {"cn", Target::Nom},
    {"displayname", Target::Nom},
    {"givenname", Target::GivenName},
    {"sn", Target::Surname},
    {"o", Target::Organization},
    {"company", Target::Organization},
    {"mail", Target::Mail},
    {"mozillasecondemail", Target::Mail},
    {"telephonenumber", Target::Tel},
    {"homephone", Target::Tel},
    {"mobile", Target::Gsm},
    {"cellphone", Target::Gsm},
    {"facsimiletelephonenumber", Target::Fax},
    {"fax", Target::Fax},
    {"workurl", Target::Site},
    {"homeurl", Target::Site},
    {"mozillaworkurl", Target::Site},
    {"mozillahomeurl", Target::Site},
    {"description", Target::Commentaire},
    {"postaladdress", Target::FullAddress, 1},
    {"street", Target::Street, 1},
    {"streetaddress", Target::Street, 1},
    {"mozillaworkstreet2", Target::Street, 1},
    {"postofficebox", Target::Street, 1},
    {"l", Target::Locality, 1},
    {"st", Target::Region, 1},
    {"postalcode", Target::PostalCode, 1},
    {"c", Target::Country, 1},
    {"co", Target::Country, 1},
    {"countryname", Target::Country, 1},
    {"homepostaladdress", Target::FullAddress, 2},
    {"mozillahomestreet", Target::Street, 2},
    {"mozillahomestreet2", Target::Street, 2},
    {"mozillahomelocalityname", Target::Locality, 2},
    {"mozillahomestate", Target::Region, 2},
    {"mozillahomepostalcode", Target::PostalCode, 2},
    {"mozillahomecountryname", Target::Country, 2},
    {"dn", Target::Ignored},
    {"objectclass", Target::Ignored},
    {"changetype", Target::Ignored},
    {"modifytimestamp", Target::Ignored},
    {"mozillausehtmlmail", Target::Ignored},
    {"xmozillausehtmlmail", Target::Ignored},
});

const AttributeRule* ruleOf(std::string_view name) {
    std::string lower(name.substr(0, name.find(';'))); // options such as ;lang-fr do not change the attribute
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    const auto found = std::find_if(kAttributes.begin(), kAttributes.end(),
                                    [&lower](const AttributeRule& rule) { return rule.name == lower; });
    return found == kAttributes.end() ? nullptr : &*found;
}

// One attribute line, continuation lines joined.
struct AttributeLine {
    long line = 0;
    std::string text;
};

// The values of one entry, the first for each field kept.
class EntryBuilder {
public:
    void offer(const AttributeRule& rule, std::string_view name, std::string&& value, long line, ImportSink& sink) {
        if (value.empty()) {
            return;
        }
        switch (rule.target) {
        case Target::GivenName: keepFirst(m_givenName, std::move(value), name, sink); return;
        case Target::Surname: keepFirst(m_surname, std::move(value), name, sink); return;
        case Target::Organization: keepFirst(m_organization, std::move(value), name, sink); return;
        case Target::FullAddress:
        case Target::Street:
        case Target::PostalCode:
        case Target::Locality:
        case Target::Region:
        case Target::Country: addAddressPart(rule, name, std::move(value)); return;
        default: break;
        }
        auto& field = m_fields[static_cast<std::size_t>(rule.target)];
        if (field.empty()) {
            field = std::move(value);
            if (rule.target == Target::Site) {
                m_siteLine = line;
            }
        } else {
            sink.leaveOut(name);
        }
    }

    void finish(ImportSink& sink) {
        annuaire contact;
        for (std::size_t i = 0; i < kFieldCount; ++i) {
            contact.*kRecordFields[i].text = std::move(m_fields[i]);
        }
        if (contact.nom.empty()) {
            contact.nom = m_givenName;
            if (!m_surname.empty()) {
                contact.nom += contact.nom.empty() ? "" : " ";
                contact.nom += m_surname;
            }
        }
        if (contact.nom.empty()) {
            contact.nom = std::move(m_organization);
        } else if (!m_organization.empty()) {
            sink.leaveOut(m_organizationName);
        }
        for (std::size_t g = 0; g < m_addresses.size(); ++g) {
            if (g == 0) {
                contact.adresse = addressText(m_addresses[g]);
            } else {
                for (const std::string& name : m_addresses[g].names) {
                    sink.leaveOut(name);
                }
            }
        }
        sink.add(std::move(contact), m_siteLine);
        *this = EntryBuilder();
    }

    bool empty() const { return m_empty; }
    void touch() { m_empty = false; }

private:
    struct Address {
        int group = 0;
        std::string full;
        std::vector<std::string> street;
        std::string postalCode, locality, region, country;
        std::vector<std::string> names; // the attributes that gave it
    };

    void keepFirst(std::string& kept, std::string&& value, std::string_view name, ImportSink& sink) {
        if (kept.empty()) {
            kept = std::move(value);
            if (&kept == &m_organization) {
                m_organizationName = name;
            }
        } else {
            sink.leaveOut(name);
        }
    }

    void addAddressPart(const AttributeRule& rule, std::string_view name, std::string&& value) {
        auto found = std::find_if(m_addresses.begin(), m_addresses.end(),
                                  [&rule](const Address& a) { return a.group == rule.group; });
        if (found == m_addresses.end()) {
            m_addresses.push_back({rule.group, {}, {}, {}, {}, {}, {}, {}});
            found = m_addresses.end() - 1;
        }
        found->names.emplace_back(name);
        switch (rule.target) {
        case Target::FullAddress:
            // postalAddress separates its lines with '$'.
            std::replace(value.begin(), value.end(), '$', '\n');
            for (std::size_t nl = value.find('\n'); nl != std::string::npos; nl = value.find('\n', nl + 2)) {
                value.replace(nl, 1, ", ");
            }
            found->full = std::move(value);
            break;
        case Target::Street: found->street.push_back(std::move(value)); break;
        case Target::PostalCode: found->postalCode = std::move(value); break;
        case Target::Locality: found->locality = std::move(value); break;
        case Target::Region: found->region = std::move(value); break;
        default: found->country = std::move(value); break;
        }
    }

    static std::string addressText(const Address& address) {
        if (!address.full.empty()) {
            return address.full;
        }
        PostalAddress parts;
        parts.street.assign(address.street.begin(), address.street.end());
        parts.postalCode = address.postalCode;
        parts.locality = address.locality;
        parts.region = address.region;
        parts.country = address.country;
        return formatFrenchAddress(parts);
    }

    std::array<std::string, kFieldCount> m_fields;
    std::string m_givenName, m_surname, m_organization, m_organizationName;
    std::vector<Address> m_addresses;
    long m_siteLine = 0;
    bool m_empty = true;
};

class LdifReader {
public:
    explicit LdifReader(std::string_view text) : m_lines(text) {}

    ImportResult read() {
        AttributeLine pending;
        bool havePending = false;
        bool inComment = false;
        while (!m_lines.atEnd() && !m_sink.failed()) {
            const std::string_view line = m_lines.next();
            if (!line.empty() && line.front() == ' ') {
                if (inComment) {
                    continue;
                }
                if (!havePending) {
                    m_sink.fail(m_lines.number(), "ligne de suite (commençant par une espace) sans ligne à continuer");
                    break;
                }
                pending.text += line.substr(1);
                continue;
            }
            if (havePending) {
                handle(pending);
                havePending = false;
            }
            inComment = !line.empty() && line.front() == '#';
            if (inComment) {
                continue;
            }
            if (line.empty()) {
                endEntry();
                continue;
            }
            pending.line = m_lines.number();
            pending.text.assign(line);
            havePending = true;
        }
        if (havePending && !m_sink.failed()) {
            handle(pending);
        }
        if (!m_sink.failed()) {
            endEntry();
        }
        return m_sink.take();
    }

private:
    void handle(const AttributeLine& attribute) {
        const std::string_view text = attribute.text;
        const std::size_t colon = text.find(':');
        if (colon == std::string_view::npos || colon == 0) {
            m_sink.fail(attribute.line, "ligne sans « attribut: valeur »");
            return;
        }
        const std::string_view name = text.substr(0, colon);
        std::string_view rest = text.substr(colon + 1);
        const bool base64 = !rest.empty() && rest.front() == ':';
        const bool reference = !rest.empty() && rest.front() == '<';
        if (base64 || reference) {
            rest.remove_prefix(1);
        }
        rest.remove_prefix(std::min(rest.find_first_not_of(' '), rest.size()));
        if (m_entryStart && (name == "version" || name == "VERSION")) {
            return; // the file's "version: 1"
        }
        m_entryStart = false;
        m_entry.touch();
        const AttributeRule* rule = ruleOf(name);
        std::string value;
        if (base64) {
            auto decoded = decodeBase64(rest);
            if (!decoded) {
                m_sink.fail(attribute.line, "valeur base64 invalide pour l'attribut " + std::string(name));
                return;
            }
            // Base64 carries UTF-8, or bytes of older programs' code page.
            value = text::isValidUtf8(*decoded) ? std::move(*decoded) : text::windows1252ToUtf8(*decoded);
        } else {
            value.assign(rest);
        }
        if (rule != nullptr && rule->target == Target::Ignored) {
            return;
        }
        if (rule == nullptr || reference) {
            if (!value.empty()) {
                m_sink.leaveOut(name);
            }
            return;
        }
        m_entry.offer(*rule, name, std::move(value), attribute.line, m_sink);
    }

    void endEntry() {
        if (!m_entry.empty()) {
            m_entry.finish(m_sink);
        }
    }

    TextLines m_lines;
    bool m_entryStart = true; // nothing read yet but comments and blank lines
    EntryBuilder m_entry;
    ImportSink m_sink;
};

} // namespace

ImportResult readLdifContacts(std::string_view text) { return LdifReader(text).read(); }

} // namespace fichelia::exchange
