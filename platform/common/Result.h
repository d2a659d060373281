#pragma once
// A value or an Error with a message fit for the user. Platform calls that can fail
// for reasons outside our control return this instead of throwing.

#include <QString>

#include <optional>
#include <utility>
#include <variant>

struct Error {
    QString message;

    static Error io(const QString& path, const QString& why)
    {
        return Error{QStringLiteral("%1: %2").arg(path, why)};
    }
};

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : m_state(std::move(value)) {}
    Result(Error error) : m_state(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return ok(); }

    const T& value() const { return std::get<T>(m_state); }
    T& value() { return std::get<T>(m_state); }
    T valueOr(T fallback) const { return ok() ? value() : std::move(fallback); }
    const Error& error() const { return std::get<Error>(m_state); }

private:
    std::variant<T, Error> m_state;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : m_error(std::move(error)) {}

    bool ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return ok(); }
    const Error& error() const { return *m_error; }

private:
    std::optional<Error> m_error;
};
