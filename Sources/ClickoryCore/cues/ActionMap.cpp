// SPDX-License-Identifier: MIT
#include "ClickoryCore/cues/ActionMap.h"

namespace clickory::ActionMap {

std::optional<ActionKind> match(int keyCode, std::uint64_t flags)
{
    if ((flags & commandFlag) == 0 || (flags & (controlFlag | optionFlag)) != 0) {
        return std::nullopt;
    }
    if ((flags & shiftFlag) != 0) {
        switch (keyCode) {
        case 20: // 3
        case 21: // 4
        case 23: // 5
            return ActionKind::screenshot;
        case 6:
            return ActionKind::redo; // Z
        default:
            return std::nullopt;
        }
    }
    switch (keyCode) {
    case 0:
        return ActionKind::selectAll; // A
    case 1:
        return ActionKind::save; // S
    case 3:
        return ActionKind::find; // F
    case 6:
        return ActionKind::undo; // Z
    case 7:
        return ActionKind::cut; // X
    case 8:
        return ActionKind::copy; // C
    case 9:
        return ActionKind::paste; // V
    case 13:
        return ActionKind::closeWindow; // W
    case 17:
        return ActionKind::newTab; // T
    default:
        return std::nullopt;
    }
}

} // namespace clickory::ActionMap
