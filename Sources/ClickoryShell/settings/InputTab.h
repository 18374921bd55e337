// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryShell/settings/SettingsTab.h"

#include <QString>

class QLabel;
class QPushButton;

namespace clickory {

// Input: keyboard and mouse switches, the scroll tick sound, where and when sounds play, the quiet
// rules, and the user's own sound file (copied into the data folder as "custom-" + its name).
class InputTab final : public SettingsTab
{
    Q_OBJECT

public:
    static constexpr const char* customPrefix = "custom-";
    static constexpr const char* failurePrefix = "Could not use that file: ";

    InputTab(SettingsStore& store, const SettingsServices& services, QWidget* parent = nullptr);

    void refresh(const FeelSettings& settings) override;

    // Copies `file` into the data folder and makes the copy the custom sound; on failure the tab
    // shows "Could not use that file: " with the reason until the next success. True on success.
    bool useSoundFile(const QString& file);

    // The error shown, empty when none.
    QString errorText() const;

private:
    QLabel* m_fileName = nullptr;
    QLabel* m_error = nullptr;
    QPushButton* m_remove = nullptr;
};

} // namespace clickory
