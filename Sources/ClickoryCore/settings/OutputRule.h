// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/settings/OutputKind.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace clickory {

// On which outputs the sounds play. Stored in the settings as its raw value (the case name).
enum class OutputRule
{
    everywhere,
    headphonesOnly,
};

inline constexpr std::size_t outputRuleCount = 2;

// All rules in declaration order (the order of the settings picker).
constexpr std::array<OutputRule, outputRuleCount> allOutputRules()
{
    return {OutputRule::everywhere, OutputRule::headphonesOnly};
}

std::string_view rawValue(OutputRule rule);
std::optional<OutputRule> outputRuleFromRaw(std::string_view raw);

// "Everywhere" or "Only on headphones and external audio".
std::string_view label(OutputRule rule);

// Whether sound may play on an output of this kind under the rule. Only the built-in speakers are
// ever silenced, and only by `headphonesOnly`: headphones, Bluetooth, external and unknown devices
// always play.
constexpr bool allowsSound(OutputKind kind, OutputRule rule)
{
    return kind != OutputKind::builtInSpeakers || rule == OutputRule::everywhere;
}

} // namespace clickory
