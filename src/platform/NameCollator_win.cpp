#include "platform/NameCollator.h"

#include <algorithm>
#include <array>

#include "platform/WideText_win.h"

namespace fichelia {

namespace {

// The Windows locale name for a POSIX or BCP 47 one: codeset and modifier
// dropped, '_' made '-', "C" and "POSIX" (and nothing at all) giving the
// invariant locale "". A name Windows does not know gives the invariant one.
std::string windowsLocaleFor(std::string_view name) {
    std::string windowsName(name.substr(0, name.find_first_of(".@")));
    if (windowsName == "C" || windowsName == "POSIX") {
        return {};
    }
    for (char& c : windowsName) {
        c = c == '_' ? '-' : c;
    }
    return IsValidLocaleName(wide::fromUtf8(windowsName).c_str()) ? windowsName : std::string();
}

// Letter case ignored as the locale's language ignores it.
constexpr DWORD kFlags = LINGUISTIC_IGNORECASE;

} // namespace

// The locale as Windows takes it: the user's default, or a locale name.
struct NameCollator::Backend {
    bool userDefault = false;
    std::wstring name;
    const wchar_t* locale() const { return userDefault ? LOCALE_NAME_USER_DEFAULT : name.c_str(); }
};

std::shared_ptr<const NameCollator> NameCollator::fromEnvironment() {
    auto collator = std::make_shared<NameCollator>("");
    collator->m_backend->userDefault = true;
    std::array<wchar_t, LOCALE_NAME_MAX_LENGTH> name{};
    const int length = GetUserDefaultLocaleName(name.data(), static_cast<int>(name.size()));
    collator->m_localeId = wide::toUtf8(std::wstring_view(name.data(), length > 0 ? length - 1 : 0));
    return collator;
}

NameCollator::NameCollator(std::string_view localeName)
    : m_localeId(windowsLocaleFor(localeName)), m_backend(std::make_unique<Backend>()) {
    m_backend->name = wide::fromUtf8(m_localeId);
}

NameCollator::NameCollator(std::string localeId, std::unique_ptr<Backend> backend)
    : m_localeId(std::move(localeId)), m_backend(std::move(backend)) {}

NameCollator::~NameCollator() = default;

// Windows' sort functions keep no state: a copy names the same locale.
std::unique_ptr<NameCollator> NameCollator::copy() const {
    return std::unique_ptr<NameCollator>(new NameCollator(m_localeId, std::make_unique<Backend>(*m_backend)));
}

std::string NameCollator::sortKey(std::string_view utf8Name) const {
    const std::wstring name = wide::fromUtf8(utf8Name);
    // An empty source is refused: its key is the one of the terminating zero.
    const wchar_t* source = name.empty() ? L"" : name.c_str();
    const int sourceLength = name.empty() ? -1 : static_cast<int>(name.size());
    const auto mapKey = [&](char* key, int size) {
        return LCMapStringEx(m_backend->locale(), LCMAP_SORTKEY | kFlags, source, sourceLength,
                             reinterpret_cast<LPWSTR>(key), size, nullptr, nullptr, 0);
    };
    // Most keys fit on the stack, so that the key alone takes room on the heap.
    std::array<char, 256> shortKey;
    int length = mapKey(shortKey.data(), static_cast<int>(shortKey.size()));
    std::string key;
    if (length > 0) {
        key.assign(shortKey.data(), static_cast<std::size_t>(length));
    } else {
        key.resize(static_cast<std::size_t>(std::max(mapKey(nullptr, 0), 0)));
        length = key.empty() ? 0 : mapKey(key.data(), static_cast<int>(key.size()));
        key.resize(static_cast<std::size_t>(length));
    }
    // The key ends with a zero byte that plain string comparison does not need.
    if (!key.empty()) {
        key.pop_back();
    }
    return key;
}

int NameCollator::compare(std::string_view utf8A, std::string_view utf8B) const {
    const std::wstring a = wide::fromUtf8(utf8A);
    const std::wstring b = wide::fromUtf8(utf8B);
    const int result = CompareStringEx(m_backend->locale(), kFlags, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                       static_cast<int>(b.size()), nullptr, nullptr, 0);
    if (result == 0) {
        return sortKey(utf8A).compare(sortKey(utf8B));
    }
    return result - CSTR_EQUAL;
}

} // namespace fichelia
