// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/Workspace.h"

namespace clickory {

// A desktop on demand: set the frontmost application, its windows and the screens; activate()
// brings another application to the front (and tells the handler); wake() reports a wake.
class FakeWorkspace final : public Workspace
{
public:
    std::optional<std::string> frontmostApplicationID() override { return frontmostID; }
    std::optional<std::int64_t> frontmostProcessID() override { return frontmostPID; }
    void onScreenWindows(std::vector<WindowInfo>& out) override
    {
        ++windowQueries;
        out = windows;
    }
    const std::vector<Rect>& screens() override { return screenFrames; }
    void setFrontmostHandler(std::function<void(const std::optional<std::string>&)> handler) override
    {
        frontmostHandler = std::move(handler);
    }
    void setWakeHandler(std::function<void()> handler) override { wakeHandler = std::move(handler); }

    void activate(std::optional<std::string> id, std::optional<std::int64_t> pid = std::nullopt)
    {
        frontmostID = std::move(id);
        frontmostPID = pid;
        if (frontmostHandler)
            frontmostHandler(frontmostID);
    }
    void wake()
    {
        if (wakeHandler)
            wakeHandler();
    }

    std::optional<std::string> frontmostID;
    std::optional<std::int64_t> frontmostPID;
    std::vector<WindowInfo> windows;
    std::vector<Rect> screenFrames;
    int windowQueries = 0;
    std::function<void(const std::optional<std::string>&)> frontmostHandler;
    std::function<void()> wakeHandler;
};

} // namespace clickory
