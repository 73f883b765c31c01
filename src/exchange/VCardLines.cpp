#include "exchange/VCardLines.h"

#include <algorithm>
#include <initializer_list>

#include "exchange/Base64.h"
#include "platform/Unicode.h"
#include "text/Windows1252.h"

namespace fichelia::exchange::vcard {

namespace {

char asciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiUpper(a[i]) != asciiUpper(b[i])) {
            return false;
        }
    }
    return true;
}

bool containsIgnoringCase(std::string_view text, std::string_view word) {
    for (std::size_t i = 0; i + word.size() <= text.size(); ++i) {
        if (equalsIgnoringCase(text.substr(i, word.size()), word)) {
            return true;
        }
    }
    return false;
}

// The first colon outside double quotes (parameter values may be quoted).
std::size_t valueColon(std::string_view line) {
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') {
            quoted = !quoted;
        } else if (line[i] == ':' && !quoted) {
            return i;
        }
    }
    return std::string_view::npos;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = asciiUpper(c);
    return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

std::optional<std::string> decodeQuotedPrintable(std::string_view value) {
    std::string bytes;
    bytes.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '=') {
            bytes += value[i];
            continue;
        }
        if (i + 1 == value.size()) {
            break; // a soft line break at the very end
        }
        const int high = i + 1 < value.size() ? hexDigit(value[i + 1]) : -1;
        const int low = i + 2 < value.size() ? hexDigit(value[i + 2]) : -1;
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return bytes;
}

bool isAnyOf(std::string_view word, std::initializer_list<std::string_view> words) {
    for (const std::string_view candidate : words) {
        if (equalsIgnoringCase(word, candidate)) {
            return true;
        }
    }
    return false;
}

bool isUtf8Name(std::string_view charset) {
    return charset.empty() || equalsIgnoringCase(charset, "UTF-8") || equalsIgnoringCase(charset, "UTF8");
}

void applyParameter(Parameters& parameters, std::string_view key, std::string_view value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    if (equalsIgnoringCase(key, "ENCODING")) {
        if (equalsIgnoringCase(value, "QUOTED-PRINTABLE")) {
            parameters.encoding = Encoding::QuotedPrintable;
        } else if (equalsIgnoringCase(value, "BASE64") || equalsIgnoringCase(value, "B")) {
            parameters.encoding = Encoding::Base64;
        }
        return;
    }
    if (equalsIgnoringCase(key, "CHARSET")) {
        parameters.charset = value;
        return;
    }
    if (equalsIgnoringCase(key, "PREF")) {
        int rank = 0;
        for (const char c : value) {
            rank = c >= '0' && c <= '9' && rank < 1000 ? rank * 10 + (c - '0') : rank;
        }
        parameters.pref = rank > 0 ? rank : 1;
        return;
    }
    if (equalsIgnoringCase(key, "VALUE")) {
        parameters.uri = equalsIgnoringCase(value, "uri");
        return;
    }
    if (!key.empty() && !equalsIgnoringCase(key, "TYPE")) {
        return; // VALUE=, LANGUAGE=, LABEL= ...: nothing for us
    }
    // TYPE values, comma-separated, or a bare 2.1 parameter.
    while (!value.empty()) {
        const std::size_t comma = value.find(',');
        const std::string_view type = value.substr(0, comma);
        if (equalsIgnoringCase(type, "CELL")) {
            parameters.cell = true;
        } else if (equalsIgnoringCase(type, "FAX")) {
            parameters.fax = true;
        } else if (isAnyOf(type, {"VOICE", "WORK", "HOME", "MAIN"})) {
            parameters.voice = true;
        } else if (isAnyOf(type, {"PAGER", "OTHER", "TEXT", "TEXTPHONE", "VIDEO", "MSG", "BBS", "MODEM"})) {
            parameters.fallback = true;
        } else if (equalsIgnoringCase(type, "PREF")) {
            parameters.pref = parameters.pref > 0 ? parameters.pref : 1;
        } else if (key.empty()) {
            applyParameter(parameters, "ENCODING", type); // 2.1: bare QUOTED-PRINTABLE or BASE64
        }
        value = comma == std::string_view::npos ? std::string_view() : value.substr(comma + 1);
    }
}

// What a value's lines hold, for the lines without a colon that may follow it.
enum class ValueKind { Plain, QuotedPrintable, Base64 };

ValueKind valueKind(std::string_view line) {
    const std::size_t colon = valueColon(line);
    const std::string_view head = line.substr(0, colon);
    // Parameters come after a ';': a name alone has none.
    if (colon == std::string_view::npos || head.find(';') == std::string_view::npos) {
        return ValueKind::Plain;
    }
    if (containsIgnoringCase(head, "QUOTED-PRINTABLE")) {
        return ValueKind::QuotedPrintable;
    }
    if (!containsIgnoringCase(head, "B")) {
        return ValueKind::Plain; // neither ENCODING=B nor BASE64: most lines, at once
    }
    const Parameters parameters = parseParameters(head.substr(head.find(';') + 1));
    return parameters.encoding == Encoding::Base64 ? ValueKind::Base64 : ValueKind::Plain;
}

bool isBase64Text(std::string_view line) {
    return !line.empty() && std::all_of(line.begin(), line.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/' ||
               c == '=';
    });
}

bool endsWithLoneBackslash(std::string_view text) {
    std::size_t count = 0;
    while (count < text.size() && text[text.size() - 1 - count] == '\\') {
        ++count;
    }
    return count % 2 == 1;
}

bool isSkipped(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos || line.front() == '#';
}

} // namespace

std::optional<ContentLine> ContentLineReader::next() {
    std::string_view line;
    do {
        if (m_lines.atEnd()) {
            return std::nullopt;
        }
        line = m_lines.next();
    } while (isSkipped(line));

    ContentLine content;
    content.line = m_lines.number();
    bool joined = false;
    const bool hasColon = valueColon(line) != std::string_view::npos;
    const ValueKind kind = hasColon ? valueKind(line) : ValueKind::Plain;
    for (;;) {
        const char next = m_lines.peek();
        const bool folded = next == ' ' || next == '\t';
        std::string_view sofar = joined ? std::string_view(m_unfolded) : line;
        const bool softBreak =
            kind == ValueKind::QuotedPrintable && !sofar.empty() && sofar.back() == '=' && !m_lines.atEnd();
        // A line without a colon that goes on with the value, written without folding.
        bool unfoldedRest = false;
        std::string_view restLine;
        if (!folded && !softBreak && hasColon && !m_lines.atEnd() &&
            (kind != ValueKind::Plain || endsWithLoneBackslash(sofar))) {
            restLine = m_lines.peekLine();
            unfoldedRest = !isSkipped(restLine) && valueColon(restLine) == std::string_view::npos &&
                           ((kind == ValueKind::Base64 && isBase64Text(restLine)) ||
                            kind == ValueKind::QuotedPrintable ||
                            (kind == ValueKind::Plain && endsWithLoneBackslash(sofar)));
        }
        if (!folded && !softBreak && !unfoldedRest) {
            break;
        }
        if (!joined) {
            m_unfolded.assign(line);
            joined = true;
        }
        if (softBreak) {
            m_unfolded.pop_back(); // the '=' of the soft line break; the next line is all data
            m_unfolded += m_lines.next();
        } else if (unfoldedRest) {
            m_lines.next();
            if (kind == ValueKind::QuotedPrintable) {
                m_unfolded += "=0D=0A";
            } else if (kind == ValueKind::Plain) {
                m_unfolded += 'n'; // the lone backslash and this make an escaped line break
            }
            m_unfolded += restLine;
        } else {
            m_unfolded += m_lines.next().substr(1);
        }
    }
    const std::string_view whole = joined ? std::string_view(m_unfolded) : line;
    const std::size_t colon = valueColon(whole);
    if (colon == std::string_view::npos) {
        content.hasColon = false;
        return content;
    }
    std::string_view head = whole.substr(0, colon);
    content.value = whole.substr(colon + 1);
    const std::size_t semicolon = head.find(';');
    content.name = head.substr(0, semicolon);
    content.params = semicolon == std::string_view::npos ? std::string_view() : head.substr(semicolon + 1);
    if (const std::size_t dot = content.name.rfind('.'); dot != std::string_view::npos) {
        content.name.remove_prefix(dot + 1); // the group ("item1.") ties lines together; we need no tie
    }
    return content;
}

Parameters parseParameters(std::string_view params) {
    Parameters parameters;
    while (!params.empty()) {
        // Split at the next ';' outside quotes.
        std::size_t end = 0;
        bool quoted = false;
        while (end < params.size() && (params[end] != ';' || quoted)) {
            quoted = params[end] == '"' ? !quoted : quoted;
            ++end;
        }
        const std::string_view parameter = params.substr(0, end);
        const std::size_t equals = parameter.find('=');
        if (equals == std::string_view::npos) {
            applyParameter(parameters, {}, parameter);
        } else {
            applyParameter(parameters, parameter.substr(0, equals), parameter.substr(equals + 1));
        }
        params = end < params.size() ? params.substr(end + 1) : std::string_view();
    }
    return parameters;
}

std::optional<std::string> decodeValue(std::string_view value, const Parameters& parameters, DecodeProblem& problem) {
    std::optional<std::string> bytes;
    switch (parameters.encoding) {
    case Encoding::Plain: return std::string(value); // the file was decoded as a whole already
    case Encoding::QuotedPrintable:
        bytes = decodeQuotedPrintable(value);
        if (!bytes) {
            problem = DecodeProblem::BadQuotedPrintable;
            return std::nullopt;
        }
        break;
    case Encoding::Base64:
        bytes = decodeBase64(value);
        if (!bytes) {
            problem = DecodeProblem::BadBase64;
            return std::nullopt;
        }
        break;
    }
    std::optional<std::string> converted;
    if (isUtf8Name(parameters.charset)) {
        converted = text::isValidUtf8(*bytes) ? std::move(*bytes) : text::windows1252ToUtf8(*bytes);
    } else {
        converted = unicode::decodeCharset(*bytes, parameters.charset);
    }
    if (!converted) {
        problem = DecodeProblem::UnknownCharset;
    } else {
        std::erase(*converted, '\0'); // no text holds one: a file that does is no text
    }
    return converted;
}

std::optional<std::string> decodeRawValue(std::string_view value, std::string_view charset, DecodeProblem& problem) {
    if (text::isValidUtf8(value)) {
        return std::string(value);
    }
    if (isUtf8Name(charset)) {
        return text::windows1252ToUtf8(value);
    }
    auto converted = unicode::decodeCharset(value, charset);
    if (!converted) {
        problem = DecodeProblem::UnknownCharset;
    } else {
        std::erase(*converted, '\0');
    }
    return converted;
}

std::string unescapeText(std::string_view value) {
    std::string text;
    text.reserve(value.size());
    // Copied in runs between backslashes: most values hold none.
    for (std::size_t pos = 0; pos < value.size();) {
        const std::size_t backslash = std::min(value.find('\\', pos), value.size());
        text.append(value, pos, backslash - pos);
        if (backslash + 1 >= value.size()) {
            text.append(value.substr(backslash)); // a backslash at the end stays
            break;
        }
        const char escaped = value[backslash + 1];
        if (escaped == 'n' || escaped == 'N') {
            text += '\n';
        } else if (escaped == '\\' || escaped == ';' || escaped == ',' || escaped == ':' || escaped == '"') {
            text += escaped;
        } else {
            text += '\\'; // no escape: a backslash the value holds ("B\C" in a 2.1 card, a Windows path)
            text += escaped;
        }
        pos = backslash + 2;
    }
    return text;
}

std::vector<std::string> splitComponents(std::string_view value) {
    std::vector<std::string> components;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= value.size(); ++i) {
        if (i == value.size() || value[i] == ';') {
            components.push_back(unescapeText(value.substr(start, i - start)));
            start = i + 1;
        } else if (value[i] == '\\') {
            ++i;
        }
    }
    return components;
}

bool isProperty(std::string_view name, std::string_view property) { return equalsIgnoringCase(name, property); }

} // namespace fichelia::exchange::vcard
