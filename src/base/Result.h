#pragma once

#include <optional>
#include <utility>
#include <variant>

namespace fichelia {

// What went wrong, as the program's parts tell each other. Only the edges put
// it into words for the user: the window's commands (commands/ErrorText.h) and
// the companion tool.
enum class Error {
    // The directory list.
    ListFull,    // it takes no more entries
    NoSelection, // the operation needs a selected entry
    OutOfMemory,
    // Files.
    FileNotFound,
    FolderNotFound,
    IsFolder,     // the name is a folder's
    ReadOnlyFile, // no one may write the file
    AccessDenied,
    DiskFull,
    ReadOnlyDisk,
    ReadFailed,
    WriteFailed,
};

// A value of T, or the Error that kept it from being made. Every operation
// that can fail for a reason outside the program's control returns one, and
// throws nothing.
template <typename T> class [[nodiscard]] Result {
public:
    Result(T value) : m_state(std::in_place_index<0>, std::move(value)) {}
    Result(Error error) : m_state(std::in_place_index<1>, error) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    // Only when ok().
    T& value() & { return std::get<0>(m_state); }
    const T& value() const& { return std::get<0>(m_state); }
    T&& value() && { return std::get<0>(std::move(m_state)); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    // Only when !ok().
    Error error() const { return std::get<1>(m_state); }

private:
    std::variant<T, Error> m_state;
};

// Success with nothing to give, or an Error.
template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : m_error(error) {}

    bool ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return ok(); }
    Error error() const { return *m_error; }

private:
    std::optional<Error> m_error;
};

} // namespace fichelia
