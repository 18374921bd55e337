// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace clickory {

// A recognised shortcut that can play a cue sound. The raw value of each case is its name; the
// declaration order is the iteration order (and the order of the rows in the settings window).
enum class ActionKind
{
    copy,
    cut,
    paste,
    undo,
    redo,
    selectAll,
    save,
    find,
    newTab,
    closeWindow,
    screenshot,
};

inline constexpr std::size_t actionKindCount = 11;

// All kinds in declaration order.
constexpr std::array<ActionKind, actionKindCount> allActionKinds()
{
    return {ActionKind::copy,   ActionKind::cut,         ActionKind::paste,     ActionKind::undo,
            ActionKind::redo,   ActionKind::selectAll,   ActionKind::save,      ActionKind::find,
            ActionKind::newTab, ActionKind::closeWindow, ActionKind::screenshot};
}

std::string_view rawValue(ActionKind kind);
std::optional<ActionKind> actionKindFromRaw(std::string_view raw);

// The display name with its key combination, e.g. "Copy (Ctrl+C)".
std::string_view label(ActionKind kind);

// True for copy and cut only: for those the pipeline can check that the clipboard really changed
// and play the dud otherwise.
constexpr bool changesClipboard(ActionKind kind)
{
    return kind == ActionKind::copy || kind == ActionKind::cut;
}

} // namespace clickory
