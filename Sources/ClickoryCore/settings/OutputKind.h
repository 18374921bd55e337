// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace clickory {

// The kind of the default output device, as the output-device monitor classifies it. The raw value
// of each case is its name.
enum class OutputKind
{
    builtInSpeakers,
    headphones,
    external,
    unknown,
};

inline constexpr std::size_t outputKindCount = 4;

// All kinds in declaration order.
constexpr std::array<OutputKind, outputKindCount> allOutputKinds()
{
    return {OutputKind::builtInSpeakers, OutputKind::headphones, OutputKind::external, OutputKind::unknown};
}

std::string_view rawValue(OutputKind kind);
std::optional<OutputKind> outputKindFromRaw(std::string_view raw);

} // namespace clickory
