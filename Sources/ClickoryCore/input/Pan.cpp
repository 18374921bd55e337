// SPDX-License-Identifier: MIT
#include "ClickoryCore/input/Pan.h"

#include <algorithm>
#include <cmath>

namespace clickory::Pan {
namespace {

// Like std::clamp to [0, 1], but a NaN (say, a click position on a screen of zero width) takes
// `fallback`, so no NaN reaches the mixer.
double clampUnit(double v, double fallback)
{
    return std::isnan(v) ? fallback : std::clamp(v, 0.0, 1.0);
}

} // namespace

float value(double position, double width)
{
    const double p = clampUnit(position, 0.5);
    const double w = clampUnit(width, 0.0);
    return static_cast<float>(w * (p - 0.5) * 2.0 * 0.85);
}

} // namespace clickory::Pan
