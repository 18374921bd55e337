// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/CameraProbe.h"

namespace clickory {

// Answers `inUse` and counts the questions.
class FakeCameraProbe final : public CameraProbe
{
public:
    bool isCameraInUse() override
    {
        ++queries;
        return inUse;
    }

    bool inUse = false;
    int queries = 0;
};

} // namespace clickory
