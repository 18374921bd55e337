// SPDX-License-Identifier: MIT
#include "ClickoryApp/monitors/MuteMonitor.h"

#include "ClickoryCore/settings/OutputRule.h"

namespace clickory {

MuteMonitor::MuteMonitor(Workspace& workspace, AudioDevices& devices) : m_workspace(workspace), m_devices(devices) {}

MuteMonitor::~MuteMonitor()
{
    if (m_started)
    {
        m_workspace.setFrontmostHandler({});
        m_devices.unwatch();
    }
}

void MuteMonitor::start()
{
    m_started = true;
    m_frontmostBundleID = m_workspace.frontmostApplicationID();
    std::weak_ptr<MuteMonitor*> weak = m_self;
    m_workspace.setFrontmostHandler([weak](const std::optional<std::string>& id) {
        if (const auto self = weak.lock())
            (*self)->frontmostChanged(id);
    });
    refresh();
    m_devices.watch([weak] {
        if (const auto self = weak.lock())
            (*self)->refresh();
    });
}

void MuteMonitor::frontmostChanged(const std::optional<std::string>& id)
{
    m_frontmostBundleID = id;
    if (onFrontmostChange)
        onFrontmostChange(m_frontmostBundleID);
}

void MuteMonitor::refresh()
{
    m_microphoneInUse = m_devices.defaultInputIsRunning();
    m_outputKind = m_devices.outputKind();
}

bool MuteMonitor::isMuted(const FeelSettings& settings) const
{
    if (m_frontmostBundleID)
    {
        for (const std::string& muted : settings.mutedBundleIDs)
        {
            if (muted == *m_frontmostBundleID)
                return true;
        }
    }
    if (settings.muteWhenMicrophoneInUse && m_microphoneInUse)
        return true;
    return !allowsSound(m_outputKind, settings.outputRule);
}

} // namespace clickory
