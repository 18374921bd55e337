// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string_view>

namespace clickory {

// Reads the ripple colours, which the settings keep as text such as "#8A5CF6".
namespace HexColor {

// Red, green and blue, each in [0, 1].
struct RGB
{
    double r;
    double g;
    double b;

    friend bool operator==(const RGB&, const RGB&) = default;
};

// Accepts six hexadecimal digits (either case), optionally after one "#", with spaces and tabs
// around them; anything else is not a colour and gives nothing. Callers pick their own fallback
// (the settings window shows mid-grey).
std::optional<RGB> parse(std::string_view text);

} // namespace HexColor

} // namespace clickory
