// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryShell/overlay/RipplePlan.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

namespace clickory {

// The overlay of one screen: a frameless, transparent window above everything that never takes
// focus or mouse input, covering the screen. It paints the running ripples and forgets each one
// when its animation is over; it repaints at the display's pace only while something runs.
//
// Thread: main.
class RippleWindow : public QWidget
{
    Q_OBJECT

public:
    // Seconds since the window was made; replaced in tests to step through an animation.
    using TimeSource = std::function<double()>;

    explicit RippleWindow(QWidget* parent = nullptr);

    // Starts the layers of a plan now. The plan's window point must be in this window.
    void add(const RipplePlan& plan);

    // The layers still running (each with its plan's point, size, colour and opacity).
    std::size_t runningLayers() const { return m_running.size(); }

    void setTimeSource(TimeSource source) { m_time = std::move(source); }

    // Drops the layers that are over; true while any runs.
    bool prune();

    // Paints the running layers as they look now onto `painter` (also used to render stills).
    void paintLayers(class QPainter& painter);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Running
    {
        RippleLayer layer;
        Point center;
        double size;
        float opacity;
        HexColor::RGB color;
        double startedAt;
    };

    double now() const;
    void tick();

    std::vector<Running> m_running;
    QElapsedTimer m_clock;
    QTimer m_frameTimer;
    TimeSource m_time;
};

} // namespace clickory
