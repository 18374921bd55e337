// SPDX-License-Identifier: MIT
#include "ClickoryCore/cues/ActionKind.h"

namespace clickory {

std::string_view rawValue(ActionKind kind)
{
    switch (kind) {
    case ActionKind::copy:
        return "copy";
    case ActionKind::cut:
        return "cut";
    case ActionKind::paste:
        return "paste";
    case ActionKind::undo:
        return "undo";
    case ActionKind::redo:
        return "redo";
    case ActionKind::selectAll:
        return "selectAll";
    case ActionKind::save:
        return "save";
    case ActionKind::find:
        return "find";
    case ActionKind::newTab:
        return "newTab";
    case ActionKind::closeWindow:
        return "closeWindow";
    case ActionKind::screenshot:
        return "screenshot";
    }
    return "copy";
}

std::optional<ActionKind> actionKindFromRaw(std::string_view raw)
{
    for (ActionKind kind : allActionKinds()) {
        if (rawValue(kind) == raw) {
            return kind;
        }
    }
    return std::nullopt;
}

// Linux names the keys differently: Command is Ctrl, Control is Super, Option is Alt, and the
// modifiers are written Super, Alt, Shift, Ctrl, joined with "+".
std::string_view label(ActionKind kind)
{
    switch (kind) {
    case ActionKind::copy:
        return "Copy (Ctrl+C)";
    case ActionKind::cut:
        return "Cut (Ctrl+X)";
    case ActionKind::paste:
        return "Paste (Ctrl+V)";
    case ActionKind::undo:
        return "Undo (Ctrl+Z)";
    case ActionKind::redo:
        return "Redo (Shift+Ctrl+Z)";
    case ActionKind::selectAll:
        return "Select all (Ctrl+A)";
    case ActionKind::save:
        return "Save (Ctrl+S)";
    case ActionKind::find:
        return "Find (Ctrl+F)";
    case ActionKind::newTab:
        return "New tab (Ctrl+T)";
    case ActionKind::closeWindow:
        return "Close window or tab (Ctrl+W)";
    case ActionKind::screenshot:
        return "Screenshot (Shift+Ctrl+3, 4 or 5)";
    }
    return "";
}

} // namespace clickory
