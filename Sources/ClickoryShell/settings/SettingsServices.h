// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/packs/PackImporter.h"
#include "ClickoryCore/cues/ActionKind.h"
#include "ClickoryCore/feel/HapticPattern.h"

#include <QString>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace clickory {

class UpdaterService;

// What the settings window asks of the rest of the application besides the settings store: the
// controller's previews, the sound engine's cue player, output facts, the permission state, the
// frontmost application, the pack library, launch at login and the updater. The shell fills it from
// the running system; tests fill it with fakes. Every function may be empty: its control then does
// nothing (and is disabled where that is clearer).
//
// Thread: main.
struct SettingsServices
{
    // Selects a profile and plays a few notes with it (the controller's preview).
    std::function<void(const std::string& profileID)> previewProfile;
    // Plays the cue of an action with the settings in force.
    std::function<void(ActionKind kind)> playCue;
    // Taps the trackpad once with a pattern.
    std::function<void(HapticPattern pattern)> testHaptic;

    // The output's estimated delay from key press to sound, none without an estimate.
    std::function<std::optional<double>()> estimatedLatencyMs;
    // Whether the default output is a Bluetooth device.
    std::function<bool()> isBluetooth;

    // Whether global input can be read (the Input Monitoring permission).
    std::function<bool()> inputAllowed;
    // Shows how to allow input; the window explains it itself when empty.
    std::function<void()> showPermissionHelp;

    // The application in front now (desktop-entry id or window class), none when unknown.
    std::function<std::optional<std::string>()> frontmostApplication;

    // The imported-pack library; none when there is nowhere to keep packs.
    const PackImporter* importer = nullptr;
    // Runs the interactive import; `done` runs on the main thread when an import has ended.
    std::function<void(QWidget* parent, std::function<void()> done)> importPack;

    // Launch at login: whether it is on, and switching it (the reason on failure).
    std::function<bool()> launchAtLogin;
    std::function<std::optional<QString>(bool on)> setLaunchAtLogin;

    // "Version " is followed by this.
    QString version;
    // None: no update check is offered.
    UpdaterService* updater = nullptr;

    // The recorded samples (for the credits); none when none are installed.
    std::optional<std::filesystem::path> samplesFolder;
    // The application's data folder, where own sounds are copied ($XDG_DATA_HOME/clickory).
    std::filesystem::path dataFolder;
    // Folders holding desktop entries, searched in order ($XDG_DATA_HOME, then $XDG_DATA_DIRS).
    std::vector<std::filesystem::path> applicationFolders;

    // Dialogs, replaced in tests. Each answers none when the user cancelled.
    std::function<std::optional<QString>(QWidget* parent)> chooseSoundFile;
    std::function<std::optional<std::string>(QWidget* parent)> chooseApplication;

    // $XDG_DATA_HOME/clickory when XDG_DATA_HOME is absolute, else ~/.local/share/clickory.
    static std::filesystem::path defaultDataFolder();
    // $XDG_DATA_HOME/applications, then <dir>/applications for each of $XDG_DATA_DIRS (default
    // /usr/local/share:/usr/share).
    static std::vector<std::filesystem::path> defaultApplicationFolders();
};

} // namespace clickory
