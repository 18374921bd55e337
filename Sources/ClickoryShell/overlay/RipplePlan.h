// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/input/InputEvent.h"
#include "ClickoryApp/platform/Workspace.h"
#include "ClickoryCore/settings/FeelSettings.h"
#include "ClickoryCore/settings/HexColor.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace clickory {

// One animated circle of a ripple: it appears `delay` seconds after the click, grows from
// `startScale` to `endScale` of the ripple's size over `duration` seconds on an ease-out curve, and
// fades in to the peak opacity by 15 % of that time and out to nothing at its end.
struct RippleLayer
{
    static constexpr double startScale = 0.25;
    static constexpr double peakKeyTime = 0.15;

    double delay = 0.0;
    double duration = 0.0;
    double endScale = 1.0;
    // Stroked circles only; 0 for filled discs.
    double lineWidth = 0.0;
    bool filled = false;

    // What the layer shows at one moment.
    struct Frame
    {
        double scale;
        float opacity;
    };

    // The scale and opacity `elapsed` seconds after the click, for a peak opacity. Before its delay
    // the layer holds its first frame, after its end its last one; both are fully transparent.
    Frame frameAt(double elapsed, float peakOpacity) const;

    // True once the layer's animation is over.
    bool isFinished(double elapsed) const { return elapsed >= delay + duration; }

    friend bool operator==(const RippleLayer&, const RippleLayer&) = default;
};

// Everything one click's ripple draws, computed from the settings at the moment of the click.
struct RipplePlan
{
    // The colour drawn when the button's colour text is not a colour.
    static constexpr HexColor::RGB fallbackColor{0.54, 0.36, 0.96};

    // Index into the screens the plan was made for.
    std::size_t screen = 0;
    // The click relative to the screen's lower-left corner, y upwards.
    Point center;
    // The same point in the screen's window, origin top-left, y downwards (where it is painted).
    Point windowPoint;
    // Diameter at scale 1, in points.
    double size = 0.0;
    float opacity = 0.0f;
    HexColor::RGB color{0.0, 0.0, 0.0};
    std::vector<RippleLayer> layers;

    // The plan for a click at `at` (global event coordinates: origin at the top-left of the primary
    // screen, y downwards). `screens` are frames with the origin at the bottom-left of the primary
    // screen, y upwards, the primary first. Nothing when there are no screens or the point lies on
    // none of them.
    static std::optional<RipplePlan> make(Point at, std::int64_t button, const FeelSettings& settings,
                                          const std::vector<Rect>& screens);

    // The layers of a style for a duration.
    static std::vector<RippleLayer> layersFor(RippleStyle style, double duration);

    // The colour of a button: 0 left, 1 right, anything else the other colour; the fallback when the
    // text does not parse.
    static HexColor::RGB colorFor(std::int64_t button, const FeelSettings& settings);

    // The ease-out timing curve (cubic Bezier with control points (0, 0), (0.58, 1)) at progress t in
    // [0, 1].
    static double easeOut(double t);

    // Seconds until the last layer has finished.
    double totalDuration() const;
};

} // namespace clickory
