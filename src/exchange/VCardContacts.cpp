#include "exchange/VCardContacts.h"

#include <algorithm>
#include <array>
#include <climits>

#include "exchange/ContactBuilder.h"
#include "exchange/PostalAddress.h"
#include "exchange/VCardLines.h"
#include "platform/Unicode.h"
#include "text/Windows1252.h"

namespace fichelia::exchange {

namespace {

using namespace vcard;

// What a property gives.
enum class Role { Field, Tel, Name, Organization, Label, Card, Ignored, None };

struct PropertyRule {
    std::string_view name;
    Role role;
};

// The properties with a role of their own; those that name a field of the
// record (FN, ADR, EMAIL, URL, NOTE) come from kExchangeFields. The others
// here describe the card rather than the contact, or repeat what another
// property gives (N beside FN, a group's label). Every other property holding
// a value is left out, counted.
constexpr std::array kProperties = std::to_array<PropertyRule>({
    {"TEL", Role::Tel}, // phone, mobile or fax by its type
    {"N", Role::Name},
    {"ORG", Role::Organization},
    {"LABEL", Role::Label}, // the address ready for an envelope: the address when no ADR gives it
    {"BEGIN", Role::Card},
    {"END", Role::Card},
    {"VERSION", Role::Ignored},
    {"PRODID", Role::Ignored},
    {"REV", Role::Ignored},
    {"UID", Role::Ignored},
    {"KIND", Role::Ignored},
    {"SOURCE", Role::Ignored},
    {"CLIENTPIDMAP", Role::Ignored},
    {"X-ABLABEL", Role::Ignored},
    {"X-ABUID", Role::Ignored},
    {"X-ABADR", Role::Ignored}, // the country whose layout ADR follows
});

struct Target {
    Role role = Role::None;
    RecordText field = nullptr; // Role::Field
};

// Names compared by length and first letter first: most differ there.
bool isNamed(std::string_view name, std::string_view property) {
    return name.size() == property.size() && !name.empty() && (name[0] & ~0x20) == property[0] &&
           isProperty(name, property);
}

Target targetOf(std::string_view name) {
    for (const PropertyRule& rule : kProperties) {
        if (isNamed(name, rule.name)) {
            return {rule.role, nullptr};
        }
    }
    for (const ExchangeField& field : kExchangeFields) {
        if (field.vcardName != "TEL" && isNamed(name, field.vcardName)) {
            return {Role::Field, field.text};
        }
    }
    return {};
}

// The field of a number, by its type.
RecordText telField(const Parameters& parameters) {
    const std::string_view type = parameters.cell ? "cell" : parameters.fax ? "fax" : "voice";
    for (const ExchangeField& field : kExchangeFields) {
        if (field.vcardName == "TEL" && field.vcardType == type) {
            return field.text;
        }
    }
    return &Contact::phone;
}

std::string upperCase(std::string_view name) {
    std::string upper(name);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    return upper;
}

std::string joinNonEmpty(const std::vector<std::string>& parts, std::initializer_list<std::size_t> order,
                         std::string_view separator) {
    std::string text;
    for (const std::size_t index : order) {
        if (index < parts.size() && !parts[index].empty()) {
            text += text.empty() ? "" : separator;
            text += parts[index];
        }
    }
    return text;
}

// ADR: post-office box; extended address; street; locality; region; postal code; country.
std::string formatAdr(std::string_view value) {
    std::array<std::string_view, 7> plain{};
    std::vector<std::string> parts;
    if (value.find_first_of("\\\r\n") == std::string_view::npos) {
        // Nothing to undo or join, the common case: the pieces are taken where they lie.
        std::size_t start = 0;
        for (std::size_t i = 0; i < plain.size() && start <= value.size(); ++i) {
            const std::size_t end = std::min(value.find(';', start), value.size());
            plain[i] = value.substr(start, end - start);
            start = end + 1;
        }
    } else {
        parts = splitComponents(value);
        for (std::size_t i = 0; i < parts.size() && i < plain.size(); ++i) {
            joinLines(parts[i]); // a street on two lines, say
            plain[i] = parts[i];
        }
    }
    const auto part = [&plain](std::size_t index) { return plain[index]; };
    PostalAddress address;
    address.street = {part(0), part(1), part(2)};
    address.locality = part(3);
    address.region = part(4);
    address.postalCode = part(5);
    address.country = part(6);
    return formatFrenchAddress(address);
}

bool isAscii(std::string_view text) {
    return std::none_of(text.begin(), text.end(), [](char c) { return (c & 0x80) != 0; });
}

// BEGIN's or END's value naming a card, blanks after it tolerated ("BEGIN:VCARD ").
bool isVCardWord(std::string_view value) {
    return isProperty(value.substr(0, value.find_last_not_of(" \t") + 1), "VCARD");
}

ImportProblem problemOf(DecodeProblem problem) {
    switch (problem) {
    case DecodeProblem::BadQuotedPrintable: return ImportProblem::BadQuotedPrintable;
    case DecodeProblem::BadBase64: return ImportProblem::BadBase64;
    default: return ImportProblem::UnknownCharset;
    }
}

// Reads the cards one by one. A malformed card is skipped and reported with
// the line to look at; lines outside any card are reported, a run of them once.
class VCardReader {
public:
    explicit VCardReader(std::string_view text, ImportSink& sink) : m_lines(text), m_sink(sink) {}

    void read() {
        while (const auto line = m_lines.next()) {
            handle(*line);
        }
        if (m_inCard) {
            skipCard(ImportProblem::VCardUnclosed, m_cardLine, {});
        }
    }

private:
    void handle(const ContentLine& line) {
        if (m_nested > 0) {
            skipNested(line);
            return;
        }
        if (!line.hasColon) {
            if (m_inCard) {
                m_sink.skip(ImportProblem::VCardLineWithoutColon, line.line); // the card keeps the rest
            } else {
                outside(line.line, {});
            }
            return;
        }
        const Target target = targetOf(line.name);
        const bool agent = m_inCard && isNamed(line.name, "AGENT");
        const bool agentBefore = m_agentBefore;
        m_agentBefore = agent && line.value.empty();
        if (agent && line.value.size() >= 11 && isProperty(line.value.substr(0, 11), "BEGIN:VCARD")) {
            m_nested = 1; // the AGENT's card begins on its own line
            m_card.leaveOut({ValueSource::VCardProperty, "AGENT"});
            return;
        }
        if (target.role == Role::Card) {
            if (agentBefore && isProperty(line.name, "BEGIN") && isVCardWord(line.value)) {
                m_nested = 1; // a 2.1 AGENT's card, within this one: left out whole
                m_card.leaveOut({ValueSource::VCardProperty, "AGENT"});
                return;
            }
            handleCard(line);
            return;
        }
        if (!m_inCard) {
            outside(line.line, line.name);
            return;
        }
        m_outsideRun = false;
        if (isProperty(line.name, "VERSION")) {
            m_version4 = line.value.starts_with("4");
        }
        if (target.role == Role::Ignored || line.value.empty() || m_spoiled) {
            return;
        }
        if (target.role == Role::None) {
            // Not decoded: a value with no field here may be broken without harm.
            m_card.leaveOut({ValueSource::VCardProperty, upperCase(line.name)});
            return;
        }
        const Parameters parameters = parseParameters(line.params);
        std::string decoded;
        std::string_view value = line.value;
        if (parameters.encoding != Encoding::Plain || (!isAscii(value) && !text::isValidUtf8(value))) {
            DecodeProblem problem = DecodeProblem::None;
            // Raw bytes as the file holds them: UTF-8, else in the charset the value or its card names.
            auto text = parameters.encoding != Encoding::Plain
                            ? decodeValue(value, parameters, problem)
                            : decodeRawValue(value, text::isValidUtf8(value) || !parameters.charset.empty()
                                                        ? parameters.charset
                                                        : cardCharset(),
                                             problem);
            if (!text) {
                // Only this value is lost: the card keeps the rest.
                m_sink.skip(problemOf(problem), line.line,
                            problem == DecodeProblem::UnknownCharset ? std::string(parameters.charset)
                                                                     : upperCase(line.name));
                return;
            }
            decoded = std::move(*text);
            value = decoded;
        }
        const int rank = parameters.pref > 0 ? parameters.pref : kPlainRank;
        const ValueOrigin origin{ValueSource::VCardProperty, line.name};
        switch (target.role) {
        case Role::Field:
            m_card.offer(target.field, target.field == &Contact::address ? formatAdr(value) : unescapeText(value), rank,
                         origin, line.line);
            break;
        case Role::Tel:
            if ((parameters.uri || m_version4) && value.size() > 4 && isProperty(value.substr(0, 4), "tel:")) {
                value.remove_prefix(4); // vCard 4.0 writes numbers as tel: addresses
            }
            m_card.offer(telField(parameters), unescapeText(value),
                         parameters.fallback && !parameters.voice ? rank + kFallbackRank : rank, origin, line.line);
            break;
        case Role::Name:
            if (!m_hasName) {
                m_name.assign(value); // used only when no FN comes: see finishCard
                m_hasName = true;
            }
            break;
        case Role::Organization:
            m_card.offerName(NamePart::Organization, joinNonEmpty(splitComponents(value), {0, 1, 2, 3}, ", "),
                             origin);
            break;
        case Role::Label:
            m_card.offer(&Contact::address, unescapeText(value), kFallbackRank,
                         {ValueSource::VCardProperty, line.name, 0, false});
            break;
        default: break;
        }
    }

    void handleCard(const ContentLine& line) {
        const bool begin = isProperty(line.name, "BEGIN");
        if (!isVCardWord(line.value)) {
            if (m_inCard) {
                spoil(ImportProblem::VCardNotACard, line.line, std::string(line.value));
            } else {
                outside(line.line, line.name);
            }
            return;
        }
        if (begin) {
            if (m_inCard) {
                skipCard(ImportProblem::VCardUnclosed, m_cardLine, {});
            }
            m_inCard = true;
            m_spoiled = false;
            m_version4 = false;
            m_hasName = false;
            m_agentBefore = false;
            m_cardCharsetFound = false;
            m_cardCharset.clear();
            m_cardText = m_lines.rest();
            m_cardLine = line.line;
            m_card.start(line.line);
        } else if (!m_inCard) {
            outside(line.line, line.name);
        } else if (m_spoiled) {
            m_inCard = false;
            m_sink.skip(m_problem.problem, m_problem.line, std::move(m_problem.detail));
            m_card.discard();
        } else {
            m_inCard = false;
            finishCard();
        }
        m_outsideRun = false;
    }

    // A line of a card within the card under way (an AGENT's): left out.
    void skipNested(const ContentLine& line) {
        if (line.hasColon && isVCardWord(line.value)) {
            if (isProperty(line.name, "BEGIN")) {
                ++m_nested;
            } else if (isProperty(line.name, "END")) {
                --m_nested;
            }
        }
    }

    // The first charset known here that a CHARSET parameter of the card under
    // way names, for its raw values that name none and are not UTF-8; empty
    // (Windows-1252) when none does.
    std::string_view cardCharset() {
        if (m_cardCharsetFound) {
            return m_cardCharset;
        }
        m_cardCharsetFound = true;
        std::string_view card = m_cardText;
        for (std::size_t end = 0; end < card.size(); ++end) {
            if ((card[end] == 'E' || card[end] == 'e') && card.size() - end >= 9 &&
                isProperty(card.substr(end, 9), "END:VCARD")) {
                card = card.substr(0, end);
                break;
            }
        }
        constexpr std::string_view kCharset = "CHARSET=";
        for (std::size_t at = 0; at + kCharset.size() < card.size(); ++at) {
            if (!isProperty(card.substr(at, kCharset.size()), kCharset)) {
                continue;
            }
            const std::string_view rest = card.substr(at + kCharset.size());
            const std::string_view name = rest.substr(0, std::min(rest.find_first_of(";:,\r\n"), rest.size()));
            if (!isProperty(name, "UTF-8") && unicode::decodeCharset({}, name)) {
                m_cardCharset.assign(name);
                break;
            }
        }
        return m_cardCharset;
    }

    // The card under way is malformed: it is skipped at its END.
    void spoil(ImportProblem problem, long line, std::string detail) {
        if (!m_spoiled) {
            m_spoiled = true;
            m_problem = {problem, line, std::move(detail)};
        }
    }

    void skipCard(ImportProblem problem, long line, std::string detail) {
        m_sink.skip(m_spoiled ? m_problem.problem : problem, m_spoiled ? m_problem.line : line,
                    m_spoiled ? std::move(m_problem.detail) : std::move(detail));
        m_card.discard();
        m_inCard = false;
    }

    // N (family; given; additional; prefixes; suffixes) gives the name only
    // when no FN does: it is split then.
    void finishCard() {
        if (m_hasName && !m_card.has(&Contact::name)) {
            const std::vector<std::string> parts = splitComponents(m_name);
            const ValueOrigin silent{ValueSource::VCardProperty, "N", 0, false};
            for (const auto& [index, part] : {std::pair{1u, NamePart::Given}, std::pair{2u, NamePart::Middle},
                                               std::pair{0u, NamePart::Family}}) {
                if (index < parts.size()) {
                    m_card.offerName(part, parts[index], silent);
                }
            }
        }
        m_card.finish(m_sink);
    }

    void outside(long line, std::string_view name) {
        if (!m_outsideRun) {
            m_sink.skip(ImportProblem::VCardOutsideCard, line, std::string(name));
            m_outsideRun = true;
        }
    }

    ContentLineReader m_lines;
    ImportSink& m_sink;
    ContactBuilder m_card;
    bool m_inCard = false;
    bool m_spoiled = false;
    bool m_outsideRun = false;
    bool m_version4 = false; // the card under way is a vCard 4.0
    bool m_hasName = false;  // an N was given, held in m_name
    std::string m_name;
    bool m_agentBefore = false; // the line before was an AGENT without a value: its card comes next
    int m_nested = 0;           // the depth of the AGENT's card being left out
    std::string_view m_cardText; // the text after the BEGIN of the card under way
    bool m_cardCharsetFound = false;
    std::string m_cardCharset;
    long m_cardLine = 0;
    ImportIssue m_problem;
};

constexpr std::size_t kFoldWidth = 75;

// Appends a content line, folded so that no line passes 75 bytes (CR LF apart)
// and no UTF-8 character is cut.
void appendFolded(std::string& out, std::string_view line) {
    std::size_t width = kFoldWidth;
    while (line.size() > width) {
        std::size_t cut = width;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        out.append(line.substr(0, cut));
        out += "\r\n ";
        line.remove_prefix(cut);
        width = kFoldWidth - 1;
    }
    out.append(line);
    out += "\r\n";
}

void appendEscaped(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        switch (const char c = text[i]) {
        case '\\':
        case ',':
        case ';': out += '\\'; out += c; break;
        case '\r':
            out += "\\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i; // CR LF is one line break
            }
            break;
        case '\n': out += "\\n"; break;
        default: out += c; break;
        }
    }
}

void appendProperty(std::string& out, std::string& line, std::string_view head, std::string_view text,
                    std::string_view tail = {}) {
    line.assign(head);
    appendEscaped(line, text);
    line += tail;
    appendFolded(out, line);
}

} // namespace

void readVCardContacts(std::string_view text, ImportSink& sink) {
    std::size_t cards = 0; // room for the records at once, rather than copies as they grow
    for (std::size_t end = text.find("END:VCARD"); end != std::string_view::npos; end = text.find("END:VCARD", end + 9)) {
        ++cards;
    }
    sink.reserve(cards);
    VCardReader(text, sink).read();
}

ImportReport readVCardContacts(std::string_view text) {
    ImportSink sink;
    readVCardContacts(text, sink);
    return sink.take(ContactFormat::VCard);
}

void appendVCard(std::string& out, const Contact& contact) {
    thread_local std::string line;
    thread_local std::string head;
    out += "BEGIN:VCARD\r\nVERSION:3.0\r\n";
    appendProperty(out, line, "FN:", contact.name);
    appendProperty(out, line, "N:", contact.name, ";;;;");
    for (const ExchangeField& field : kExchangeFields) {
        const std::string& text = contact.*field.text;
        if (field.text == &Contact::name || text.empty()) {
            continue;
        }
        head.assign(field.vcardName);
        if (!field.vcardType.empty()) {
            head.append(";TYPE=").append(field.vcardType);
        }
        head += ':';
        const bool adr = field.text == &Contact::address;
        if (adr) {
            head += ";;"; // the whole address in the street part
        }
        appendProperty(out, line, head, text, adr ? ";;;;" : "");
    }
    out += "END:VCARD\r\n";
}

} // namespace fichelia::exchange
