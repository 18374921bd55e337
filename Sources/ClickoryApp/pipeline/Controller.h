// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/input/InputEvent.h"
#include "ClickoryApp/monitors/ContextMonitor.h"
#include "ClickoryApp/monitors/MuteMonitor.h"
#include "ClickoryApp/pipeline/EventTap.h"
#include "ClickoryApp/pipeline/Haptics.h"
#include "ClickoryApp/pipeline/SoundPlayer.h"
#include "ClickoryApp/platform/Clock.h"
#include "ClickoryApp/platform/MainQueue.h"
#include "ClickoryApp/platform/PasteboardCounter.h"
#include "ClickoryApp/platform/RippleView.h"
#include "ClickoryApp/platform/Workspace.h"
#include "ClickoryApp/settings/SettingsStore.h"
#include "ClickoryCore/feel/HapticGate.h"
#include "ClickoryCore/feel/ScrollPacer.h"
#include "ClickoryCore/input/Hotkey.h"
#include "ClickoryCore/input/TypingDynamics.h"
#include "ClickoryCore/settings/FeelSettings.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace clickory {

// Ties the running system together: keeps the settings in force in step with the store, turns
// every input event into sound, cue, tap and ripple requests (handle), starts everything in a
// fixed order, re-applies the settings when they change or another application comes to the
// front, repairs the input tap and the sound engine after sleep and once a minute, and offers the
// operations the menu and settings window use to switch and audition sounds.
//
// Construction: the shell builds every collaborator and hands them over in `Parts`; the controller
// keeps references only, so each part must outlive it. Nothing starts until start().
//
// Thread: main, for everything. handle() never blocks and allocates nothing beyond the one play
// request it hands to the engine (the Copy/Cut clipboard check adds its delayed task). Delayed
// tasks, timers and handlers given out hold the controller weakly and do nothing once it is gone;
// the destructor cancels the watchdog and removes its handlers from the store, tap, workspace and
// mute monitor.
class Controller
{
public:
    // The collaborators, all owned by the caller.
    struct Parts
    {
        SettingsStore& store;
        SoundPlayer& engine;
        EventTap& monitor;
        Haptics& haptics;
        RippleView& ripple;
        MuteMonitor& mute;
        ContextMonitor& context;
        PasteboardCounter& pasteboard;
        // Wake from sleep and the screens (for the stereo position of clicks and scrolls).
        Workspace& workspace;
        MainQueue& queue;
        const Clock& clock;
    };

    // What the engine was last asked to load.
    struct LastSound
    {
        std::string profile;
        ScrollStyle scroll = ScrollStyle::off;
        std::optional<std::string> custom;

        friend bool operator==(const LastSound&, const LastSound&) = default;
    };

    // Receives the system-log lines ("Clickory: ..."); by default they go to standard error.
    using Logger = std::function<void(const std::string&)>;

    static constexpr double clipboardCheckDelay = 0.28;
    static constexpr double previewDelay = 0.2;
    static constexpr double watchdogInterval = 60.0;
    static constexpr float previewGain = 0.9f;

    explicit Controller(const Parts& parts, Logger logger = {});
    ~Controller();
    Controller(const Controller&) = delete;
    Controller& operator=(const Controller&) = delete;

    // Told when a hotkey is pressed (the toggle and next-sound combinations); the caller acts on it.
    std::function<void(const Hotkey&)> onHotkey;
    // Sees every event first (the self-test listens here).
    std::function<void(const InputEvent&)> onEvent;

    // Starts, in order: the engine (a failure is logged), the mute monitor with its frontmost
    // callback, one apply of the store's settings, the store subscription (delivered on the main
    // queue, the current value once at once), the tap's handler, the wake handler and the 60 s
    // watchdog. Called once.
    void start();

    // The event pipeline: hotkeys, the master switch, the mute, camera and full-screen rules, then
    // cues, key, modifier, click and scroll sounds with their taps and ripples.
    void handle(const InputEvent& event);

    // Switches to a profile (clearing a custom sound) through the store, and 0.2 s later plays the
    // demonstration notes.
    void preview(const std::string& profileID);

    // Previews the profile after the store's current one (built-in, then imported; wraps around).
    // Does nothing when the current id is not in the list.
    void nextProfile();

    // Six notes over 0.68 s with the sounds loaded now.
    void playPreviewNotes();

    // Puts settings in force: master volume, scroll spacing, the profile for the frontmost
    // application (loaded only when the sound choice changed), cues, low latency (set only when it
    // changed). Called by the controller itself; public for tests and benchmarks.
    void apply(const FeelSettings& settings);

    // The watchdog: repairs the tap (with permission) and restarts an engine that is not running.
    void healthCheck();

    // After sleep: restarts the engine, repairs the tap, re-applies the settings.
    void recoverAfterWake();

    // The horizontal position (0...1) of a point across the screen that holds it; 0.5 outside every
    // screen or without screens.
    double screenPosition(Point location) const;

    // State, for the shell's diagnostics and for tests.
    const FeelSettings& cfg() const { return m_cfg; }
    const LastSound& lastSound() const { return m_lastSound; }
    std::optional<bool> lastLatency() const { return m_lastLatency; }
    const ScrollPacer& pacer() const { return m_pacer; }
    const HapticGate& hapticGate() const { return m_hapticGate; }
    const TypingDynamics& dynamics() const { return m_dynamics; }
    float dynamicsGain() const { return m_dynamicsGain; }
    const std::vector<std::int64_t>& suppressedKeyUps() const { return m_suppressedKeyUps; }
    bool hasWatchdog() const { return m_watchdog != 0; }

private:
    void handleKey(const KeyEvent& event, const FeelSettings& settings, double now);
    void handleModifier(const ModifierEvent& event, const FeelSettings& settings);
    void handleMouse(const MouseEvent& event, const FeelSettings& settings);
    void handleScroll(const ScrollEvent& event, const FeelSettings& settings, double now);
    void playCue(ActionKind kind, const ActionCue& cue, const FeelSettings& settings);
    void repairTap(bool logFailure);
    bool takeSuppressed(std::int64_t code);
    void log(const std::string& line);
    // A task that runs `body` on this controller if it still exists.
    std::function<void()> weakly(std::function<void(Controller&)> body);

    SettingsStore& m_store;
    SoundPlayer& m_engine;
    EventTap& m_monitor;
    Haptics& m_haptics;
    RippleView& m_ripple;
    MuteMonitor& m_mute;
    ContextMonitor& m_context;
    PasteboardCounter& m_pasteboard;
    Workspace& m_workspace;
    MainQueue& m_queue;
    const Clock& m_clock;
    Logger m_logger;

    ScrollPacer m_pacer{28.0, 20.0};
    HapticGate m_hapticGate{0.04};
    TypingDynamics m_dynamics{1.0};
    float m_dynamicsGain = 1.0f;
    SettingsStore::Subscription m_subscription;
    LastSound m_lastSound{"", ScrollStyle::off, std::nullopt};
    std::optional<bool> m_lastLatency;
    MainQueue::Token m_watchdog = 0;
    // Key codes whose next release stays silent; a flat list with room reserved, so inserting never
    // allocates at human speeds.
    std::vector<std::int64_t> m_suppressedKeyUps;
    FeelSettings m_cfg;
    bool m_started = false;
    std::shared_ptr<Controller*> m_self = std::make_shared<Controller*>(this);
};

} // namespace clickory
