// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <vector>

namespace clickory {

// Measures the typing rate from the times of recent key presses, so that fast typing can play
// quieter. The controller owns one with a one-second window and feeds it every non-repeat press.
class TypingDynamics
{
public:
    // How many stamps are reserved up front; more than a window holds at human speeds, so a
    // press never allocates once the first few have been recorded.
    static constexpr std::size_t reservedStamps = 64;

    // `window` is the length of the measuring window in seconds and must be positive.
    explicit TypingDynamics(double window);

    // Records a press at `now` (seconds on a monotonic clock) and returns the typing rate in
    // presses per second: the presses of the last `window` seconds, this one included, divided by
    // `window`. Stamps exactly `window` old still count. A non-finite `now` is not recorded; the
    // rate of the stamps held is returned instead. Does not allocate while the presses of one
    // window fit the reserved capacity.
    double press(double now);

    // Gain factor in [0.55, 1] for a typing rate: 1 up to 4 presses per second, easing down to
    // 1 - 0.45 * amount from 12 presses per second. `amount` is clamped to [0, 1].
    static double gain(double rate, double amount);

    // Times of the presses still inside the window, oldest first. Stale stamps are only dropped
    // by the next press.
    const std::vector<double>& stamps() const { return m_stamps; }
    double window() const { return m_window; }

private:
    std::vector<double> m_stamps;
    double m_window;
};

} // namespace clickory
