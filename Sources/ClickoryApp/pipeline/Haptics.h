// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/HapticPerformer.h"

namespace clickory {

// Trackpad taps: performs a pattern at once through the platform's performer. No state; the
// scroll gate lives with the pipeline. Thread: main. The performer must outlive this object.
class Haptics
{
public:
    explicit Haptics(HapticPerformer& performer) : m_performer(performer) {}

    void perform(HapticPattern pattern) { m_performer.perform(pattern); }

private:
    HapticPerformer& m_performer;
};

} // namespace clickory
