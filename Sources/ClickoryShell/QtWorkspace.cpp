// SPDX-License-Identifier: MIT
#include "ClickoryShell/QtWorkspace.h"

#include <QGuiApplication>
#include <QScreen>

namespace clickory {

QtWorkspace::QtWorkspace(QObject* parent) : QObject(parent)
{
    updateScreens();
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
    {
        connect(app, &QGuiApplication::screenAdded, this, &QtWorkspace::updateScreens);
        connect(app, &QGuiApplication::screenRemoved, this, &QtWorkspace::updateScreens);
        connect(app, &QGuiApplication::primaryScreenChanged, this, &QtWorkspace::updateScreens);
    }
}

void QtWorkspace::updateScreens()
{
    m_screens.clear();
    QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return;
    // Qt's coordinates run downwards from the top-left of the virtual desktop; the workspace's run
    // upwards from the bottom-left of the primary screen.
    const double primaryBottom = primary->geometry().y() + primary->geometry().height();
    const auto convert = [&](const QRect& g) {
        return Rect{static_cast<double>(g.x()), primaryBottom - (g.y() + g.height()), static_cast<double>(g.width()),
                    static_cast<double>(g.height())};
    };
    m_screens.push_back(convert(primary->geometry()));
    for (QScreen* screen : QGuiApplication::screens())
    {
        if (screen != primary)
            m_screens.push_back(convert(screen->geometry()));
        connect(screen, &QScreen::geometryChanged, this, &QtWorkspace::updateScreens, Qt::UniqueConnection);
    }
}

} // namespace clickory
