#include "platform/NameCollator.h"

#include <array>
#include <cstdlib>
#include <new>

#include <unicode/ucol.h>
#include <unicode/ustring.h>

namespace fichelia {

namespace {

std::u16string toUtf16(std::string_view utf8) {
    std::u16string utf16(utf8.size() + 1, u'\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(utf16.data(), static_cast<int32_t>(utf16.size()), &length, utf8.data(),
                         static_cast<int32_t>(utf8.size()), 0xFFFD, nullptr, &status);
    // The buffer holds any conversion and malformed input becomes U+FFFD, so
    // only a broken ICU fails here; its name then sorts as an empty one.
    utf16.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
    return utf16;
}

const char* firstSetVariable(std::initializer_list<const char*> names) {
    for (const char* name : names) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return "";
}

// The ICU locale id for a POSIX locale name: codeset and modifier dropped,
// "C" and "POSIX" (and nothing at all) giving the root collation "".
std::string icuLocaleFor(std::string_view posixName) {
    std::string_view name = posixName.substr(0, posixName.find_first_of(".@"));
    if (name == "C" || name == "POSIX") {
        return {};
    }
    return std::string(name);
}

} // namespace

// The collator, or none when ICU has no data at all: names then sort by their bytes.
struct NameCollator::Backend {
    UCollator* collator = nullptr;
    ~Backend() {
        if (collator != nullptr) {
            ucol_close(collator);
        }
    }
};

std::shared_ptr<const NameCollator> NameCollator::fromEnvironment() {
    return std::make_shared<const NameCollator>(firstSetVariable({"LC_ALL", "LC_COLLATE", "LANG"}));
}

NameCollator::NameCollator(std::string_view localeName)
    : m_localeId(icuLocaleFor(localeName)), m_backend(std::make_unique<Backend>()) {
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open(m_localeId.c_str(), &status);
    if (U_FAILURE(status)) {
        status = U_ZERO_ERROR;
        m_localeId.clear();
        collator = ucol_open("", &status);
    }
    if (U_FAILURE(status)) {
        return; // no ICU data at all: names sort by their bytes
    }
    // Secondary strength: base letters first, then accents; letter case ignored.
    ucol_setStrength(collator, UCOL_SECONDARY);
    m_backend->collator = collator;
}

NameCollator::NameCollator(std::string localeId, std::unique_ptr<Backend> backend)
    : m_localeId(std::move(localeId)), m_backend(std::move(backend)) {}

NameCollator::~NameCollator() = default;

std::unique_ptr<NameCollator> NameCollator::copy() const {
    auto backend = std::make_unique<Backend>();
    if (m_backend->collator != nullptr) {
        UErrorCode status = U_ZERO_ERROR;
#if U_ICU_VERSION_MAJOR_NUM >= 71
        backend->collator = ucol_clone(m_backend->collator, &status);
#else
        backend->collator = ucol_safeClone(m_backend->collator, nullptr, nullptr, &status);
#endif
        if (U_FAILURE(status)) {
            throw std::bad_alloc(); // a clone of a working collator fails only for want of memory
        }
    }
    return std::unique_ptr<NameCollator>(new NameCollator(m_localeId, std::move(backend)));
}

std::string NameCollator::sortKey(std::string_view utf8Name) const {
    const UCollator* collator = m_backend->collator;
    if (collator == nullptr) {
        return std::string(utf8Name);
    }
    // Most names are short: their UTF-16 form and key are made on the stack,
    // so that the key alone takes room on the heap, no more than it needs.
    constexpr std::size_t kShortName = 64;
    std::array<UChar, kShortName> shortUtf16;
    std::u16string longUtf16;
    const UChar* source = shortUtf16.data();
    int32_t sourceLength = 0;
    UErrorCode status = U_ZERO_ERROR;
    if (utf8Name.size() < kShortName) {
        u_strFromUTF8WithSub(shortUtf16.data(), static_cast<int32_t>(shortUtf16.size()), &sourceLength, utf8Name.data(),
                             static_cast<int32_t>(utf8Name.size()), 0xFFFD, nullptr, &status);
    }
    if (utf8Name.size() >= kShortName || U_FAILURE(status)) {
        longUtf16 = toUtf16(utf8Name);
        source = reinterpret_cast<const UChar*>(longUtf16.data());
        sourceLength = static_cast<int32_t>(longUtf16.size());
    }

    std::array<uint8_t, 4 * kShortName> shortKey;
    int32_t needed =
        ucol_getSortKey(collator, source, sourceLength, shortKey.data(), static_cast<int32_t>(shortKey.size()));
    if (needed <= static_cast<int32_t>(shortKey.size())) {
        // The key ends with a zero byte that plain string comparison does not need.
        return std::string(reinterpret_cast<const char*>(shortKey.data()),
                           needed > 0 ? static_cast<std::size_t>(needed - 1) : 0);
    }
    std::string key(static_cast<std::size_t>(needed), '\0');
    needed = ucol_getSortKey(collator, source, sourceLength, reinterpret_cast<uint8_t*>(key.data()), needed);
    key.resize(needed > 0 ? static_cast<std::size_t>(needed - 1) : 0);
    return key;
}

int NameCollator::compare(std::string_view utf8A, std::string_view utf8B) const {
    const UCollator* collator = m_backend->collator;
    if (collator == nullptr) {
        return utf8A.compare(utf8B);
    }
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult result = ucol_strcollUTF8(collator, utf8A.data(), static_cast<int32_t>(utf8A.size()),
                                                     utf8B.data(), static_cast<int32_t>(utf8B.size()), &status);
    if (U_FAILURE(status)) {
        return sortKey(utf8A).compare(sortKey(utf8B));
    }
    return static_cast<int>(result);
}

} // namespace fichelia
