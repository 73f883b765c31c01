#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fichelia::exchange {

enum class InputEncoding { Utf8, Utf8WithBom, Utf16Le, Utf16Be, Windows1252 };

// An imported file's bytes as UTF-8 text. A byte order mark decides the
// encoding (UTF-8, UTF-16 LE or BE) and is dropped; without one, text whose
// NUL bytes fall every other byte is UTF-16 (LE when they are the odd bytes,
// as ASCII letters give), well-formed UTF-8 is taken as UTF-8 and anything
// else as Windows-1252, which is what spreadsheets write in France: line by
// line, so that a stray Latin-1 byte in a UTF-8 file costs only its line
// (such lines are listed). UTF-16 units that pair with nothing become U+FFFD.
class InputText {
public:
    // The encoding the bytes announce, without decoding them: Utf8WithBom,
    // Utf16Le or Utf16Be (marked or not), else Utf8, meaning 8-bit text that
    // decode takes as UTF-8 when it is valid, else as Windows-1252.
    static InputEncoding sniff(std::string_view bytes);

    // The bytes must outlive the text when they are UTF-8 already: they are
    // then used where they lie, not copied.
    static InputText decode(std::string_view bytes);

    std::string_view text() const { return m_converted ? std::string_view(*m_converted) : m_original; }
    InputEncoding encoding() const { return m_encoding; }
    // The lines, from 1, read as Windows-1252 in a text whose other lines
    // hold UTF-8 beyond ASCII; none when no line was UTF-8 beyond ASCII.
    const std::vector<long>& windows1252Lines() const { return m_windows1252Lines; }

private:
    std::string_view m_original;
    std::optional<std::string> m_converted;
    InputEncoding m_encoding = InputEncoding::Utf8;
    std::vector<long> m_windows1252Lines;

    void decodeByLine(std::string_view bytes);
};

} // namespace fichelia::exchange
