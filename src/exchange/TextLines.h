#pragma once

#include <cstring>
#include <string_view>

namespace fichelia::exchange {

// The lines of a text one by one, split at LF with the CRs before it dropped
// (CR LF written through a text-mode stream gives CR CR LF), numbered from 1.
// The last line counts even without a LF.
class TextLines {
public:
    explicit TextLines(std::string_view text) : m_text(text) {}

    bool atEnd() const { return m_pos >= m_text.size(); }

    // The first byte of the next line, or LF at the end of the text.
    char peek() const { return atEnd() ? '\n' : m_text[m_pos]; }

    std::string_view next() {
        const auto* lf = static_cast<const char*>(std::memchr(m_text.data() + m_pos, '\n', m_text.size() - m_pos));
        const std::size_t end = lf != nullptr ? static_cast<std::size_t>(lf - m_text.data()) : m_text.size();
        std::string_view line = m_text.substr(m_pos, end - m_pos);
        m_pos = lf != nullptr ? end + 1 : end;
        ++m_number;
        while (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        return line;
    }

    // The line next() would give, without moving on.
    std::string_view peekLine() const {
        TextLines copy = *this;
        return copy.next();
    }

    // The text from the next line on.
    std::string_view rest() const { return m_text.substr(m_pos); }

    // The number of the line next() gave last.
    long number() const { return m_number; }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
    long m_number = 0;
};

} // namespace fichelia::exchange
