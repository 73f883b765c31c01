#pragma once

#include <memory>
#include <string>
#include <string_view>

struct UCollator;

namespace fichelia {

// Orders contact names as the directory list shows them: alphabetical by a
// locale's rules, letter case ignored, accented letters among their base letter
// (É with the E's). Backed by ICU, so the order holds under any process locale;
// the C and POSIX locales use ICU's root collation rather than byte order.
// Only without any ICU data at all do names sort by their bytes.
class NameCollator {
public:
    // The collator of the user's locale, taken from LC_ALL, LC_COLLATE or LANG.
    static std::shared_ptr<const NameCollator> fromEnvironment();

    // localeId is a POSIX or ICU locale name ("fr_FR.UTF-8", "de", "C", "").
    explicit NameCollator(std::string_view localeId);
    ~NameCollator();
    NameCollator(const NameCollator&) = delete;
    NameCollator& operator=(const NameCollator&) = delete;

    // A byte string whose plain byte order is the order of the names: two names
    // compare as their keys do. Malformed UTF-8 is read as U+FFFD.
    std::string sortKey(std::string_view utf8Name) const;

    // <0, 0 or >0 as a sorts before, with or after b.
    int compare(std::string_view utf8A, std::string_view utf8B) const;

    // The ICU locale the collator follows ("" for the root collation).
    const std::string& localeId() const { return m_localeId; }

    // The ICU locale id for a POSIX locale name: codeset and modifier dropped,
    // "C" and "POSIX" (and nothing at all) giving the root collation "".
    static std::string icuLocaleFor(std::string_view posixName);

private:
    std::string m_localeId;
    UCollator* m_collator = nullptr;
};

} // namespace fichelia
