// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace clickory {

// The clipboard's change count: a number that grows by one each time the CLIPBOARD selection
// changes (any owner, any content). The controller reads it when Copy or Cut is pressed and again
// 0.28 s later to tell whether anything was copied.
//
// Thread: main. Must answer at once from state kept up to date by the toolkit; never waits for
// the clipboard's owner.
class PasteboardCounter
{
public:
    virtual ~PasteboardCounter() = default;
    virtual std::int64_t changeCount() const = 0;
};

} // namespace clickory
