// SPDX-License-Identifier: MIT
#include "ClickoryCore/profiles/SoundProfile.h"

namespace clickory {

Voice SoundProfile::voice(SoundRole role) const
{
    // Space and its release share one voice: the profile's own, or a heavier, longer key voice.
    const auto space = [this] {
        return spaceDownOverride ? *spaceDownOverride : keyDown.stabilized(0.7f, 1.25, 1.05f);
    };
    switch (role) {
    case SoundRole::keyDown: return keyDown;
    case SoundRole::keyUp: return keyDown.released(0.5f);
    case SoundRole::spaceDown: return space();
    case SoundRole::spaceUp: return space().released(0.55f);
    case SoundRole::enterDown: return enterDownOverride ? *enterDownOverride : keyDown.stabilized(0.8f, 1.2, 1.0f);
    case SoundRole::modifierDown: return keyDown.scaled(0.82f, 0.8f);
    case SoundRole::modifierUp: return keyDown.scaled(0.82f, 0.8f).released(0.5f);
    case SoundRole::mouseDown: return keyDown.scaled(0.9f, 0.95f);
    case SoundRole::mouseUp: return keyDown.scaled(0.9f, 0.95f).released(0.55f);
    case SoundRole::mouseRightDown: return keyDown.scaled(0.78f, 0.95f);
    case SoundRole::mouseRightUp: return keyDown.scaled(0.78f, 0.95f).released(0.55f);
    case SoundRole::scrollTick: return keyDown.tick(1.0f, 0.45f);
    }
    return keyDown;
}

} // namespace clickory
