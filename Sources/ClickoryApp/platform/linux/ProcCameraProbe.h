// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/CameraProbe.h"

#include <string>

namespace clickory {

// A camera is in use when any process holds a video capture device open: some /proc/<pid>/fd/<n>
// links to /dev/video<...>. Processes whose descriptors we may not read (other users') are skipped,
// so a camera used only by another user's program is not seen.
//
// A machine without any video device node (no /dev/video<n>) has no camera to be in use: the
// answer is then false at the cost of one small directory read, without touching /proc.
//
// Thread: any. A full scan reads every process's descriptor table: a few milliseconds (several
// hundred system calls on a busy machine), which is why the context monitor asks at most once a
// second and why the device check comes first.
class ProcCameraProbe final : public CameraProbe
{
public:
    // `procRoot` is "/proc", or a folder laid out like it (tests); `deviceRoot` is "/dev", or a
    // folder that holds (or lacks) video<n> entries.
    explicit ProcCameraProbe(std::string procRoot = "/proc", std::string deviceRoot = "/dev")
        : m_root(std::move(procRoot)), m_devices(std::move(deviceRoot))
    {
    }

    bool isCameraInUse() override;

private:
    bool anyVideoDevice() const;

    std::string m_root;
    std::string m_devices;
};

} // namespace clickory
