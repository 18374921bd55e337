// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/RippleView.h"
#include "ClickoryShell/overlay/RipplePlan.h"
#include "ClickoryShell/overlay/RippleWindow.h"

#include <QObject>
#include <QPointer>

#include <map>
#include <vector>

class QScreen;

namespace clickory {

// Draws click ripples in overlay windows, one per screen, made when a screen first gets a ripple
// and all dropped when the screens change (added, removed, moved or resized); the next click makes
// them afresh. Where the desktop cannot show translucent overlays (X11 without a compositing
// manager, Wayland, no display) ripples are skipped quietly.
//
// Thread: main; needs a QGuiApplication.
class RippleOverlay final : public QObject, public RippleView
{
    Q_OBJECT

public:
    enum class Support
    {
        // Ask the desktop at each click (X11 with a running compositing manager).
        detect,
        // Always draw (screenshots, tests on the offscreen platform).
        always,
        never,
    };

    explicit RippleOverlay(Support support = Support::detect, QObject* parent = nullptr);
    ~RippleOverlay() override;

    void show(Point at, std::int64_t button, const FeelSettings& settings) override;

    // Orders every window out and forgets them.
    void rebuild();

    // The overlay window of a screen, made and shown if missing.
    RippleWindow* window(QScreen* screen);

    // Whether overlays can be shown now.
    bool canShowOverlays() const;

    // The screens as the ripple sees them: Qt's screens, the primary first, as frames with the
    // origin at the bottom-left of the primary screen and y upwards.
    static std::vector<QScreen*> orderedScreens();
    static std::vector<Rect> frames(const std::vector<QScreen*>& screens);

    // The windows made so far, for tests.
    std::size_t windowCount() const { return m_windows.size(); }
    RippleWindow* existingWindow(QScreen* screen) const;

    // True on X11 when a compositing manager owns the _NET_WM_CM_S<screen> selection.
    static bool compositorRunning();

private:
    void watchScreens();

    Support m_support;
    std::map<QScreen*, QPointer<RippleWindow>> m_windows;
};

} // namespace clickory
