// SPDX-License-Identifier: MIT
#include "ClickoryCore/input/Hotkey.h"

#include <nlohmann/json.hpp>

#include <limits>
#include <string_view>

namespace clickory {
namespace {

// Legends of the ANSI letter block by virtual key code.
std::string_view keyLegend(std::int64_t code)
{
    switch (code) {
    case 0: return "A";
    case 1: return "S";
    case 2: return "D";
    case 3: return "F";
    case 4: return "H";
    case 5: return "G";
    case 6: return "Z";
    case 7: return "X";
    case 8: return "C";
    case 9: return "V";
    case 11: return "B";
    case 12: return "Q";
    case 13: return "W";
    case 14: return "E";
    case 15: return "R";
    case 16: return "Y";
    case 17: return "T";
    case 18: return "1";
    case 19: return "2";
    case 20: return "3";
    case 21: return "4";
    case 22: return "6";
    case 23: return "5";
    case 24: return "=";
    case 25: return "9";
    case 26: return "7";
    case 27: return "-";
    case 28: return "8";
    case 29: return "0";
    case 30: return "]";
    case 31: return "O";
    case 32: return "U";
    case 33: return "[";
    case 34: return "I";
    case 35: return "P";
    case 37: return "L";
    case 38: return "J";
    case 39: return "'";
    case 40: return "K";
    case 41: return ";";
    case 42: return "\\";
    case 43: return ",";
    case 44: return "/";
    case 45: return "N";
    case 46: return "M";
    case 47: return ".";
    case 50: return "`";
    default: return {};
    }
}

} // namespace

std::string displayText(const Hotkey& hotkey)
{
    std::string text;
    const auto add = [&text](std::string_view part) {
        if (!text.empty()) {
            text += '+';
        }
        text += part;
    };
    if (hotkey.modifiers & Hotkey::control) {
        add("Super");
    }
    if (hotkey.modifiers & Hotkey::option) {
        add("Alt");
    }
    if (hotkey.modifiers & Hotkey::shift) {
        add("Shift");
    }
    if (hotkey.modifiers & Hotkey::command) {
        add("Ctrl");
    }
    const std::string_view legend = keyLegend(hotkey.keyCode);
    add(legend.empty() ? "Key " + std::to_string(hotkey.keyCode) : std::string(legend));
    return text;
}

nlohmann::json toJson(const Hotkey& hotkey)
{
    return nlohmann::json{{"keyCode", hotkey.keyCode}, {"modifiers", hotkey.modifiers}};
}

Expected<Hotkey> hotkeyFromJson(const nlohmann::json& json)
{
    using Result = Expected<Hotkey>;
    if (!json.is_object()) {
        return Result::failure("A hotkey must be a record with \"keyCode\" and \"modifiers\".");
    }
    const auto keyCode = json.find("keyCode");
    if (keyCode == json.end()) {
        return Result::failure("The hotkey has no \"keyCode\".");
    }
    if (!keyCode->is_number_integer()
        || (keyCode->is_number_unsigned()
            && keyCode->get<std::uint64_t>() > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))) {
        return Result::failure("The hotkey's \"keyCode\" is not a 64-bit integer.");
    }
    const auto modifiers = json.find("modifiers");
    if (modifiers == json.end()) {
        return Result::failure("The hotkey has no \"modifiers\".");
    }
    if (!modifiers->is_number_unsigned()) {
        return Result::failure("The hotkey's \"modifiers\" is not an unsigned integer.");
    }
    Hotkey hotkey(keyCode->get<std::int64_t>(), 0);
    hotkey.modifiers = modifiers->get<std::uint64_t>();  // stored bits are kept as they are
    return hotkey;
}

} // namespace clickory
