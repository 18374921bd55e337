// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryShell/settings/SettingsTab.h"

namespace clickory {

// Feel: the trackpad haptic switches, the pattern, a test tap, and what haptics can do on Linux.
class FeelTab final : public SettingsTab
{
    Q_OBJECT

public:
    FeelTab(SettingsStore& store, const SettingsServices& services, QWidget* parent = nullptr);
};

} // namespace clickory
