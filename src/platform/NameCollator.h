#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace fichelia {

// Orders contact names as the directory list shows them: alphabetical by a
// locale's rules, letter case ignored, accented letters among their base letter
// (É with the E's, Œ with the O's), accents telling apart names otherwise equal.
//
// Two versions, chosen by CMake. Everywhere but Windows, ICU
// (NameCollator_icu.cpp): the order holds under any process locale, the C and
// POSIX locales taking ICU's root collation rather than byte order, and only
// without any ICU data at all do names sort by their bytes. On Windows, Windows
// itself (NameCollator_win.cpp), so that names sort as the user's other
// programs sort them. The two agree on letters, case and accents; Windows'
// word sort gives hyphens and apostrophes less weight (Jeanne before
// Jean-Pierre, Dalton before D'Artagnan, where ICU puts them after).
class NameCollator {
public:
    // The collator of the user's locale: on Windows, the user's default
    // locale; elsewhere the locale that LC_ALL, LC_COLLATE or LANG names.
    static std::shared_ptr<const NameCollator> fromEnvironment();

    // localeName is a POSIX or BCP 47 locale name ("fr_FR.UTF-8", "fr-FR",
    // "de"); "", "C" and "POSIX" give the language-neutral order (ICU's root
    // collation, Windows' invariant locale).
    explicit NameCollator(std::string_view localeName);
    ~NameCollator();
    NameCollator(const NameCollator&) = delete;
    NameCollator& operator=(const NameCollator&) = delete;

    // A collator of the same order, for another thread: one collator must not
    // sort on two threads at once. Throws std::bad_alloc when memory runs out.
    std::unique_ptr<NameCollator> copy() const;

    // A byte string whose plain byte order is the order of the names: two names
    // compare as their keys do. Malformed UTF-8 is read as U+FFFD.
    std::string sortKey(std::string_view utf8Name) const;

    // <0, 0 or >0 as a sorts before, with or after b.
    int compare(std::string_view utf8A, std::string_view utf8B) const;

    // The locale followed, as the version spells it ("fr_FR" for ICU, "fr-FR"
    // for Windows), "" for the language-neutral order.
    const std::string& localeId() const { return m_localeId; }

private:
    struct Backend; // the version's own handle on its collation

    NameCollator(std::string localeId, std::unique_ptr<Backend> backend);

    std::string m_localeId;
    std::unique_ptr<Backend> m_backend;
};

} // namespace fichelia
