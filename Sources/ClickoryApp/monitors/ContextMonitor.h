// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/CameraProbe.h"
#include "ClickoryApp/platform/Clock.h"
#include "ClickoryApp/platform/Workspace.h"

#include <vector>

namespace clickory {

// Two slow questions behind the quiet rules, each answered from the system at most once a second:
// is a camera in use, and is the frontmost application showing a full-screen window.
//
// Thread: main. The workspace, the probe and the clock must outlive the monitor.
class ContextMonitor
{
public:
    // An answer and when (clock seconds) it was obtained.
    struct Cached
    {
        bool value = false;
        double at = -10.0;
    };

    // A window counts as full screen when both its sides are within this many points of a screen's.
    static constexpr double fullScreenTolerance = 2.0;
    static constexpr double cacheSeconds = 1.0;

    ContextMonitor(Workspace& workspace, CameraProbe& camera, const Clock& clock);

    // Whether the frontmost application shows a full-screen window: one of its on-screen windows on
    // layer 0 whose size is within 2 points (strictly) of some screen's, or that the window manager
    // marks full screen. Cached for 1 s.
    bool frontAppIsFullScreen();

    // Asks the probe, uncached.
    bool queryCamera();

    // The camera answer as the pipeline uses it: cached for 1 s.
    bool cameraInUse();

    const Cached& cameraCache() const { return m_cameraCache; }
    const Cached& fullScreenCache() const { return m_fullScreenCache; }

private:
    bool computeFullScreen();

    Workspace& m_workspace;
    CameraProbe& m_camera;
    const Clock& m_clock;
    Cached m_cameraCache;
    Cached m_fullScreenCache;
    // Reused between queries, so a refresh allocates only when the window list grows.
    std::vector<WindowInfo> m_windows;
};

} // namespace clickory
