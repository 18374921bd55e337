// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/PasteboardCounter.h"

namespace clickory {

// A clipboard change count the test moves by hand (copyHappened()).
class FakePasteboardCounter final : public PasteboardCounter
{
public:
    std::int64_t changeCount() const override { return count; }
    void copyHappened() { ++count; }
    std::int64_t count = 0;
};

} // namespace clickory
