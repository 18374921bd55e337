// SPDX-License-Identifier: MIT
#include "ClickoryShell/overlay/RipplePlan.h"

#include <algorithm>
#include <cmath>

namespace clickory {

RippleLayer::Frame RippleLayer::frameAt(double elapsed, float peakOpacity) const
{
    const double local = duration > 0.0 ? (elapsed - delay) / duration : (elapsed >= delay ? 1.0 : 0.0);
    const double progress = RipplePlan::easeOut(std::clamp(local, 0.0, 1.0));
    const double scale = startScale + (endScale - startScale) * progress;
    // Key frames 0, peak, 0 at key times 0, 0.15, 1, interpolated linearly in the eased time.
    double opacity = 0.0;
    if (progress <= peakKeyTime)
        opacity = peakOpacity * (progress / peakKeyTime);
    else
        opacity = peakOpacity * ((1.0 - progress) / (1.0 - peakKeyTime));
    return Frame{scale, static_cast<float>(std::max(0.0, opacity))};
}

std::optional<RipplePlan> RipplePlan::make(Point at, std::int64_t button, const FeelSettings& settings,
                                           const std::vector<Rect>& screens)
{
    if (screens.empty())
        return std::nullopt;
    // Event coordinates run downwards from the primary screen's top; screen frames run upwards from
    // its bottom.
    const double primaryHeight = screens.front().height;
    const Point q{at.x, primaryHeight - at.y};
    const auto found =
        std::find_if(screens.begin(), screens.end(), [&](const Rect& frame) { return frame.contains(q.x, q.y); });
    if (found == screens.end())
        return std::nullopt;

    RipplePlan plan;
    plan.screen = static_cast<std::size_t>(found - screens.begin());
    plan.center = Point{q.x - found->minX(), q.y - found->minY()};
    plan.windowPoint = Point{plan.center.x, found->height - plan.center.y};
    plan.size = settings.rippleSize;
    plan.opacity = static_cast<float>(settings.rippleOpacity);
    plan.color = colorFor(button, settings);
    plan.layers = layersFor(settings.rippleStyle, settings.rippleDuration);
    return plan;
}

std::vector<RippleLayer> RipplePlan::layersFor(RippleStyle style, double duration)
{
    switch (style) {
    case RippleStyle::ring:
        return {RippleLayer{0.0, duration, 1.0, 3.0, false}};
    case RippleStyle::doubleRing:
        return {RippleLayer{0.0, duration, 1.0, 3.0, false}, RippleLayer{0.18 * duration, duration, 1.0, 2.0, false}};
    case RippleStyle::glow:
        return {RippleLayer{0.0, duration, 1.15, 0.0, true}};
    case RippleStyle::dot:
        return {RippleLayer{0.0, duration, 0.55, 0.0, true}};
    }
    return {};
}

HexColor::RGB RipplePlan::colorFor(std::int64_t button, const FeelSettings& settings)
{
    const std::string& text = button == 0   ? settings.rippleLeftColor
                              : button == 1 ? settings.rippleRightColor
                                            : settings.rippleOtherColor;
    return HexColor::parse(text).value_or(fallbackColor);
}

double RipplePlan::easeOut(double t)
{
    if (t <= 0.0)
        return 0.0;
    if (t >= 1.0)
        return 1.0;
    // x(s) = 3(1-s)^2 s x1 + 3(1-s) s^2 x2 + s^3 with x1 = 0, x2 = 0.58; y likewise with y1 = 0, y2 = 1.
    constexpr double x2 = 0.58;
    const auto x = [&](double s) { return 3.0 * (1.0 - s) * s * s * x2 + s * s * s; };
    const auto y = [&](double s) { return 3.0 * (1.0 - s) * s * s + s * s * s; };
    // x is increasing on [0, 1]: bisection finds s with x(s) = t to well below a pixel's worth.
    double lo = 0.0;
    double hi = 1.0;
    for (int i = 0; i < 48; ++i) {
        const double mid = 0.5 * (lo + hi);
        if (x(mid) < t)
            lo = mid;
        else
            hi = mid;
    }
    return y(0.5 * (lo + hi));
}

double RipplePlan::totalDuration() const
{
    double end = 0.0;
    for (const RippleLayer& layer : layers)
        end = std::max(end, layer.delay + layer.duration);
    return end;
}

} // namespace clickory
