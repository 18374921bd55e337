// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/MainQueue.h"

#include <bitset>
#include <functional>

namespace clickory {

// The display server's keyboard auto-repeat, replayed on our side. X11's raw events, the only
// global key events, carry no auto-repeat (the server repeats only towards the focused window), so
// the X11 source repeats with the server's own settings: after `delay` seconds of holding the key
// that was pressed last, one repeat every `interval` seconds until it is released or another key
// is pressed; keys the server does not repeat (modifiers, normally) never repeat.
//
// Thread: main. The queue must outlive the repeater; the destructor cancels its timers.
class KeyRepeater
{
public:
    struct Settings
    {
        bool enabled = true;
        double delay = 0.66;     // seconds until the first repeat
        double interval = 0.04;  // seconds between repeats
        // Which Linux key codes repeat (index = code); all of them by default.
        std::bitset<0x300> repeating = std::bitset<0x300>().set();
    };

    // `onRepeat` gets the Linux code of the key to report as pressed again.
    KeyRepeater(MainQueue& queue, std::function<void(int evdevCode)> onRepeat);
    ~KeyRepeater();
    KeyRepeater(const KeyRepeater&) = delete;
    KeyRepeater& operator=(const KeyRepeater&) = delete;

    void configure(const Settings& settings);

    // A real press. If this key repeats, it takes over: the repeat of the previous key stops and this
    // key's is armed. A key that does not repeat (Shift, say) leaves the current repeat running.
    void pressed(int evdevCode);
    // A real release: stops the repeat if this is the repeating key.
    void released(int evdevCode);
    // Stops any repeat.
    void cancel();

    // The key being held for repeat, or -1.
    int heldKey() const { return m_key; }

private:
    void firstRepeat();

    MainQueue& m_queue;
    std::function<void(int)> m_onRepeat;
    Settings m_settings;
    int m_key = -1;
    MainQueue::Token m_token = 0;
};

} // namespace clickory
