// SPDX-License-Identifier: MIT
#include "ClickoryShell/SystemRuntime.h"

#include "ClickoryShell/SystemLog.h"

namespace clickory {

namespace {

// Stands in when the session offers no input source at all: it never starts and says why.
class UnavailableInputSource final : public InputSource
{
public:
    explicit UnavailableInputSource(std::string reason) : m_reason(std::move(reason)) {}
    bool start(InputSink&) override { return false; }
    void stop() override {}
    bool isRunning() const override { return false; }
    bool canReadInput() const override { return false; }
    std::string lastError() const override { return m_reason; }

private:
    std::string m_reason;
};

} // namespace

SystemRuntime::SystemRuntime(Platform& platform, SettingsStore& store, MainQueue& queue)
{
    m_output = platform.makeAudioOutput();
    m_audioQueue = platform.makeAudioQueue();
    m_reader = platform.makeSoundFileReader();
    m_engine = std::make_unique<SoundEngine>(*m_output, *m_audioQueue, *m_reader, platform.samplesFolder());
    m_engine->setLogger([](const std::string& line) { SystemLog::write(line); });
    m_player = std::make_unique<EngineSoundPlayer>(*m_engine);
    m_outputDevice = platform.makeOutputDevice(m_output.get());
    m_source = platform.makeInputSource(queue, m_inputError);
    if (!m_source)
        m_source = std::make_unique<UnavailableInputSource>(m_inputError);
    m_monitor = std::make_unique<EventMonitor>(*m_source);
    m_tap = std::make_unique<MonitorEventTap>(*m_monitor);
    m_performer = platform.makeHapticPerformer();
    m_haptics = std::make_unique<Haptics>(*m_performer);
    m_ripple = platform.makeRippleView();
    m_workspace = platform.makeWorkspace(queue);
    m_devices = platform.makeAudioDevices(queue);
    m_mute = std::make_unique<MuteMonitor>(*m_workspace, *m_devices);
    m_camera = platform.makeCameraProbe();
    m_clock = platform.makeClock();
    m_context = std::make_unique<ContextMonitor>(*m_workspace, *m_camera, *m_clock);
    m_pasteboard = platform.makePasteboardCounter();
    const Controller::Parts parts{store,       *m_player,     *m_tap,      *m_haptics, *m_ripple, *m_mute,
                                  *m_context,  *m_pasteboard, *m_workspace, queue,     *m_clock};
    m_controller = std::make_unique<Controller>(parts, [](const std::string& line) { SystemLog::write(line); });
}

SystemRuntime::~SystemRuntime()
{
    m_controller.reset();
    if (m_monitor)
        m_monitor->stop();
}

} // namespace clickory
