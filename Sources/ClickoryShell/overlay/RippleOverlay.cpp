// SPDX-License-Identifier: MIT
#include "ClickoryShell/overlay/RippleOverlay.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtGui/qguiapplication_platform.h>

#include <X11/Xlib.h>

#include <string>

namespace clickory {

RippleOverlay::RippleOverlay(Support support, QObject* parent) : QObject(parent), m_support(support)
{
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::screenAdded, this, [this](QScreen*) {
            rebuild();
            watchScreens();
        });
        connect(app, &QGuiApplication::screenRemoved, this, [this](QScreen*) { rebuild(); });
        connect(app, &QGuiApplication::primaryScreenChanged, this, [this](QScreen*) { rebuild(); });
    }
    watchScreens();
}

RippleOverlay::~RippleOverlay()
{
    for (auto& [screen, overlay] : m_windows)
        delete overlay.data();
}

void RippleOverlay::watchScreens()
{
    for (QScreen* screen : QGuiApplication::screens())
        connect(screen, &QScreen::geometryChanged, this, &RippleOverlay::rebuild, Qt::UniqueConnection);
}

std::vector<QScreen*> RippleOverlay::orderedScreens()
{
    std::vector<QScreen*> screens;
    QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return screens;
    screens.push_back(primary);
    for (QScreen* screen : QGuiApplication::screens())
        if (screen != primary)
            screens.push_back(screen);
    return screens;
}

std::vector<Rect> RippleOverlay::frames(const std::vector<QScreen*>& screens)
{
    std::vector<Rect> out;
    if (screens.empty())
        return out;
    const QRect primary = screens.front()->geometry();
    const double primaryBottom = primary.y() + primary.height();
    for (QScreen* screen : screens) {
        const QRect g = screen->geometry();
        out.push_back(Rect{static_cast<double>(g.x()), primaryBottom - (g.y() + g.height()),
                           static_cast<double>(g.width()), static_cast<double>(g.height())});
    }
    return out;
}

bool RippleOverlay::compositorRunning()
{
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return false;
    const std::string name = "_NET_WM_CM_S" + std::to_string(DefaultScreen(display));
    const Atom selection = XInternAtom(display, name.c_str(), False);
    return selection != None && XGetSelectionOwner(display, selection) != None;
}

bool RippleOverlay::canShowOverlays() const
{
    switch (m_support) {
    case Support::always:
        return true;
    case Support::never:
        return false;
    case Support::detect:
        break;
    }
    // Only X11 with a compositor shows translucent top-level windows above others; on Wayland a
    // client may neither place a window at a screen position nor keep it above the rest.
    return QGuiApplication::platformName() == QLatin1String("xcb") && compositorRunning();
}

void RippleOverlay::show(Point at, std::int64_t button, const FeelSettings& settings)
{
    if (!canShowOverlays())
        return;
    const std::vector<QScreen*> screens = orderedScreens();
    const std::optional<RipplePlan> plan = RipplePlan::make(at, button, settings, frames(screens));
    if (!plan)
        return;
    if (RippleWindow* overlay = window(screens[plan->screen]))
        overlay->add(*plan);
}

RippleWindow* RippleOverlay::existingWindow(QScreen* screen) const
{
    const auto found = m_windows.find(screen);
    return found == m_windows.end() ? nullptr : found->second.data();
}

RippleWindow* RippleOverlay::window(QScreen* screen)
{
    if (RippleWindow* existing = existingWindow(screen))
        return existing;
    auto* overlay = new RippleWindow();
    overlay->setScreen(screen);
    overlay->setGeometry(screen->geometry());
    overlay->show();
    m_windows[screen] = overlay;
    return overlay;
}

void RippleOverlay::rebuild()
{
    for (auto& [screen, overlay] : m_windows) {
        if (overlay) {
            overlay->hide();
            overlay->deleteLater();
        }
    }
    m_windows.clear();
}

} // namespace clickory
