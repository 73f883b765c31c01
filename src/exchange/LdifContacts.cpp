#include "exchange/LdifContacts.h"

#include <algorithm>
#include <array>
#include <string>

#include "exchange/Base64.h"
#include "exchange/ContactBuilder.h"
#include "exchange/TextLines.h"
#include "text/Windows1252.h"

namespace fichelia::exchange {

namespace {

enum class Role { Field, Second, Fallback, Name, Address, ObjectClass, Ignored };

struct AttributeRule {
    std::string_view name; // lower case
    Role role;
    RecordText field = nullptr;             // Field, Fallback
    NamePart namePart = NamePart::Given;    // Name
    AddressPart addressPart = AddressPart::Full; // Address
    int group = 0;                          // Address: 1 work, 2 home
};

constexpr AttributeRule field(std::string_view name, RecordText text) { return {name, Role::Field, text}; }
constexpr AttributeRule name(std::string_view attribute, NamePart part) {
    return {attribute, Role::Name, nullptr, part};
}
constexpr AttributeRule address(std::string_view name, AddressPart part, int group) {
    return {name, Role::Address, nullptr, NamePart::Given, part, group};
}

// Attribute names as LDAP address books and the mail programs' exports use
// them. Every other attribute holding a value is left out, counted.
constexpr std::array kAttributes = std::to_array<AttributeRule>({
    field("cn", &Contact::name),
    field("displayname", &Contact::name),
    name("givenname", NamePart::Given),
    name("sn", NamePart::Family),
    name("o", NamePart::Organization),
    name("company", NamePart::Organization),
    field("mail", &Contact::mail),
    field("mozillasecondemail", &Contact::mail),
    field("telephonenumber", &Contact::phone),
    {"homephone", Role::Second, &Contact::phone}, // telephoneNumber first
    {"pager", Role::Fallback, &Contact::phone},
    {"pagerphone", Role::Fallback, &Contact::phone},
    field("mobile", &Contact::mobile),
    field("cellphone", &Contact::mobile),
    field("facsimiletelephonenumber", &Contact::fax),
    field("fax", &Contact::fax),
    field("workurl", &Contact::site),
    field("homeurl", &Contact::site),
    field("mozillaworkurl", &Contact::site),
    field("mozillahomeurl", &Contact::site),
    field("description", &Contact::comment),
    address("postaladdress", AddressPart::Full, 1),
    address("street", AddressPart::Street, 1),
    address("streetaddress", AddressPart::Street, 1),
    address("mozillaworkstreet2", AddressPart::Street, 1),
    address("postofficebox", AddressPart::Street, 1),
    address("l", AddressPart::Locality, 1),
    address("st", AddressPart::Region, 1),
    address("postalcode", AddressPart::PostalCode, 1),
    address("c", AddressPart::Country, 1),
    address("co", AddressPart::Country, 1),
    address("countryname", AddressPart::Country, 1),
    address("homepostaladdress", AddressPart::Full, 2),
    address("mozillahomestreet", AddressPart::Street, 2),
    address("mozillahomestreet2", AddressPart::Street, 2),
    address("mozillahomelocalityname", AddressPart::Locality, 2),
    address("mozillahomestate", AddressPart::Region, 2),
    address("mozillahomepostalcode", AddressPart::PostalCode, 2),
    address("mozillahomecountryname", AddressPart::Country, 2),
    {"dn", Role::Ignored},
    {"objectclass", Role::ObjectClass},
    {"changetype", Role::Ignored},
    {"modifytimestamp", Role::Ignored},
    {"mozillausehtmlmail", Role::Ignored},
    {"xmozillausehtmlmail", Role::Ignored},
});

const AttributeRule* ruleOf(std::string_view name) {
    std::string lower(name.substr(0, name.find(';'))); // options such as ;lang-fr do not change the attribute
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    const auto found = std::find_if(kAttributes.begin(), kAttributes.end(),
                                    [&lower](const AttributeRule& rule) { return rule.name == lower; });
    return found == kAttributes.end() ? nullptr : &*found;
}

bool isNamed(std::string_view name, std::string_view lower) {
    return name.size() == lower.size() && std::equal(name.begin(), name.end(), lower.begin(), [](char a, char b) {
               return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
           });
}

// The object classes of people in address books: person and those built on
// it, and the mail programs' own.
bool isPersonClass(std::string_view objectClass) {
    constexpr std::string_view kPerson = "person";
    for (std::size_t at = 0; at + kPerson.size() <= objectClass.size(); ++at) {
        if (isNamed(objectClass.substr(at, kPerson.size()), kPerson)) {
            return true; // person, organizationalPerson, inetOrgPerson, mozillaAbPersonAlpha ...
        }
    }
    return isNamed(objectClass, "user") || isNamed(objectClass, "contact") || isNamed(objectClass, "posixaccount");
}

// postalAddress: lines apart by '$', spaces around it.
std::string postalAddressLines(std::string_view value) {
    std::string lines;
    for (;;) {
        const std::size_t dollar = value.find('$');
        std::string_view line = value.substr(0, dollar);
        line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
        line = line.substr(0, line.find_last_not_of(' ') + 1);
        if (!line.empty()) {
            lines.append(lines.empty() ? "" : "\n").append(line);
        }
        if (dollar == std::string_view::npos) {
            return lines;
        }
        value.remove_prefix(dollar + 1);
    }
}

bool isDn(std::string_view name) { return name.size() == 2 && (name[0] | 0x20) == 'd' && (name[1] | 0x20) == 'n'; }

// Reads the entries one by one. A malformed entry is skipped and reported
// with the line to look at.
class LdifReader {
public:
    LdifReader(std::string_view text, ImportSink& sink) : m_lines(text), m_sink(sink) {}

    void read() {
        bool inComment = false;
        while (!m_lines.atEnd()) {
            const std::string_view line = m_lines.next();
            if (!line.empty() && line.front() == ' ') {
                if (inComment) {
                    continue;
                }
                if (!m_havePending) {
                    m_sink.skip(ImportProblem::LdifStrayContinuation, m_lines.number());
                    continue;
                }
                m_pending.append(line.substr(1));
                continue;
            }
            handlePending();
            inComment = !line.empty() && line.front() == '#';
            if (inComment) {
                continue;
            }
            if (line.empty()) {
                endEntry();
                continue;
            }
            m_pendingLine = m_lines.number();
            m_pending.assign(line);
            m_havePending = true;
        }
        handlePending();
        endEntry();
    }

private:
    void handlePending() {
        if (m_havePending) {
            m_havePending = false;
            handle(m_pending, m_pendingLine);
        }
    }

    void handle(std::string_view text, long line) {
        const std::size_t colon = text.find(':');
        if (colon == std::string_view::npos || colon == 0) {
            startEntry(line);
            spoil(ImportProblem::LdifLineWithoutColon, line, {});
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
        if (!m_seenEntry && (name == "version" || name == "VERSION")) {
            return; // the file's "version: 1"
        }
        if (!m_inEntry && (isNamed(name, "search") || isNamed(name, "result"))) {
            return; // the summary ldapsearch writes after the entries
        }
        m_seenEntry = true;
        if (!m_inEntry) {
            startEntry(line);
            if (!isDn(name)) {
                spoil(ImportProblem::LdifEntryWithoutDn, line, {});
            }
        }
        const AttributeRule* rule = ruleOf(name);
        if (rule != nullptr && rule->role == Role::Ignored) {
            return;
        }
        if (rule != nullptr && rule->role == Role::ObjectClass) {
            if (!base64 && !rest.empty()) {
                m_person = m_person || isPersonClass(rest);
                if (!isNamed(rest, "top")) {
                    m_objectClass.assign(rest); // the last is the most specific, as exports list them
                }
            }
            return;
        }
        const ValueOrigin origin{ValueSource::LdifAttribute, name};
        if (rule == nullptr || reference) {
            if (!rest.empty()) {
                m_entry.leaveOut(origin); // not decoded: it goes nowhere
            }
            return;
        }
        std::string value;
        if (base64) {
            auto decoded = decodeBase64(rest);
            if (!decoded) {
                spoil(ImportProblem::BadBase64, line, std::string(name));
                return;
            }
            // Base64 carries UTF-8, or bytes of older programs' code page.
            value = text::isValidUtf8(*decoded) ? std::move(*decoded) : text::windows1252ToUtf8(*decoded);
            std::erase(value, '\0'); // no text holds one
        } else {
            value.assign(rest);
        }
        if (!value.empty()) {
            m_named = m_named || rule->field == &Contact::name || rule->role == Role::Name;
            m_reachable = m_reachable || rule->field == &Contact::mail || rule->field == &Contact::phone ||
                          rule->field == &Contact::mobile;
        }
        switch (rule->role) {
        case Role::Field: m_entry.offer(rule->field, std::move(value), kPlainRank, origin, line); break;
        case Role::Second: m_entry.offer(rule->field, std::move(value), kPlainRank + 1, origin, line); break;
        case Role::Fallback: m_entry.offer(rule->field, std::move(value), kFallbackRank, origin, line); break;
        case Role::Name: m_entry.offerName(rule->namePart, std::move(value), origin); break;
        case Role::Address:
            if (rule->addressPart == AddressPart::Full) {
                value = postalAddressLines(value);
            }
            m_entry.offerAddressPart(rule->group, rule->addressPart, std::move(value), origin);
            break;
        default: break;
        }
    }

    void startEntry(long line) {
        if (!m_inEntry) {
            m_inEntry = true;
            m_spoiled = false;
            m_person = false;
            m_named = false;
            m_reachable = false;
            m_objectClass.clear();
            m_entry.start(line);
        }
    }

    void spoil(ImportProblem problem, long line, std::string detail) {
        startEntry(line);
        if (!m_spoiled) {
            m_spoiled = true;
            m_problem = {problem, line, std::move(detail)};
        }
    }

    void endEntry() {
        if (!m_inEntry) {
            return;
        }
        m_inEntry = false;
        if (m_spoiled) {
            m_sink.skip(m_problem.problem, m_problem.line, std::move(m_problem.detail));
            m_entry.discard();
        } else if (!m_person && !(m_named && m_reachable)) {
            // An organizational unit, a group, the root of the tree: no contact, counted.
            m_sink.leaveOut(ValueSource::LdifEntry, m_objectClass);
            m_entry.discard();
        } else {
            m_entry.finish(m_sink);
        }
    }

    TextLines m_lines;
    ImportSink& m_sink;
    ContactBuilder m_entry;
    std::string m_pending; // the attribute line under way, continuation lines joined
    long m_pendingLine = 0;
    bool m_havePending = false;
    bool m_seenEntry = false; // anything read yet but comments, blank lines and the version
    bool m_inEntry = false;
    bool m_spoiled = false;
    bool m_person = false;    // an objectClass of the entry under way names a person
    bool m_named = false;     // it gives a name: cn, displayName, a given or family name, a company
    bool m_reachable = false; // it gives a mail address or a phone number
    std::string m_objectClass;
    ImportIssue m_problem;
};

} // namespace

void readLdifContacts(std::string_view text, ImportSink& sink) { LdifReader(text, sink).read(); }

ImportReport readLdifContacts(std::string_view text) {
    ImportSink sink;
    readLdifContacts(text, sink);
    return sink.take(ContactFormat::Ldif);
}

} // namespace fichelia::exchange
