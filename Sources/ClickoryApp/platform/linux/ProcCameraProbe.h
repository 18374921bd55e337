// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/CameraProbe.h"

#include <string>

namespace clickory {

// A camera is in use when any process holds a video capture device open: some /proc/<pid>/fd/<n>
// links to /dev/video<...>. Processes whose descriptors we may not read (other users') are skipped,
// so a camera used only by another user's program is not seen.
//
// Thread: any. A full scan reads every process's descriptor table: a few milliseconds, which is why
// the context monitor asks at most once a second.
class ProcCameraProbe final : public CameraProbe
{
public:
    // `procRoot` is "/proc", or a folder laid out like it (tests).
    explicit ProcCameraProbe(std::string procRoot = "/proc") : m_root(std::move(procRoot)) {}

    bool isCameraInUse() override;

private:
    std::string m_root;
};

} // namespace clickory
