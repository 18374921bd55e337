// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/cues/ActionCue.h"
#include "ClickoryShell/settings/SettingsTab.h"

namespace clickory {

// Shortcuts: the cue switches, and one row per action with its switch, style picker, "Play" and its
// own sound file ("Your own…", "Remove file" while one is set). A row reads its cue through
// FeelSettings::cue and writes the whole changed cue under the action's raw value.
class ShortcutsTab final : public SettingsTab
{
    Q_OBJECT

public:
    ShortcutsTab(SettingsStore& store, const SettingsServices& services, QWidget* parent = nullptr);

    // Writes a changed cue of an action into the settings.
    void writeCue(ActionKind kind, const std::function<void(ActionCue&)>& change);
};

} // namespace clickory
