// SPDX-License-Identifier: MIT
#include "ClickoryShell/overlay/RippleWindow.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace clickory {

RippleWindow::RippleWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool |
                          Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus |
                          Qt::X11BypassWindowManagerHint | Qt::NoDropShadowWindowHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    m_clock.start();
    m_frameTimer.setTimerType(Qt::PreciseTimer);
    m_frameTimer.setInterval(16);
    connect(&m_frameTimer, &QTimer::timeout, this, &RippleWindow::tick);
}

double RippleWindow::now() const
{
    return m_time ? m_time() : static_cast<double>(m_clock.nsecsElapsed()) * 1e-9;
}

void RippleWindow::add(const RipplePlan& plan)
{
    const double started = now();
    for (const RippleLayer& layer : plan.layers)
        m_running.push_back(Running{layer, plan.windowPoint, plan.size, plan.opacity, plan.color, started});
    if (!m_frameTimer.isActive())
        m_frameTimer.start();
    update();
}

bool RippleWindow::prune()
{
    const double t = now();
    std::erase_if(m_running, [t](const Running& r) { return r.layer.isFinished(t - r.startedAt); });
    return !m_running.empty();
}

void RippleWindow::tick()
{
    if (!prune())
        m_frameTimer.stop();
    update();
}

void RippleWindow::paintLayers(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    const double t = now();
    for (const Running& r : m_running) {
        const RippleLayer::Frame frame = r.layer.frameAt(t - r.startedAt, r.opacity);
        if (frame.opacity <= 0.0f)
            continue;
        const QColor color = QColor::fromRgbF(static_cast<float>(r.color.r), static_cast<float>(r.color.g),
                                              static_cast<float>(r.color.b), 1.0f);
        painter.setOpacity(frame.opacity);
        // The whole layer scales about its centre, its stroke with it.
        const double radius = r.size / 2.0 * frame.scale;
        const QPointF center(r.center.x, r.center.y);
        if (r.layer.filled) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(color);
        } else {
            painter.setPen(QPen(color, r.layer.lineWidth * frame.scale));
            painter.setBrush(Qt::NoBrush);
        }
        painter.drawEllipse(center, radius, radius);
    }
    painter.setOpacity(1.0);
}

void RippleWindow::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(event->rect(), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    paintLayers(painter);
}

} // namespace clickory
