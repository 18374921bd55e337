// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/Workspace.h"

#include <QObject>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace clickory {

// The workspace as Qt sees it: the screens (kept current from QGuiApplication's screen signals,
// converted to the bottom-left origin with y upwards) and the wake handler (driven from outside by
// wake()). Qt knows nothing of other applications' windows, so the frontmost application and the
// window list are unknown here; per-application rules then do not apply.
// Thread: main; needs a QGuiApplication.
class QtWorkspace final : public QObject, public Workspace
{
    Q_OBJECT

public:
    explicit QtWorkspace(QObject* parent = nullptr);

    std::optional<std::string> frontmostApplicationID() override { return std::nullopt; }
    std::optional<std::int64_t> frontmostProcessID() override { return std::nullopt; }
    void onScreenWindows(std::vector<WindowInfo>& out) override { out.clear(); }
    const std::vector<Rect>& screens() override { return m_screens; }
    void setFrontmostHandler(std::function<void(const std::optional<std::string>&)> handler) override
    {
        m_frontmost = std::move(handler);
    }
    void setWakeHandler(std::function<void()> handler) override { m_wake = std::move(handler); }

    // Reports a wake from sleep to the handler.
    void wake()
    {
        if (m_wake)
            m_wake();
    }

private:
    void updateScreens();

    std::vector<Rect> m_screens;
    std::function<void(const std::optional<std::string>&)> m_frontmost;
    std::function<void()> m_wake;
};

} // namespace clickory
