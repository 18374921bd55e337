// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace clickory {

// What a sound is for. The raw value of each case is its name; the declaration order is the
// iteration order.
enum class SoundRole
{
    keyDown,
    keyUp,
    spaceDown,
    spaceUp,
    enterDown,
    modifierDown,
    modifierUp,
    mouseDown,
    mouseUp,
    mouseRightDown,
    mouseRightUp,
    scrollTick,
};

inline constexpr std::size_t soundRoleCount = 12;

// All roles in declaration order.
constexpr std::array<SoundRole, soundRoleCount> allSoundRoles()
{
    return {SoundRole::keyDown,      SoundRole::keyUp,      SoundRole::spaceDown, SoundRole::spaceUp,
            SoundRole::enterDown,    SoundRole::modifierDown, SoundRole::modifierUp, SoundRole::mouseDown,
            SoundRole::mouseUp,      SoundRole::mouseRightDown, SoundRole::mouseRightUp, SoundRole::scrollTick};
}

std::string_view rawValue(SoundRole role);
std::optional<SoundRole> soundRoleFromRaw(std::string_view raw);

} // namespace clickory
