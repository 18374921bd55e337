// SPDX-License-Identifier: MIT
#include "ClickoryApp/monitors/ContextMonitor.h"

#include <cmath>

namespace clickory {

ContextMonitor::ContextMonitor(Workspace& workspace, CameraProbe& camera, const Clock& clock)
    : m_workspace(workspace)
    , m_camera(camera)
    , m_clock(clock)
{
}

bool ContextMonitor::frontAppIsFullScreen()
{
    const double now = m_clock.now();
    if (now - m_fullScreenCache.at < cacheSeconds)
        return m_fullScreenCache.value;
    const bool answer = computeFullScreen();
    m_fullScreenCache = {answer, now};
    return answer;
}

bool ContextMonitor::computeFullScreen()
{
    const std::optional<std::int64_t> pid = m_workspace.frontmostProcessID();
    if (!pid)
        return false;
    m_workspace.onScreenWindows(m_windows);
    const std::vector<Rect>& screens = m_workspace.screens();
    for (const WindowInfo& window : m_windows)
    {
        if (window.pid != *pid || window.layer != 0)
            continue;
        if (window.fullScreenState)
            return true;
        for (const Rect& frame : screens)
        {
            if (std::fabs(frame.width - window.bounds.width) < fullScreenTolerance &&
                std::fabs(frame.height - window.bounds.height) < fullScreenTolerance)
                return true;
        }
    }
    return false;
}

bool ContextMonitor::queryCamera()
{
    return m_camera.isCameraInUse();
}

bool ContextMonitor::cameraInUse()
{
    const double now = m_clock.now();
    if (now - m_cameraCache.at < cacheSeconds)
        return m_cameraCache.value;
    const bool answer = queryCamera();
    m_cameraCache = {answer, now};
    return answer;
}

} // namespace clickory
