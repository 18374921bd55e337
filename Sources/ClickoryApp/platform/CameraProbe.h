// SPDX-License-Identifier: MIT
#pragma once

namespace clickory {

// Whether any camera is in use by any process right now. Asked at most about once a second (the
// context monitor caches the answer), so it may take a few milliseconds.
//
// Thread: main. Failure: anything that cannot be read counts as "not in use".
class CameraProbe
{
public:
    virtual ~CameraProbe() = default;
    virtual bool isCameraInUse() = 0;
};

} // namespace clickory
