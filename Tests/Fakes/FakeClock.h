// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/Clock.h"
#include "ClickoryApp/platform/MainQueue.h"

namespace clickory {

// A clock that reads a main queue's clock (a FakeMainQueue's manual one in tests), so that delayed
// tasks and uptime move together.
class FakeClock final : public Clock
{
public:
    explicit FakeClock(const MainQueue& queue) : m_queue(queue) {}
    double now() const override { return m_queue.now(); }

private:
    const MainQueue& m_queue;
};

} // namespace clickory
