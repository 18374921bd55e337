// SPDX-License-Identifier: MIT
#include "ClickoryCore/input/SoundRole.h"

namespace clickory {

std::string_view rawValue(SoundRole role)
{
    switch (role) {
    case SoundRole::keyDown: return "keyDown";
    case SoundRole::keyUp: return "keyUp";
    case SoundRole::spaceDown: return "spaceDown";
    case SoundRole::spaceUp: return "spaceUp";
    case SoundRole::enterDown: return "enterDown";
    case SoundRole::modifierDown: return "modifierDown";
    case SoundRole::modifierUp: return "modifierUp";
    case SoundRole::mouseDown: return "mouseDown";
    case SoundRole::mouseUp: return "mouseUp";
    case SoundRole::mouseRightDown: return "mouseRightDown";
    case SoundRole::mouseRightUp: return "mouseRightUp";
    case SoundRole::scrollTick: return "scrollTick";
    }
    return "keyDown";
}

std::optional<SoundRole> soundRoleFromRaw(std::string_view raw)
{
    for (SoundRole role : allSoundRoles()) {
        if (rawValue(role) == raw) {
            return role;
        }
    }
    return std::nullopt;
}

} // namespace clickory
