// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace brisklo {

// A failure a user can meet: the text names the file and says what went wrong.
struct Error {
    std::string message;
};

// Either a value or an Error; callers must look at it.
template <class T>
class [[nodiscard]] Result {
  public:
    Result(T value) : m_state(std::move(value)) {}
    Result(Error error) : m_state(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<T>(m_state); }
    const T& value() const& { return std::get<T>(m_state); }
    T&& value() && { return std::get<T>(std::move(m_state)); }
    const Error& error() const { return std::get<Error>(m_state); }

  private:
    std::variant<T, Error> m_state;
};

}  // namespace brisklo
