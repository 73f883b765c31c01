#include "exchange/CsvContacts.h"

#include <csv.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "exchange/CsvHeader.h"
#include "exchange/ContactBuilder.h"

namespace fichelia::exchange {

namespace {

using enum CsvColumn;

// Outlook writes this for every date nobody gave (the German one with dots).
bool isEmptyDate(std::string_view value) {
    return value == "0/0/00" || value == "00/00/00" || value == "0.0.00" || value == "00.00.00";
}

bool isBlankLine(std::string_view line) { return line.find_first_not_of("\r\n") == std::string_view::npos; }

// Google Contacts puts the values of one kind in one cell: "a ::: b".
constexpr std::string_view kMultiValueSeparator = " ::: ";

// The roles of the columns of a file without a header row: the record's order.
std::vector<CsvColumnRole> recordOrderRoles() {
    std::vector<CsvColumnRole> roles;
    for (const RecordField& field : kRecordFields) {
        roles.push_back(field.text == &Contact::name      ? CsvColumnRole{DisplayName}
                        : field.text == &Contact::address ? CsvColumnRole{FullAddress}
                                                          : CsvColumnRole{Field, 0, field.text});
    }
    return roles;
}

// A first row that reads as a header: several cells, none empty, none with a
// digit, an '@' or a ':' (values have them: numbers, mail and web addresses).
bool looksLikeHeader(const std::vector<std::string>& cells, std::size_t count) {
    if (count < 3) {
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& cell = cells[i];
        if (cell.empty() || cell.size() > 60 || cell.find_first_of("0123456789@:") != std::string::npos) {
            return false;
        }
    }
    return true;
}

// A formula-looking cell that our export marked with an apostrophe (see
// appendCsvContact) loses exactly that apostrophe.
void dropFormulaMark(std::string& cell);

// Turns the cells of each row into a contact, by the roles of the columns.
class RowMapper {
public:
    RowMapper(std::vector<CsvColumnRole> roles, std::vector<std::string> names)
        : m_roles(std::move(roles)), m_names(std::move(names)) {
        for (std::size_t i = 0; i < m_roles.size(); ++i) {
            m_labelOf.push_back(labelColumn(i));
        }
    }

    // The cells' texts are moved into the contact: a cell of a hundred
    // megabytes is not copied again.
    void map(std::vector<std::string>& cells, std::size_t count, long line, ImportSink& sink) {
        if (std::all_of(cells.begin(), cells.begin() + static_cast<long>(count),
                        [](const std::string& cell) { return cell.empty(); })) {
            return; // a row of separators only, as spreadsheets leave below a table
        }
        m_contact.start(line);
        for (std::size_t i = 0; i < count; ++i) {
            std::string& value = cells[i];
            const CsvColumnRole role = roleAt(i);
            if (value.empty() || (role.column == Date && isEmptyDate(value))) {
                continue;
            }
            const ValueOrigin origin = originOf(i);
            switch (role.column) {
            case Unknown:
            case Date: m_contact.leaveOut(origin); break;
            case Silent:
            case PhoneLabel: break;
            case DisplayName:
                offer(role, &Contact::name, value, kPlainRank, origin, line);
                break;
            case FirstName: m_contact.offerName(NamePart::Given, std::move(value), origin); break;
            case MiddleName: m_contact.offerName(NamePart::Middle, std::move(value), origin); break;
            case LastName: m_contact.offerName(NamePart::Family, std::move(value), origin); break;
            case Organization: m_contact.offerName(NamePart::Organization, std::move(value), origin); break;
            case FullAddress: address(role, AddressPart::Full, value, origin); break;
            case Street: address(role, AddressPart::Street, value, origin); break;
            case PostalCode: address(role, AddressPart::PostalCode, value, origin); break;
            case Locality: address(role, AddressPart::Locality, value, origin); break;
            case Region: address(role, AddressPart::Region, value, origin); break;
            case Country: address(role, AddressPart::Country, value, origin); break;
            case Field: offer(role, role.field, value, kPlainRank, origin, line); break;
            case FallbackPhone:
                offer(role, &Contact::phone, value, kFallbackRank, origin, line);
                break;
            case PhoneValue: {
                const std::size_t label = m_labelOf[i];
                const CsvColumnRole kind =
                    label < count ? phoneKindOfLabel(cells[label]) : CsvColumnRole{Field, 0, &Contact::phone};
                offer(role, kind.field, value, kind.column == FallbackPhone ? kFallbackRank : kPlainRank, origin,
                      line);
                break;
            }
            }
        }
        m_contact.finish(sink);
    }

private:
    CsvColumnRole roleAt(std::size_t column) const {
        return column < m_roles.size() ? m_roles[column] : CsvColumnRole{};
    }

    ValueOrigin originOf(std::size_t column) const {
        return {ValueSource::CsvColumn, column < m_names.size() ? std::string_view(m_names[column]) : std::string_view(),
                static_cast<int>(column + 1)};
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

    // In Google's numbered columns, the first of several values goes to the
    // field; the others are left out.
    void offer(CsvColumnRole role, RecordText field, std::string& value, int rank, const ValueOrigin& origin,
               long line) {
        std::size_t separator =
            role.group >= kNumberedGroupBase ? value.find(kMultiValueSeparator) : std::string_view::npos;
        m_contact.offer(field, separator == std::string::npos ? std::move(value) : value.substr(0, separator), rank,
                        origin, line);
        while (separator != std::string_view::npos) {
            separator = std::string_view(value).find(kMultiValueSeparator, separator + kMultiValueSeparator.size());
            m_contact.leaveOut(origin, field);
        }
    }

    void address(CsvColumnRole role, AddressPart part, std::string& value, const ValueOrigin& origin) {
        m_contact.offerAddressPart(role.group, part, std::move(value), origin);
    }

    std::vector<CsvColumnRole> m_roles;
    std::vector<std::string> m_names;
    std::vector<std::size_t> m_labelOf;
    ContactBuilder m_contact;
};

// Feeds libcsv line by line, so that every row and every problem knows its line.
class CsvReader {
public:
    CsvReader(char separator, ImportSink& sink) : m_separator(separator), m_sink(sink) { initParser(); }
    ~CsvReader() { csv_free(&m_parser); }
    CsvReader(const CsvReader&) = delete;
    CsvReader& operator=(const CsvReader&) = delete;

    void read(std::string_view text) {
        m_sink.reserve(std::count(text.begin(), text.end(), '\n') + 1);
        std::size_t pos = 0;
        while (pos < text.size() && !m_sink.refused()) {
            const auto* lf = static_cast<const char*>(std::memchr(text.data() + pos, '\n', text.size() - pos));
            const std::size_t end = lf != nullptr ? static_cast<std::size_t>(lf - text.data()) + 1 : text.size();
            ++m_line;
            if (m_rowLine == 0 && !isBlankLine(text.substr(pos, end - pos))) {
                m_rowLine = m_line; // rows end with lines; blank lines hold none
            }
            const std::string_view line = text.substr(pos, end - pos);
            if (m_parser.pstate == 0 && isPlainLine(line)) {
                splitPlainLine(line);
            } else if (csv_parse(&m_parser, line.data(), line.size(), onField, onRow, this) != line.size()) {
                parserFailed();
            }
            pos = end;
        }
        if (m_sink.refused()) {
            return;
        }
        if (csv_fini(&m_parser, onField, onRow, this) != 0) {
            // The field runs to the end of the file: nothing after its quote can be told apart.
            m_sink.refuse(ImportProblem::CsvUnclosedQuote, m_rowLine);
        } else if (m_heldHeader) {
            refuseHeader(); // a header and nothing else
        }
    }

private:
    void initParser() {
        csv_init(&m_parser, CSV_STRICT | CSV_STRICT_FINI);
        csv_set_delim(&m_parser, static_cast<unsigned char>(m_separator));
        // Spaces and TABs around values are the user's: keep them.
        csv_set_space_func(&m_parser, [](unsigned char) { return 0; });
    }

    // A line without quotes, between rows: its fields are where they lie, cut
    // at each separator. The parser, which copies each field into a buffer of
    // its own, would need twice the memory of a huge field.
    static bool isPlainLine(std::string_view line) {
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
            line.remove_suffix(1);
        }
        return line.find_first_of("\"\r") == std::string_view::npos;
    }

    void splitPlainLine(std::string_view line) {
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
            line.remove_suffix(1);
        }
        if (line.empty()) {
            return; // a blank line holds no row
        }
        for (std::size_t start = 0;;) {
            const std::size_t end = std::min(line.find(m_separator, start), line.size());
            onField(const_cast<char*>(line.data() + start), end - start, this);
            if (end == line.size()) {
                break;
            }
            start = end + 1;
        }
        endRow();
    }

    static void onField(void* data, std::size_t size, void* self) {
        auto& reader = *static_cast<CsvReader*>(self);
        if (reader.m_cellCount == reader.m_cells.size()) {
            reader.m_cells.emplace_back();
        }
        reader.m_cells[reader.m_cellCount++].assign(static_cast<const char*>(data), size);
    }

    static void onRow(int, void* self) { static_cast<CsvReader*>(self)->endRow(); }

    void endRow() {
        if (m_sink.refused()) {
            return;
        }
        if (!m_mapper && !m_heldHeader) {
            std::vector<std::string> first(m_cells.begin(), m_cells.begin() + static_cast<long>(m_cellCount));
            if (auto roles = recognizeCsvHeader(first)) {
                m_mapper.emplace(std::move(*roles), std::move(first));
                finishRow();
                return;
            }
            if (looksLikeHeader(m_cells, m_cellCount)) {
                // A header naming nothing we know, unless the next row reads the same way.
                m_heldHeader.emplace(std::move(first));
                m_heldHeaderLine = m_rowLine;
                finishRow();
                return;
            }
            m_mapper.emplace(recordOrderRoles(), std::vector<std::string>());
        } else if (!m_mapper) {
            if (!looksLikeHeader(m_cells, m_cellCount)) {
                refuseHeader();
                return;
            }
            m_mapper.emplace(recordOrderRoles(), std::vector<std::string>());
            mapRow(*m_heldHeader, m_heldHeader->size(), m_heldHeaderLine);
            m_heldHeader.reset();
        }
        mapRow(m_cells, m_cellCount, m_rowLine);
        finishRow();
    }

    void mapRow(std::vector<std::string>& cells, std::size_t count, long line) {
        for (std::size_t i = 0; i < count; ++i) {
            dropFormulaMark(cells[i]);
        }
        m_mapper->map(cells, count, line, m_sink);
    }

    void refuseHeader() {
        std::string columns;
        for (const std::string& cell : *m_heldHeader) {
            columns += columns.empty() ? "" : "\t";
            columns += cell;
        }
        m_sink.refuse(ImportProblem::UnknownHeader, m_heldHeaderLine, std::move(columns));
    }

    void finishRow() {
        m_cellCount = 0;
        m_rowLine = 0;
    }

    // A misplaced quote: the row is skipped, and the parser starts again at the next line.
    void parserFailed() {
        if (csv_error(&m_parser) != CSV_EPARSE) {
            m_sink.refuse(ImportProblem::OutOfMemory, m_line);
            return;
        }
        m_sink.skip(ImportProblem::CsvMisplacedQuote, m_line);
        csv_free(&m_parser);
        initParser();
        finishRow();
    }

    char m_separator;
    csv_parser m_parser{};
    ImportSink& m_sink;
    std::optional<RowMapper> m_mapper;
    std::optional<std::vector<std::string>> m_heldHeader;
    long m_heldHeaderLine = 0;
    std::vector<std::string> m_cells; // of the row under way, kept for their room
    std::size_t m_cellCount = 0;
    long m_line = 0;
    long m_rowLine = 0; // where the row under way began; 0 between rows
};

// Cells that a spreadsheet would run as a formula: they begin, after any
// apostrophes, with one of these.
bool isFormulaStart(std::string_view cell) {
    const std::size_t first = cell.find_first_not_of('\'');
    return first != std::string_view::npos && std::string_view("=+-@\t\r").find(cell[first]) != std::string_view::npos;
}

void dropFormulaMark(std::string& cell) {
    if (cell.size() > 1 && cell.front() == '\'' && isFormulaStart(std::string_view(cell).substr(1))) {
        cell.erase(0, 1);
    }
}

void appendCsvField(std::string& out, std::string_view field, char separator) {
    std::string marked;
    if (isFormulaStart(field)) {
        // OWASP's advice against formula injection: the apostrophe makes it text.
        marked.reserve(field.size() + 1);
        marked.append(1, '\'').append(field);
        field = marked;
    }
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

bool startsWithCsvHeader(std::string_view text, char separator) {
    if (separator == 0) {
        separator = findCsvSeparator(text);
    }
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == separator) {
            cells.emplace_back();
        } else if (!quoted && c == '\n') {
            break;
        } else if (quoted || c != '\r') {
            cells.back() += c;
        }
    }
    return recognizeCsvHeader(cells).has_value();
}

char contactTableSeparator(std::string_view text, char separator, bool whole) {
    if (separator != 0) {
        return looksLikeContactTable(text, separator, whole) ? separator : 0;
    }
    // That of the first line first; a title above the table has none.
    for (const char candidate : {findCsvSeparator(text), ';', '\t', ','}) {
        if (looksLikeContactTable(text, candidate, whole)) {
            return candidate;
        }
    }
    return 0;
}

bool looksLikeContactTable(std::string_view text, char separator, bool whole) {
    if (separator == 0) {
        separator = findCsvSeparator(text);
    }
    constexpr std::size_t kRowsLooked = 50;
    std::vector<std::string> firstRow(1);
    std::vector<std::size_t> counts;
    std::size_t count = 0;
    bool quoted = false;
    bool blank = true;
    for (std::size_t i = 0; i <= text.size() && counts.size() < kRowsLooked; ++i) {
        const bool end = i == text.size();
        if (end && (!whole || quoted)) {
            break; // a row cut short
        }
        const char c = end ? '\n' : text[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (quoted && counts.empty()) {
            firstRow.back() += c;
        } else if (quoted) {
            continue;
        } else if (c == separator) {
            ++count;
            if (counts.empty()) {
                firstRow.emplace_back();
            }
        } else if (c == '\n') {
            if (!blank) {
                counts.push_back(count);
            }
            if (counts.size() == 1 && !blank && recognizeCsvHeader(firstRow)) {
                return true;
            }
            count = 0;
            blank = true;
            continue;
        } else if (c != '\r' && counts.empty()) {
            firstRow.back() += c;
        }
        blank = blank && (c == ' ' || c == '\r' || c == '\t') && c != separator;
    }
    if (counts.empty()) {
        return false;
    }
    // The count most rows share (a title line above the table may differ).
    std::size_t mostShared = 0;
    std::size_t same = 0;
    for (const std::size_t n : counts) {
        const auto sharing = static_cast<std::size_t>(std::count(counts.begin(), counts.end(), n));
        if (sharing > same) {
            same = sharing;
            mostShared = n;
        }
    }
    return mostShared >= 1 && same * 4 >= counts.size() * 3;
}

void readCsvContacts(std::string_view text, const CsvOptions& options, ImportSink& sink) {
    CsvReader reader(options.separator != 0 ? options.separator : findCsvSeparator(text), sink);
    reader.read(text);
}

ImportReport readCsvContacts(std::string_view text, const CsvOptions& options) {
    ImportSink sink;
    readCsvContacts(text, options, sink);
    return sink.take(ContactFormat::Csv);
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

void appendCsvContact(std::string& out, const Contact& contact, char separator) {
    for (const RecordField& field : kRecordFields) {
        if (field.text != kRecordFields.front().text) {
            out += separator;
        }
        appendCsvField(out, contact.*field.text, separator);
    }
    out += "\r\n";
}

} // namespace fichelia::exchange
