// SPDX-License-Identifier: MIT
#include "ClickoryCore/settings/HexColor.h"

#include <cstdint>

namespace clickory::HexColor {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

std::optional<RGB> parse(std::string_view text)
{
    // Only spaces and tabs are trimmed; a line break makes the text no colour.
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    if (!text.empty() && text.front() == '#') {
        text.remove_prefix(1);
    }
    // Any non-ASCII character fails the digit test below, so counting bytes here is the same as
    // counting characters.
    if (text.size() != 6) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (char c : text) {
        const int digit = hexDigit(c);
        if (digit < 0) {
            return std::nullopt;
        }
        value = (value << 4) | static_cast<std::uint32_t>(digit);
    }
    return RGB{static_cast<double>((value >> 16) & 0xFF) / 255.0, static_cast<double>((value >> 8) & 0xFF) / 255.0,
               static_cast<double>(value & 0xFF) / 255.0};
}

} // namespace clickory::HexColor
