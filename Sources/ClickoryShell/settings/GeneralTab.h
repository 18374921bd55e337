// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/samples/SampleManifest.h"
#include "ClickoryShell/settings/SettingsTab.h"

#include <optional>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;

namespace clickory {

// General: the master switch, low-delay audio with the estimated delay and the Bluetooth note, launch
// at login, the tray icon, the version and update check, the input permission, the credits of the
// recorded sounds, and "Restore defaults".
class GeneralTab final : public SettingsTab
{
    Q_OBJECT

public:
    GeneralTab(SettingsStore& store, const SettingsServices& services, QWidget* parent = nullptr);

    void refresh(const FeelSettings& settings) override;
    void windowShown() override;

    // Re-reads the output facts (delay estimate, Bluetooth) and the permission.
    void updateFacts();

    // "Estimated delay from key press to sound: about N ms.", or empty without an estimate.
    static QString latencyText(std::optional<double> milliseconds);
    // The credit lines as rich text, one paragraph per source; empty when there are none.
    static QString creditsText(const std::vector<SampleManifest::Source>& sources);

    // Assigns the default record in one assignment.
    void restoreDefaults();

private:
    QLabel* m_latency = nullptr;
    QLabel* m_bluetooth = nullptr;
    QCheckBox* m_login = nullptr;
    QLabel* m_permissionIcon = nullptr;
    QLabel* m_permissionText = nullptr;
    QPushButton* m_permissionButton = nullptr;
    std::optional<bool> m_lastLowLatency;
};

} // namespace clickory
