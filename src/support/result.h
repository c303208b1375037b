// The error values of the core: an operation that can fail returns a Status or a Result<T>, and
// the caller decides what to show. Only the engine interface turns a failure into an exception
// (schema::EngineError), because that is the interface's contract with its callers.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace zl::support {

// Why an operation failed. The reader's engine interface chooses its description text by kind.
enum class ErrorKind {
    Io,           // the file could not be opened or read
    NotDatabase,  // the bytes are not an Access database at all
    Unsupported,  // a database, but of a kind the reader refuses (encrypted, other format)
    Corrupt,      // a value read from the file breaks the format's rules
    Engine,       // the database engine failed; the message is its description
    Usage,        // the request names what does not exist, or is malformed
};

// A failure: its kind and a message that is already fit to be shown.
struct Error {
    ErrorKind kind = ErrorKind::Corrupt;
    std::string message;
};

// Either a value or an Error. Converting from Error or from T is implicit so that a function
// can `return value;` and `return error;` alike.
template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : m_state(std::move(value)) {}      // NOLINT(google-explicit-constructor)
    Result(Error error) : m_state(std::move(error)) {}  // NOLINT(google-explicit-constructor)

    bool ok() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return ok(); }

    // The value; requires ok().
    T& value() & { return std::get<T>(m_state); }
    const T& value() const& { return std::get<T>(m_state); }
    T&& value() && { return std::get<T>(std::move(m_state)); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    // The failure; requires !ok().
    const Error& error() const& { return std::get<Error>(m_state); }
    Error&& error() && { return std::get<Error>(std::move(m_state)); }

private:
    std::variant<T, Error> m_state;
};

// The outcome of an operation without a value.
class [[nodiscard]] Status {
public:
    Status() = default;
    Status(Error error) : m_error(std::move(error)) {}  // NOLINT(google-explicit-constructor)

    bool ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return ok(); }
    // The failure; requires !ok().
    const Error& error() const& { return *m_error; }
    Error&& error() && { return std::move(*m_error); }

private:
    std::optional<Error> m_error;
};

}  // namespace zl::support
