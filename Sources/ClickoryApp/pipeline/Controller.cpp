// SPDX-License-Identifier: MIT
#include "ClickoryApp/pipeline/Controller.h"

#include "ClickoryCore/cues/ActionMap.h"
#include "ClickoryCore/input/KeyMap.h"
#include "ClickoryCore/input/Pan.h"
#include "ClickoryCore/profiles/Profiles.h"

#include <algorithm>
#include <iostream>
#include <type_traits>

namespace clickory {

namespace {

constexpr std::int64_t spaceKeyCode = 49;

// The loudness variety factor (1 - 0.35 x volumeVariation x u), in 32-bit floats, left to right.
float jitter(const FeelSettings& settings, float u)
{
    return 1.0f - 0.35f * static_cast<float>(settings.volumeVariation) * u;
}

float panFor(const FeelSettings& settings, double position, double width)
{
    return settings.stereoEnabled ? Pan::value(position, width) : 0.0f;
}

} // namespace

Controller::Controller(const Parts& parts, Logger logger)
    : m_store(parts.store)
    , m_engine(parts.engine)
    , m_monitor(parts.monitor)
    , m_haptics(parts.haptics)
    , m_ripple(parts.ripple)
    , m_mute(parts.mute)
    , m_context(parts.context)
    , m_pasteboard(parts.pasteboard)
    , m_workspace(parts.workspace)
    , m_queue(parts.queue)
    , m_clock(parts.clock)
    , m_logger(std::move(logger))
{
    m_suppressedKeyUps.reserve(32);
}

Controller::~Controller()
{
    if (m_watchdog != 0)
        m_queue.cancel(m_watchdog);
    if (m_started)
    {
        m_monitor.setHandler({});
        m_workspace.setWakeHandler({});
        m_mute.onFrontmostChange = nullptr;
    }
}

std::function<void()> Controller::weakly(std::function<void(Controller&)> body)
{
    std::weak_ptr<Controller*> weak = m_self;
    return [weak, body = std::move(body)] {
        if (const auto self = weak.lock())
            body(**self);
    };
}

void Controller::log(const std::string& line)
{
    if (m_logger)
        m_logger(line);
    else
        std::cerr << line << '\n';
}

void Controller::start()
{
    m_started = true;
    if (const auto failure = m_engine.start())
        log("Clickory: audio engine failed to start: " + *failure);

    m_mute.start();
    std::weak_ptr<Controller*> weak = m_self;
    m_mute.onFrontmostChange = [weak](const std::optional<std::string>&) {
        if (const auto self = weak.lock())
            (*self)->apply((*self)->m_store.settings());
    };

    apply(m_store.settings());

    // Every published value reaches apply on the main queue; the current value once as well.
    MainQueue& queue = m_queue;
    m_subscription = m_store.subscribe([weak, &queue](const FeelSettings& settings) {
        queue.post([weak, settings] {
            if (const auto self = weak.lock())
                (*self)->apply(settings);
        });
    });
    m_queue.post([weak, settings = m_store.settings()] {
        if (const auto self = weak.lock())
            (*self)->apply(settings);
    });

    m_monitor.setHandler([weak](const InputEvent& event) {
        if (const auto self = weak.lock())
            (*self)->handle(event);
    });

    m_workspace.setWakeHandler(weakly([](Controller& self) { self.recoverAfterWake(); }));

    m_watchdog = m_queue.startTimer(watchdogInterval, weakly([](Controller& self) { self.healthCheck(); }));
}

void Controller::apply(const FeelSettings& settings)
{
    m_cfg = settings;
    m_engine.setMaster(static_cast<float>(std::clamp(settings.masterVolume, 0.0, 1.0)));
    m_pacer.spacing = trackpadSpacing(settings.scrollStyle);

    const std::string* profile = &settings.profileID;
    if (const auto& frontmost = m_mute.frontmostBundleID())
    {
        if (const auto entry = settings.appProfiles.find(*frontmost); entry != settings.appProfiles.end())
            profile = &entry->second;
    }
    if (*profile != m_lastSound.profile || settings.scrollStyle != m_lastSound.scroll ||
        settings.customSoundPath != m_lastSound.custom)
    {
        m_lastSound = {*profile, settings.scrollStyle, settings.customSoundPath};
        m_engine.load(m_lastSound.profile, m_lastSound.scroll, m_lastSound.custom);
    }

    m_engine.loadCues(settings);

    if (!m_lastLatency || *m_lastLatency != settings.lowLatency)
    {
        m_lastLatency = settings.lowLatency;
        m_engine.setLowLatency(settings.lowLatency);
    }
}

void Controller::repairTap(bool logFailure)
{
    bool running = true;
    if (m_monitor.hasTap())
    {
        if (!m_monitor.isEnabled())
        {
            m_monitor.enable();
            if (!m_monitor.isEnabled())
            {
                m_monitor.stop();
                running = m_monitor.start();
            }
        }
    }
    else
    {
        running = m_monitor.start();
    }
    if (!running && logFailure)
        log("Clickory: input monitoring is not running");
}

void Controller::healthCheck()
{
    if (m_monitor.hasPermission())
        repairTap(true);
    if (!m_engine.isRunning())
        m_engine.restartAfterWake();
}

void Controller::recoverAfterWake()
{
    m_engine.restartAfterWake();
    if (m_monitor.hasTap() || m_monitor.hasPermission())
        repairTap(true);
    apply(m_store.settings());
}

void Controller::nextProfile()
{
    std::vector<std::string> ids;
    for (const SoundProfile& profile : Profiles::all())
        ids.push_back(profile.id);
    for (const SoundProfile& profile : *Profiles::imported())
        ids.push_back(profile.id);
    const auto current = std::find(ids.begin(), ids.end(), m_store.settings().profileID);
    if (current == ids.end())
        return;
    const auto next = std::next(current) == ids.end() ? ids.begin() : std::next(current);
    preview(*next);
}

void Controller::preview(const std::string& profileID)
{
    FeelSettings settings = m_store.settings();
    settings.profileID = profileID;
    settings.customSoundPath.reset();
    m_store.setSettings(std::move(settings));
    m_queue.postAfter(previewDelay, weakly([](Controller& self) { self.playPreviewNotes(); }));
}

void Controller::playPreviewNotes()
{
    struct Note
    {
        double at;
        SoundRole role;
        double semitones;
        float pan;
    };
    static constexpr Note notes[] = {
        {0.0, SoundRole::keyDown, -0.3, -0.2f},  {0.09, SoundRole::keyUp, -0.3, -0.2f},
        {0.26, SoundRole::keyDown, 0.3, 0.2f},   {0.35, SoundRole::keyUp, 0.3, 0.2f},
        {0.56, SoundRole::spaceDown, 0.0, 0.0f}, {0.68, SoundRole::spaceUp, 0.0, 0.0f},
    };
    for (const Note& note : notes)
    {
        if (note.at == 0.0)
        {
            m_engine.play(note.role, note.semitones, previewGain, note.pan, std::nullopt);
            continue;
        }
        // The engine outlives the controller, but a note scheduled by a controller that is gone
        // stays silent, like every other delayed task.
        m_queue.postAfter(note.at, weakly([note](Controller& self) {
                              self.m_engine.play(note.role, note.semitones, previewGain, note.pan, std::nullopt);
                          }));
    }
}

double Controller::screenPosition(Point location) const
{
    const std::vector<Rect>& screens = m_workspace.screens();
    if (screens.empty())
        return 0.5;
    const double h = screens.front().height;
    const double x = location.x;
    const double y = h - location.y;
    for (const Rect& frame : screens)
    {
        if (frame.contains(x, y))
            return (x - frame.minX()) / frame.width;
    }
    return 0.5;
}

bool Controller::takeSuppressed(std::int64_t code)
{
    const auto it = std::find(m_suppressedKeyUps.begin(), m_suppressedKeyUps.end(), code);
    if (it == m_suppressedKeyUps.end())
        return false;
    m_suppressedKeyUps.erase(it);
    return true;
}

void Controller::handle(const InputEvent& event)
{
    if (onEvent)
        onEvent(event);
    // The settings in force. apply() only ever runs from the main queue or from the monitors'
    // handlers, never during this call, so reading them in place is reading a copy taken now,
    // without copying the record's strings and maps for every event.
    const FeelSettings& settings = m_cfg;

    if (settings.hotkeysEnabled)
    {
        if (const auto* key = std::get_if<KeyEvent>(&event); key && key->down && !key->isRepeat)
        {
            for (const Hotkey& hotkey : {Hotkey::toggleDefault, Hotkey::nextSoundDefault})
            {
                if (hotkey.matches(key->code, key->flags))
                {
                    if (onHotkey)
                        onHotkey(hotkey);
                    return;
                }
            }
        }
    }
    if (!settings.enabled)
        return;
    if (m_mute.isMuted(settings))
        return;
    if (settings.muteWhenCameraInUse && m_context.cameraInUse())
        return;
    if (settings.silentInFullScreen && m_context.frontAppIsFullScreen())
        return;
    const double now = m_clock.now();

    std::visit(
        [&](const auto& e) {
            using E = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<E, KeyEvent>)
                handleKey(e, settings, now);
            else if constexpr (std::is_same_v<E, ModifierEvent>)
                handleModifier(e, settings);
            else if constexpr (std::is_same_v<E, MouseEvent>)
                handleMouse(e, settings);
            else
                handleScroll(e, settings, now);
        },
        event);
}

void Controller::handleKey(const KeyEvent& event, const FeelSettings& settings, double now)
{
    if (event.down && !event.isRepeat && settings.actionCuesEnabled)
    {
        if (const auto kind = ActionMap::match(static_cast<int>(event.code), event.flags))
        {
            const ActionCue cue = settings.cue(*kind);
            if (cue.enabled)
            {
                playCue(*kind, cue, settings);
                if (settings.replaceKeyClickForActions)
                {
                    // Held once however often the key goes down before its release.
                    if (std::find(m_suppressedKeyUps.begin(), m_suppressedKeyUps.end(), event.code) ==
                        m_suppressedKeyUps.end())
                        m_suppressedKeyUps.push_back(event.code);
                    return;
                }
            }
        }
    }
    if (!event.down)
    {
        if (takeSuppressed(event.code))
            return;
        if (!settings.keyboardEnabled || !settings.keyReleaseEnabled)
            return;
    }
    else if (!settings.keyboardEnabled)
    {
        return;
    }
    if (event.isRepeat && !settings.playOnKeyRepeat)
        return;

    const KeyInfo info = KeyMap::info(event.code);
    const float pan = panFor(settings, info.x, settings.stereoWidth);

    const float u = m_engine.randomUnit();
    float gain = jitter(settings, u) * static_cast<float>(settings.keysGain);
    if (event.code == spaceKeyCode)
        gain *= static_cast<float>(settings.spaceGain);

    if (settings.typingDynamics)
    {
        if (event.down && !event.isRepeat)
        {
            const double rate = m_dynamics.press(now);
            m_dynamicsGain = static_cast<float>(TypingDynamics::gain(rate, settings.dynamicsAmount));
        }
        gain *= m_dynamicsGain;
    }

    const SoundRole role = KeyMap::role(event.code, event.down);
    const float s = m_engine.randomSignedUnit();
    const double semitones = info.semitones + settings.pitchVariation * static_cast<double>(s) * 0.5;

    m_engine.play(role, semitones, gain, pan, event.code);

    if (event.down && settings.hapticsOnKeys)
        m_haptics.perform(settings.hapticPattern);
}

void Controller::handleModifier(const ModifierEvent& event, const FeelSettings& settings)
{
    if (!settings.keyboardEnabled || !settings.modifierKeysEnabled)
        return;
    if (!event.down && !settings.keyReleaseEnabled)
        return;
    const KeyInfo info = KeyMap::info(event.code);
    const float pan = panFor(settings, info.x, settings.stereoWidth);

    const float s = m_engine.randomSignedUnit();
    const double semitones = info.semitones + settings.pitchVariation * static_cast<double>(s) * 0.5;

    const float u = m_engine.randomUnit();
    const float gain =
        jitter(settings, u) * static_cast<float>(settings.keysGain) * static_cast<float>(settings.modifierGain);

    m_engine.play(event.down ? SoundRole::modifierDown : SoundRole::modifierUp, semitones, gain, pan, event.code);
}

void Controller::handleMouse(const MouseEvent& event, const FeelSettings& settings)
{
    if (!settings.mouseEnabled)
        return;
    if (!event.down && !settings.mouseReleaseEnabled)
        return;
    const SoundRole role = event.button == 1 ? (event.down ? SoundRole::mouseRightDown : SoundRole::mouseRightUp)
                                             : (event.down ? SoundRole::mouseDown : SoundRole::mouseUp);
    const float pan = settings.stereoEnabled ? Pan::value(screenPosition(event.location), settings.stereoWidth) : 0.0f;

    const float s = m_engine.randomSignedUnit();
    const double semitones = settings.pitchVariation * static_cast<double>(s) * 0.5;

    const float u = m_engine.randomUnit();
    const float gain = jitter(settings, u) * static_cast<float>(settings.mouseGain);

    m_engine.play(role, semitones, gain, pan, std::nullopt);

    if (event.down)
    {
        if (settings.hapticsOnClick)
            m_haptics.perform(settings.hapticPattern);
        if (settings.rippleEnabled)
            m_ripple.show(event.location, event.button, settings);
    }
}

void Controller::handleScroll(const ScrollEvent& event, const FeelSettings& settings, double now)
{
    if (settings.scrollStyle == ScrollStyle::off)
        return;
    const double d = event.continuous ? event.delta : event.delta * m_pacer.spacing;
    if (!m_pacer.feed(d, now))
        return;
    const float pan =
        settings.stereoEnabled ? Pan::value(screenPosition(event.location), settings.stereoWidth * 0.5) : 0.0f;
    const float f = event.continuous && event.momentum ? 0.8f : 1.0f;

    const float s = m_engine.randomSignedUnit();
    const double semitones = settings.pitchVariation * static_cast<double>(s) * 0.5 * 0.6;

    const float u = m_engine.randomUnit();
    const float gain = f * jitter(settings, u) * static_cast<float>(settings.scrollGain);

    m_engine.play(SoundRole::scrollTick, semitones, gain, pan, std::nullopt);

    if (event.continuous && !event.momentum && settings.hapticsOnScroll && m_hapticGate.allow(now))
        m_haptics.perform(settings.hapticPattern);
}

void Controller::playCue(ActionKind kind, const ActionCue& cue, const FeelSettings& settings)
{
    const float g = static_cast<float>(cue.gain);
    if (changesClipboard(kind) && settings.confirmClipboard)
    {
        const std::int64_t before = m_pasteboard.changeCount();
        m_queue.postAfter(clipboardCheckDelay, weakly([kind, g, before](Controller& self) {
                              if (self.m_pasteboard.changeCount() == before)
                                  self.m_engine.playCue(std::nullopt, g);
                              else
                                  self.m_engine.playCue(kind, g);
                          }));
        return;
    }
    m_engine.playCue(kind, g);
}

} // namespace clickory
