// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/AudioDevices.h"
#include "ClickoryApp/platform/Workspace.h"
#include "ClickoryCore/settings/FeelSettings.h"
#include "ClickoryCore/settings/OutputKind.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace clickory {

// Keeps the three facts behind the mute rules current (frontmost application, microphone in use,
// kind of output device) and answers, for every input event, whether the rules say silence.
//
// Before start() nothing is known: no application, microphone not in use, kind unknown, so sound
// plays. start() reads the facts and follows their changes: the workspace's frontmost handler and
// the audio devices' change handler (both on the main thread) refresh the fields.
//
// Thread: main. The workspace and the devices must outlive the monitor; the monitor removes its
// handlers from both when destroyed.
class MuteMonitor
{
public:
    MuteMonitor(Workspace& workspace, AudioDevices& devices);
    ~MuteMonitor();
    MuteMonitor(const MuteMonitor&) = delete;
    MuteMonitor& operator=(const MuteMonitor&) = delete;

    // Told the new frontmost identifier after another application came to the front.
    std::function<void(const std::optional<std::string>&)> onFrontmostChange;

    // Reads the facts and installs the handlers. Called once.
    void start();

    // In order: the frontmost application is in `mutedBundleIDs` (compared exactly); the microphone
    // rule is on and the microphone in use; the output rule forbids the output kind. Never allocates.
    bool isMuted(const FeelSettings& settings) const;

    // Re-reads the microphone and the output kind (what a device change does).
    void refresh();

    const std::optional<std::string>& frontmostBundleID() const { return m_frontmostBundleID; }
    bool microphoneInUse() const { return m_microphoneInUse; }
    OutputKind outputKind() const { return m_outputKind; }

private:
    void frontmostChanged(const std::optional<std::string>& id);

    Workspace& m_workspace;
    AudioDevices& m_devices;
    std::optional<std::string> m_frontmostBundleID;
    bool m_microphoneInUse = false;
    OutputKind m_outputKind = OutputKind::unknown;
    bool m_started = false;
    // Handlers given out hold this weakly, so they do nothing once the monitor is gone.
    std::shared_ptr<MuteMonitor*> m_self = std::make_shared<MuteMonitor*>(this);
};

} // namespace clickory
