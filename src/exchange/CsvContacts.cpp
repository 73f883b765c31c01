#include "exchange/CsvContacts.h"

#include <csv.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "exchange/CsvHeader.h"
#include "exchange/PostalAddress.h"

namespace fichelia::exchange {

namespace {

using enum CsvColumn;

// Outlook writes this for every date nobody gave.
bool isEmptyValue(std::string_view value) { return value.empty() || value == "0/0/00" || value == "00/00/00"; }

bool isBlankLine(std::string_view line) { return line.find_first_not_of("\r\n") == std::string_view::npos; }

// Without a header row, columns follow the record's order.
constexpr std::array<CsvColumn, kFieldCount> kRecordOrderColumns = {DisplayName, FullAddress, Tel, Gsm,
                                                                   Fax,         Mail,        Site, Notes};

// The address columns of one group within a row.
struct AddressGroup {
    int group = 0;
    std::string_view full;
    PostalAddress parts;
    std::vector<std::size_t> columns; // those holding a value
};

// Turns the cells of each row into a contact, by the roles of the columns.
class RowMapper {
public:
    RowMapper(std::vector<CsvColumnRole> roles, std::vector<std::string> names)
        : m_roles(std::move(roles)), m_names(std::move(names)) {
        for (std::size_t i = 0; i < m_roles.size(); ++i) {
            m_labelOf.push_back(labelColumn(i));
        }
    }

    void map(const std::vector<std::string>& cells, std::size_t count, long line, ImportSink& sink) {
        annuaire contact;
        std::array<std::string_view, 4> names{}; // first, middle, last, organisation
        std::size_t organisationColumn = 0;
        m_groupCount = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const std::string_view value = cells[i];
            if (isEmptyValue(value)) {
                continue;
            }
            const CsvColumnRole role = roleAt(i);
            switch (role.column) {
            case Unknown: sink.leaveOut(kindOf(i)); break;
            case Silent:
            case PhoneLabel: break;
            case DisplayName: offer(contact.nom, value, i, sink); break;
            case FirstName: offerPart(names[0], value, i, sink); break;
            case MiddleName: offerPart(names[1], value, i, sink); break;
            case LastName: offerPart(names[2], value, i, sink); break;
            case Organization:
                organisationColumn = names[3].empty() ? i : organisationColumn;
                offerPart(names[3], value, i, sink);
                break;
            case FullAddress:
            case Street:
            case PostalCode:
            case Locality:
            case Region:
            case Country: addAddressPart(role, value, i); break;
            case Tel: offer(contact.tel, value, i, sink); break;
            case Gsm: offer(contact.gsm, value, i, sink); break;
            case Fax: offer(contact.fax, value, i, sink); break;
            case PhoneValue: offerPhone(contact, cells, count, value, i, sink); break;
            case Mail: offer(contact.mail, value, i, sink); break;
            case Site: offer(contact.site, value, i, sink); break;
            case Notes: offer(contact.commentaire, value, i, sink); break;
            }
        }
        const bool named = !contact.nom.empty();
        if (!named) {
            for (std::size_t part = 0; part < 3; ++part) {
                if (!names[part].empty()) {
                    contact.nom += contact.nom.empty() ? "" : " ";
                    contact.nom += names[part];
                }
            }
        }
        if (contact.nom.empty()) {
            contact.nom = names[3];
        } else if (!names[3].empty()) {
            sink.leaveOut(kindOf(organisationColumn));
        }
        takeAddress(contact, sink);
        sink.add(std::move(contact), line);
    }

private:
    CsvColumnRole roleAt(std::size_t column) const {
        return column < m_roles.size() ? m_roles[column] : CsvColumnRole{};
    }

    std::string kindOf(std::size_t column) const {
        if (column < m_names.size()) {
            return "colonne « " + m_names[column] + " »";
        }
        return "colonne " + std::to_string(column + 1);
    }

    // The label column of a numbered phone, or npos.
    std::size_t labelColumn(std::size_t column) const {
        if (m_roles[column].column != PhoneValue) {
            return std::string::npos;
        }
        for (std::size_t i = 0; i < m_roles.size(); ++i) {
            if (m_roles[i].column == PhoneLabel && m_roles[i].group == m_roles[column].group) {
                return i;
            }
        }
        return std::string::npos;
    }

    void offer(std::string& field, std::string_view value, std::size_t column, ImportSink& sink) const {
        if (field.empty()) {
            field.assign(value);
        } else {
            sink.leaveOut(kindOf(column));
        }
    }

    void offerPart(std::string_view& part, std::string_view value, std::size_t column, ImportSink& sink) const {
        if (part.empty()) {
            part = value;
        } else {
            sink.leaveOut(kindOf(column));
        }
    }

    void offerPhone(annuaire& contact, const std::vector<std::string>& cells, std::size_t count,
                    std::string_view value, std::size_t column, ImportSink& sink) const {
        const std::size_t label = m_labelOf[column];
        const CsvColumn kind = label < count ? phoneKindOfLabel(cells[label]) : Tel;
        offer(kind == Gsm ? contact.gsm : kind == Fax ? contact.fax : contact.tel, value, column, sink);
    }

    void addAddressPart(CsvColumnRole role, std::string_view value, std::size_t column) {
        AddressGroup* group = nullptr;
        for (std::size_t g = 0; g < m_groupCount; ++g) {
            if (m_groups[g].group == role.group) {
                group = &m_groups[g];
            }
        }
        if (group == nullptr) {
            if (m_groupCount == m_groups.size()) {
                m_groups.emplace_back();
            }
            group = &m_groups[m_groupCount++];
            group->group = role.group;
            group->full = {};
            group->parts = {};
            group->columns.clear();
        }
        group->columns.push_back(column);
        switch (role.column) {
        case FullAddress: group->full = group->full.empty() ? value : group->full; break;
        case Street: group->parts.street.push_back(value); break;
        case PostalCode: group->parts.postalCode = value; break;
        case Locality: group->parts.locality = value; break;
        case Region: group->parts.region = value; break;
        default: group->parts.country = value; break;
        }
    }

    // The first address given is the contact's; the others are left out.
    void takeAddress(annuaire& contact, ImportSink& sink) const {
        for (std::size_t g = 0; g < m_groupCount; ++g) {
            const AddressGroup& group = m_groups[g];
            if (g == 0) {
                // Street, locality and country written the French way, rather
                // than as the exporting program laid them out.
                contact.adresse = group.parts.empty() ? std::string(group.full) : formatFrenchAddress(group.parts);
                continue;
            }
            for (const std::size_t column : group.columns) {
                sink.leaveOut(kindOf(column));
            }
        }
    }

    std::vector<CsvColumnRole> m_roles;
    std::vector<std::string> m_names;
    std::vector<std::size_t> m_labelOf;
    std::vector<AddressGroup> m_groups; // of the row under way, kept for their room
    std::size_t m_groupCount = 0;
};

// Feeds libcsv line by line, so that every row and every error knows its line.
class CsvReader {
public:
    explicit CsvReader(char separator) {
        csv_init(&m_parser, CSV_STRICT | CSV_STRICT_FINI);
        csv_set_delim(&m_parser, static_cast<unsigned char>(separator));
        // Spaces and TABs around values are the user's: keep them.
        csv_set_space_func(&m_parser, [](unsigned char) { return 0; });
    }
    ~CsvReader() { csv_free(&m_parser); }
    CsvReader(const CsvReader&) = delete;
    CsvReader& operator=(const CsvReader&) = delete;

    ImportResult read(std::string_view text) {
        m_sink.reserve(std::count(text.begin(), text.end(), '\n') + 1);
        std::size_t pos = 0;
        while (pos < text.size() && !m_sink.failed()) {
            const auto* lf = static_cast<const char*>(std::memchr(text.data() + pos, '\n', text.size() - pos));
            const std::size_t end = lf != nullptr ? static_cast<std::size_t>(lf - text.data()) + 1 : text.size();
            ++m_line;
            if (m_rowLine == 0 && !isBlankLine(text.substr(pos, end - pos))) {
                m_rowLine = m_line; // rows end with lines; blank lines hold none
            }
            if (csv_parse(&m_parser, text.data() + pos, end - pos, onField, onRow, this) != end - pos) {
                failOnParser(m_line);
            }
            pos = end;
        }
        if (!m_sink.failed() && csv_fini(&m_parser, onField, onRow, this) != 0) {
            m_sink.fail(m_rowLine, "guillemet ouvert jamais refermé (le champ court jusqu'à la fin du fichier)");
        }
        return m_sink.take();
    }

private:
    static void onField(void* data, std::size_t size, void* self) {
        auto& reader = *static_cast<CsvReader*>(self);
        if (reader.m_cellCount == reader.m_cells.size()) {
            reader.m_cells.emplace_back();
        }
        reader.m_cells[reader.m_cellCount++].assign(static_cast<const char*>(data), size);
    }

    static void onRow(int, void* self) { static_cast<CsvReader*>(self)->endRow(); }

    void endRow() {
        if (m_sink.failed()) {
            return;
        }
        if (!m_mapper) {
            std::vector<std::string> first(m_cells.begin(), m_cells.begin() + static_cast<long>(m_cellCount));
            if (auto roles = recognizeCsvHeader(first)) {
                m_mapper.emplace(std::move(*roles), std::move(first));
                finishRow();
                return;
            }
            std::vector<CsvColumnRole> roles;
            for (const CsvColumn column : kRecordOrderColumns) {
                roles.push_back({column, 0});
            }
            m_mapper.emplace(std::move(roles), std::vector<std::string>());
        }
        m_mapper->map(m_cells, m_cellCount, m_rowLine, m_sink);
        finishRow();
    }

    void finishRow() {
        m_cellCount = 0;
        m_rowLine = 0;
    }

    void failOnParser(long line) {
        if (csv_error(&m_parser) == CSV_EPARSE) {
            m_sink.fail(line, "guillemet mal placé : un champ entre guillemets doit être suivi du séparateur ou "
                              "de la fin de ligne, et un guillemet dans un champ doit être doublé");
        } else {
            m_sink.fail(line, "mémoire insuffisante");
        }
    }

    csv_parser m_parser{};
    ImportSink m_sink;
    std::optional<RowMapper> m_mapper;
    std::vector<std::string> m_cells; // of the row under way, kept for their room
    std::size_t m_cellCount = 0;
    long m_line = 0;
    long m_rowLine = 0; // where the row under way began; 0 between rows
};

void appendCsvField(std::string& out, std::string_view field, char separator) {
    const bool quoted = field.find_first_of(std::string{separator, '"', '\r', '\n'}) != std::string_view::npos;
    if (!quoted) {
        out += field;
        return;
    }
    out += '"';
    for (const char c : field) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    out += '"';
}

} // namespace

char findCsvSeparator(std::string_view text) {
    std::size_t commas = 0;
    std::size_t semicolons = 0;
    std::size_t tabs = 0;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (c == '\n' || c == '\r') {
            break;
        } else {
            commas += c == ',';
            semicolons += c == ';';
            tabs += c == '\t';
        }
    }
    if (semicolons > 0 && semicolons >= tabs && semicolons >= commas) {
        return ';';
    }
    return tabs > 0 && tabs >= commas ? '\t' : ',';
}

ImportResult readCsvContacts(std::string_view text, const CsvOptions& options) {
    CsvReader reader(options.separator != 0 ? options.separator : findCsvSeparator(text));
    return reader.read(text);
}

void appendCsvHeader(std::string& out, char separator) {
    for (const RecordField& field : kRecordFields) {
        if (field.text != kRecordFields.front().text) {
            out += separator;
        }
        appendCsvField(out, field.caption, separator);
    }
    out += "\r\n";
}

void appendCsvContact(std::string& out, const annuaire& contact, char separator) {
    for (const RecordField& field : kRecordFields) {
        if (field.text != kRecordFields.front().text) {
            out += separator;
        }
        appendCsvField(out, contact.*field.text, separator);
    }
    out += "\r\n";
}

} // namespace fichelia::exchange
