// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace clickory {

// A value or a plain-sentence error. Parsers and decoders of the core return this instead of
// throwing across their API.
template <typename T>
class Expected
{
public:
    Expected(T value) : m_content(std::in_place_index<0>, std::move(value)) {}

    static Expected failure(std::string message) { return Expected(FailureTag{}, std::move(message)); }

    bool hasValue() const { return m_content.index() == 0; }
    explicit operator bool() const { return hasValue(); }

    // Precondition: hasValue().
    const T& value() const& { return std::get<0>(m_content); }
    T& value() & { return std::get<0>(m_content); }
    T&& value() && { return std::get<0>(std::move(m_content)); }
    const T& operator*() const& { return value(); }
    const T* operator->() const { return &value(); }

    // Precondition: !hasValue().
    const std::string& error() const { return std::get<1>(m_content); }

private:
    // Lets failure() build the error alternative directly, so T need not be default-constructible.
    struct FailureTag
    {
    };
    Expected(FailureTag, std::string message) : m_content(std::in_place_index<1>, std::move(message)) {}

    std::variant<T, std::string> m_content;
};

} // namespace clickory
