// Error values of the reader: every decoding step returns a Status or a Result<T>; only the
// engine interface turns a failure into an EngineError.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace zl::schema::jet {

// Why an operation failed. The engine interface chooses the description text by kind.
enum class ErrorKind {
    Io,           // the file could not be opened or read
    NotDatabase,  // the bytes are not an Access database at all
    Unsupported,  // a database, but of a kind the reader refuses (encrypted, other format)
    Corrupt,      // a value read from the file breaks the format's rules
    NotFound,     // a name that the catalog does not hold
    WrongKind,    // the name exists but is not what was asked for (a query asked as table)
    LinkedTable,  // a linked table: its definition lives in another database
    Closed,       // the database was closed
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

}  // namespace zl::schema::jet

// Propagation helpers: the reader has many short decoding steps that each may fail, and these
// keep the happy path readable without exceptions.
#define JET_CONCAT_INNER(a, b) a##b
#define JET_CONCAT(a, b) JET_CONCAT_INNER(a, b)

// Returns the failure of a Status or Result expression from the enclosing function.
#define JET_TRY(expr)                                  \
    do {                                               \
        auto&& jet_try_result_ = (expr);               \
        if (!jet_try_result_.ok()) {                   \
            return std::move(jet_try_result_).error(); \
        }                                              \
    } while (false)

// Declares `lhs` from the value of a Result expression, or returns its failure.
#define JET_ASSIGN_OR_RETURN(lhs, expr) \
    JET_ASSIGN_OR_RETURN_IMPL(JET_CONCAT(jet_result_, __LINE__), lhs, expr)
#define JET_ASSIGN_OR_RETURN_IMPL(tmp, lhs, expr) \
    auto tmp = (expr);                            \
    if (!tmp.ok()) {                              \
        return std::move(tmp).error();            \
    }                                             \
    lhs = std::move(tmp).value()
