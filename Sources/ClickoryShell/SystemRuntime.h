// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/engine/SoundEngine.h"
#include "ClickoryApp/input/EventMonitor.h"
#include "ClickoryApp/monitors/ContextMonitor.h"
#include "ClickoryApp/monitors/MuteMonitor.h"
#include "ClickoryApp/pipeline/Controller.h"
#include "ClickoryApp/pipeline/EngineSoundPlayer.h"
#include "ClickoryApp/pipeline/Haptics.h"
#include "ClickoryApp/pipeline/MonitorEventTap.h"
#include "ClickoryApp/settings/SettingsStore.h"
#include "ClickoryShell/Platform.h"

#include <memory>
#include <string>

namespace clickory {

// The running system: the controller with everything it owns for the life of the process (the
// sound engine and its output, the event monitor and its input source, haptics, ripples, the mute
// and context monitors), built from the platform's implementations. Nothing starts here; the
// delegate calls controller().start() and starts the monitor when input may be read.
//
// Members are destroyed in reverse order: the controller first, the output last. Thread: main.
class SystemRuntime
{
public:
    SystemRuntime(Platform& platform, SettingsStore& store, MainQueue& queue);
    ~SystemRuntime();
    SystemRuntime(const SystemRuntime&) = delete;
    SystemRuntime& operator=(const SystemRuntime&) = delete;

    Controller& controller() { return *m_controller; }
    SoundEngine& engine() { return *m_engine; }
    EventMonitor& monitor() { return *m_monitor; }
    OutputDevice& outputDevice() { return *m_outputDevice; }
    MuteMonitor& mute() { return *m_mute; }
    Haptics& haptics() { return *m_haptics; }
    // Why no input source could be made (the monitor then never starts); empty normally.
    const std::string& inputError() const { return m_inputError; }

private:
    std::unique_ptr<AudioOutput> m_output;
    std::unique_ptr<WorkQueue> m_audioQueue;
    std::unique_ptr<SoundFileReader> m_reader;
    std::unique_ptr<SoundEngine> m_engine;
    std::unique_ptr<EngineSoundPlayer> m_player;
    std::unique_ptr<OutputDevice> m_outputDevice;
    std::unique_ptr<InputSource> m_source;
    std::unique_ptr<EventMonitor> m_monitor;
    std::unique_ptr<MonitorEventTap> m_tap;
    std::unique_ptr<HapticPerformer> m_performer;
    std::unique_ptr<Haptics> m_haptics;
    std::unique_ptr<RippleView> m_ripple;
    std::unique_ptr<Workspace> m_workspace;
    std::unique_ptr<AudioDevices> m_devices;
    std::unique_ptr<MuteMonitor> m_mute;
    std::unique_ptr<CameraProbe> m_camera;
    std::unique_ptr<Clock> m_clock;
    std::unique_ptr<ContextMonitor> m_context;
    std::unique_ptr<PasteboardCounter> m_pasteboard;
    std::unique_ptr<Controller> m_controller;
    std::string m_inputError;
};

} // namespace clickory
