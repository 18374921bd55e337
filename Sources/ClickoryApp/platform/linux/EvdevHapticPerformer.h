// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/HapticPerformer.h"

#include <array>
#include <string>

namespace clickory {

// Taps a touchpad that offers force feedback through evdev; Linux has no general haptics API, and
// most touchpads have none, so on most computers this does nothing at all.
//
// At construction it looks once through `inputFolder` (/dev/input) for an event device that is a
// pointer or button pad with rumble force feedback and that we may open for writing; if one is
// found it uploads three short rumble effects (light, snap, step) and plays the matching one per
// tap. Thread: main; perform() is one non-blocking write.
class EvdevHapticPerformer final : public HapticPerformer
{
public:
    explicit EvdevHapticPerformer(const std::string& inputFolder = "/dev/input");
    ~EvdevHapticPerformer() override;
    EvdevHapticPerformer(const EvdevHapticPerformer&) = delete;
    EvdevHapticPerformer& operator=(const EvdevHapticPerformer&) = delete;

    void perform(HapticPattern pattern) override;

    // True when a force-feedback touchpad was found.
    bool hasDevice() const { return m_fd >= 0; }

private:
    int m_fd = -1;
    std::array<int, 3> m_effects{-1, -1, -1};
};

} // namespace clickory
