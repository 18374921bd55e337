// SPDX-License-Identifier: MIT
#include "ClickoryCore/input/TypingDynamics.h"

#include <algorithm>
#include <cmath>

namespace clickory {
namespace {

// std::clamp to [lo, hi], with NaN taking `lo`.
double clampOrLow(double v, double lo, double hi)
{
    return std::isnan(v) ? lo : std::clamp(v, lo, hi);
}

} // namespace

TypingDynamics::TypingDynamics(double window) : m_window(window)
{
    m_stamps.reserve(reservedStamps);
}

double TypingDynamics::press(double now)
{
    if (!std::isfinite(now)) {
        return static_cast<double>(m_stamps.size()) / m_window;
    }
    m_stamps.push_back(now);
    // Stable and in place: the survivors keep their order and the storage is reused.
    std::erase_if(m_stamps, [now, window = m_window](double t) { return now - t > window; });
    return static_cast<double>(m_stamps.size()) / m_window;
}

double TypingDynamics::gain(double rate, double amount)
{
    const double t = clampOrLow((rate - 4.0) * 0.125, 0.0, 1.0);
    const double s = t * t * (3.0 - 2.0 * t);
    const double a = 0.45 * clampOrLow(amount, 0.0, 1.0);
    return 1.0 - a * s;
}

} // namespace clickory
