// SPDX-License-Identifier: MIT
#include "ClickoryApp/input/ScrollAccumulator.h"

#include <cmath>

namespace clickory {

double ScrollAccumulator::add(double units, double unitsPerNotch)
{
    if (!(unitsPerNotch > 0.0) || !std::isfinite(units) || units == 0.0)
    {
        return 0.0;
    }
    if ((units > 0.0) != (m_pending > 0.0) && m_pending != 0.0)
    {
        m_pending = 0.0;
    }
    m_pending += units / unitsPerNotch;
    // A little tolerance, so that steps like 3 x 40/120 add up to one notch despite rounding.
    const double notches = std::trunc(m_pending + (m_pending > 0.0 ? 1e-9 : -1e-9));
    m_pending -= notches;
    if (std::fabs(m_pending) < 1e-9)
    {
        m_pending = 0.0;
    }
    return notches;
}

} // namespace clickory
