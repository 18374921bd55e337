// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/profiles/SoundProfile.h"
#include "ClickoryShell/settings/DesktopApplications.h"
#include "ClickoryShell/settings/SettingsTab.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QPushButton;
class QVBoxLayout;

namespace clickory {

// Apps: the applications in which Clickory stays silent, a sound per application, and the
// microphone rule. Applications are named by their desktop-entry id (or window class), shown by
// their desktop entry's name and icon. "Add the frontmost app" adds the last application that was in
// front before Clickory's own window, since Clickory itself is in front while this tab is used.
class AppsTab final : public SettingsTab
{
    Q_OBJECT

public:
    AppsTab(SettingsStore& store, const SettingsServices& services, QWidget* parent = nullptr);

    void refresh(const FeelSettings& settings) override;

    // Told the application in front now; remembers it unless it is Clickory itself.
    void noteFrontmost(const std::optional<std::string>& id);
    // The application "Add the frontmost app" adds, none when unknown.
    const std::optional<std::string>& lastOtherApplication() const { return m_lastOther; }

    // Adds an application to the silenced list (nothing when empty or already there).
    void addMuted(const std::string& id);
    // Gives an application its own sound, starting with the sound chosen now.
    void addAppProfile(const std::string& id);

    // Whether an application id is Clickory's own.
    static bool isOwnApplication(const std::string& id);

    // A dialog listing the installed applications with names and icons; the chosen one's id.
    static std::optional<std::string> chooseApplication(QWidget* parent, const std::vector<DesktopApplication>& apps);

private:
    void rebuildMuted(const std::vector<std::string>& ids);
    void rebuildProfiles(const std::map<std::string, std::string>& profiles);
    QWidget* appLabel(const std::string& id) const;
    void updateFrontmostButtons();

    std::vector<DesktopApplication> m_apps;
    std::optional<std::string> m_lastOther;
    QVBoxLayout* m_mutedRows = nullptr;
    QVBoxLayout* m_profileRows = nullptr;
    QWidget* m_mutedContent = nullptr;
    QWidget* m_profileContent = nullptr;
    QPushButton* m_addFrontMuted = nullptr;
    QPushButton* m_addFrontProfile = nullptr;
    std::optional<std::vector<std::string>> m_shownMuted;
    std::optional<std::map<std::string, std::string>> m_shownProfiles;
    std::shared_ptr<const std::vector<SoundProfile>> m_shownImported;
};

} // namespace clickory
