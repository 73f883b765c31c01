#include "exchange/VCardContacts.h"

#include <algorithm>
#include <array>
#include <climits>

#include "exchange/PostalAddress.h"
#include "exchange/VCardLines.h"

namespace fichelia::exchange {

namespace {

using namespace vcard;

// Where a property's value goes. The first eight are fields of the record.
enum class Target { Nom, Adresse, Tel, Gsm, Fax, Mail, Site, Commentaire, Name, Organization, Card, Ignored, None };
constexpr std::size_t kCandidateCount = 8;

struct PropertyRule {
    std::string_view name;
    Target target;
};

// The properties we read, those that describe the card rather than the
// contact, and those a name (N beside FN) or a label (Apple's X-ABLabel of a
// group) repeats. Every other property holding a value is left out, counted.
constexpr std::array kProperties = std::to_array<PropertyRule>({
    {"FN", Target::Nom},
    {"N", Target::Name},
    {"ORG", Target::Organization},
    {"TEL", Target::Tel}, // Gsm or Fax by its type
    {"EMAIL", Target::Mail},
    {"URL", Target::Site},
    {"NOTE", Target::Commentaire},
    {"ADR", Target::Adresse},
    {"BEGIN", Target::Card},
    {"END", Target::Card},
    {"VERSION", Target::Ignored},
    {"PRODID", Target::Ignored},
    {"REV", Target::Ignored},
    {"UID", Target::Ignored},
    {"KIND", Target::Ignored},
    {"SOURCE", Target::Ignored},
    {"CLIENTPIDMAP", Target::Ignored},
    {"LABEL", Target::Ignored}, // the address ADR gives, ready for an envelope
    {"X-ABLABEL", Target::Ignored},
    {"X-ABUID", Target::Ignored},
    {"X-ABADR", Target::Ignored}, // the country whose layout ADR follows
});

// How a value that lost to another is counted.
constexpr std::array<std::string_view, kCandidateCount> kExtraKinds = {
    "FN en plus", "ADR en plus", "TEL en plus", "TEL (cell) en plus", "TEL (fax) en plus", "EMAIL en plus",
    "URL en plus", "NOTE en plus",
};

Target targetOf(std::string_view name) {
    for (const PropertyRule& rule : kProperties) {
        if (isProperty(name, rule.name)) {
            return rule.target;
        }
    }
    return Target::None;
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
    const std::vector<std::string> parts = splitComponents(value);
    const auto part = [&parts](std::size_t index) {
        return index < parts.size() ? std::string_view(parts[index]) : std::string_view();
    };
    PostalAddress address;
    address.street = {part(0), part(1), part(2)};
    address.locality = part(3);
    address.region = part(4);
    address.postalCode = part(5);
    address.country = part(6);
    return formatFrenchAddress(address);
}

// The values of one card as they come, the best for each field kept.
class CardBuilder {
public:
    explicit CardBuilder(long beginLine) : m_beginLine(beginLine) {}

    long beginLine() const { return m_beginLine; }

    void offer(Target target, std::string&& text, int pref, long line, ImportSink& sink) {
        if (text.empty()) {
            return;
        }
        switch (target) {
        case Target::Name:
            if (m_name.empty()) {
                m_name = std::move(text);
            }
            return;
        case Target::Organization:
            if (m_organization.empty()) {
                m_organization = std::move(text);
            } else {
                sink.leaveOut("ORG en plus");
            }
            return;
        default: break;
        }
        const auto index = static_cast<std::size_t>(target);
        Candidate& current = m_candidates[index];
        const int rank = pref > 0 ? pref : INT_MAX;
        if (current.text.empty() || rank < current.rank) {
            if (!current.text.empty()) {
                sink.leaveOut(kExtraKinds[index]);
            }
            current = {std::move(text), rank, line};
        } else {
            sink.leaveOut(kExtraKinds[index]);
        }
    }

    void finish(ImportSink& sink) {
        annuaire contact;
        const auto take = [this](Target target) -> std::string& {
            return m_candidates[static_cast<std::size_t>(target)].text;
        };
        contact.nom = std::move(take(Target::Nom));
        if (contact.nom.empty()) {
            contact.nom = std::move(m_name);
        }
        if (contact.nom.empty()) {
            contact.nom = std::move(m_organization);
        } else if (!m_organization.empty()) {
            sink.leaveOut("ORG");
        }
        contact.adresse = std::move(take(Target::Adresse));
        contact.tel = std::move(take(Target::Tel));
        contact.gsm = std::move(take(Target::Gsm));
        contact.fax = std::move(take(Target::Fax));
        contact.mail = std::move(take(Target::Mail));
        contact.site = std::move(take(Target::Site));
        contact.commentaire = std::move(take(Target::Commentaire));
        sink.add(std::move(contact), m_candidates[static_cast<std::size_t>(Target::Site)].line);
    }

private:
    struct Candidate {
        std::string text;
        int rank = INT_MAX;
        long line = 0;
    };

    long m_beginLine;
    std::array<Candidate, kCandidateCount> m_candidates;
    std::string m_name;         // from N
    std::string m_organization; // from ORG
};

// The text a property gives its field, escapes undone.
std::string fieldText(Target target, std::string_view value) {
    switch (target) {
    case Target::Adresse: return formatAdr(value);
    case Target::Name: {
        // N: family; given; additional; prefixes; suffixes
        return joinNonEmpty(splitComponents(value), {1, 2, 0}, " ");
    }
    case Target::Organization: return joinNonEmpty(splitComponents(value), {0, 1, 2, 3}, ", ");
    case Target::Tel:
        if (value.size() > 4 && isProperty(value.substr(0, 4), "tel:")) {
            value.remove_prefix(4); // vCard 4.0 writes numbers as tel: addresses
        }
        return unescapeText(value);
    default: return unescapeText(value);
    }
}

class VCardReader {
public:
    explicit VCardReader(std::string_view text) : m_lines(text) {}

    ImportResult read() {
        std::string error;
        while (const auto line = m_lines.next(error)) {
            if (!error.empty()) {
                m_sink.fail(line->line, error);
                break;
            }
            if (!handle(*line)) {
                break;
            }
        }
        if (m_card && !m_sink.failed()) {
            failUnclosed();
        }
        return m_sink.take();
    }

private:
    bool handle(const ContentLine& line) {
        Target target = targetOf(line.name);
        if (target == Target::Card) {
            const bool begin = isProperty(line.name, "BEGIN");
            if (!isProperty(line.value, "VCARD")) {
                m_sink.fail(line.line, "seules des cartes BEGIN:VCARD ... END:VCARD sont attendues");
            } else if (begin && m_card) {
                failUnclosed();
            } else if (begin) {
                m_card.emplace(line.line);
            } else if (!m_card) {
                m_sink.fail(line.line, "END:VCARD sans BEGIN:VCARD");
            } else {
                m_card->finish(m_sink);
                m_card.reset();
            }
            return !m_sink.failed();
        }
        if (!m_card) {
            m_sink.fail(line.line, "ligne hors d'une carte (BEGIN:VCARD attendu)");
            return false;
        }
        const Parameters parameters = parseParameters(line.params);
        std::string decoded;
        std::string_view value = line.value;
        // A value as it stands is already UTF-8: the whole text was decoded, and
        // its CHARSET, if any, was the file's.
        if (parameters.encoding != Encoding::Plain) {
            std::string error;
            auto text = decodeValue(line.value, parameters, error);
            if (!text) {
                m_sink.fail(line.line, error);
                return false;
            }
            decoded = std::move(*text);
            value = decoded;
        }
        if (target == Target::Ignored || value.empty()) {
            return true;
        }
        if (target == Target::None) {
            m_sink.leaveOut(upperCase(line.name));
            return true;
        }
        std::string text = fieldText(target, value);
        if (target == Target::Tel) {
            target = parameters.cell ? Target::Gsm : parameters.fax ? Target::Fax : Target::Tel;
        }
        m_card->offer(target, std::move(text), parameters.pref, line.line, m_sink);
        return true;
    }

    void failUnclosed() {
        m_sink.fail(m_card->beginLine(), "carte commencée ici sans END:VCARD");
    }

    ContentLineReader m_lines;
    ImportSink m_sink;
    std::optional<CardBuilder> m_card;
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

ImportResult readVCardContacts(std::string_view text) { return VCardReader(text).read(); }

void appendVCard(std::string& out, const annuaire& contact) {
    thread_local std::string line;
    out += "BEGIN:VCARD\r\nVERSION:3.0\r\n";
    appendProperty(out, line, "FN:", contact.nom);
    appendProperty(out, line, "N:", contact.nom, ";;;;");
    struct Optional {
        std::string_view head;
        const std::string& text;
        std::string_view tail;
    };
    for (const Optional& property : {
             Optional{"TEL;TYPE=voice:", contact.tel, {}},
             Optional{"TEL;TYPE=cell:", contact.gsm, {}},
             Optional{"TEL;TYPE=fax:", contact.fax, {}},
             Optional{"EMAIL;TYPE=internet:", contact.mail, {}},
             Optional{"URL:", contact.site, {}},
             Optional{"NOTE:", contact.commentaire, {}},
             Optional{"ADR:;;", contact.adresse, ";;;;"},
         }) {
        if (!property.text.empty()) {
            appendProperty(out, line, property.head, property.text, property.tail);
        }
    }
    out += "END:VCARD\r\n";
}

} // namespace fichelia::exchange
