// SPDX-License-Identifier: MIT
// The click ripple: where a click lands on which screen, the layers of each style with their sizes,
// delays and timing, colours, and the overlay windows on Qt's offscreen platform.
#include "ClickoryShell/overlay/RippleOverlay.h"
#include "ClickoryShell/overlay/RipplePlan.h"
#include "ClickoryShell/overlay/RippleWindow.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTest>

#include <cmath>

using namespace clickory;

namespace {

FeelSettings withStyle(RippleStyle style, double duration = 0.5)
{
    FeelSettings settings;
    settings.rippleStyle = style;
    settings.rippleDuration = duration;
    return settings;
}

bool near(double a, double b, double tolerance = 1e-9)
{
    return std::abs(a - b) <= tolerance;
}

} // namespace

class RippleOverlayTests : public QObject
{
    Q_OBJECT

private slots:
    void aClickIsFlippedIntoTheScreenThatHoldsIt()
    {
        // The primary screen, and a second one to its right whose lower edge is 200 points higher.
        const std::vector<Rect> screens{{0, 0, 1920, 1080}, {1920, 200, 1280, 1024}};
        const FeelSettings settings;
        const auto primary = RipplePlan::make({100, 50}, 0, settings, screens);
        QVERIFY(primary);
        QCOMPARE(primary->screen, std::size_t{0});
        QCOMPARE(primary->center, (Point{100, 1030}));
        QCOMPARE(primary->windowPoint, (Point{100, 50}));

        const auto second = RipplePlan::make({2000, 100}, 0, settings, screens);
        QVERIFY(second);
        QCOMPARE(second->screen, std::size_t{1});
        QCOMPARE(second->center, (Point{80, 780}));
        QCOMPARE(second->windowPoint, (Point{80, 244}));
        QCOMPARE(second->size, 46.0);
        QCOMPARE(second->opacity, 0.55f);
    }

    void aClickOutsideEveryScreenDrawsNothing()
    {
        const std::vector<Rect> screens{{0, 0, 1920, 1080}};
        QVERIFY(!RipplePlan::make({-5, 10}, 0, FeelSettings(), screens));
        QVERIFY(!RipplePlan::make({10, 1081}, 0, FeelSettings(), screens)); // below the primary screen
        QVERIFY(!RipplePlan::make({1920, 10}, 0, FeelSettings(), screens)); // frames are half-open
        QVERIFY(!RipplePlan::make({10, 10}, 0, FeelSettings(), {}));
    }

    void eachStyleHasItsLayers()
    {
        const auto ring = RipplePlan::layersFor(RippleStyle::ring, 0.5);
        QCOMPARE(ring, (std::vector<RippleLayer>{{0.0, 0.5, 1.0, 3.0, false}}));
        const auto glow = RipplePlan::layersFor(RippleStyle::glow, 0.5);
        QCOMPARE(glow, (std::vector<RippleLayer>{{0.0, 0.5, 1.15, 0.0, true}}));
        const auto dot = RipplePlan::layersFor(RippleStyle::dot, 0.5);
        QCOMPARE(dot, (std::vector<RippleLayer>{{0.0, 0.5, 0.55, 0.0, true}}));

        // The double ring's second ring starts 0.18 x D later and ends 0.59 s after the click.
        const auto plan = RipplePlan::make({10, 10}, 0, withStyle(RippleStyle::doubleRing, 0.5), {{0, 0, 800, 600}});
        QVERIFY(plan);
        QCOMPARE(plan->layers.size(), std::size_t{2});
        QCOMPARE(plan->layers[0].lineWidth, 3.0);
        QCOMPARE(plan->layers[1].lineWidth, 2.0);
        QVERIFY(near(plan->layers[1].delay, 0.09));
        QVERIFY(near(plan->totalDuration(), 0.59));
        QVERIFY(!plan->layers[1].isFinished(0.58));
        QVERIFY(plan->layers[1].isFinished(0.59 + 1e-9));
    }

    void layersGrowOnAnEaseOutCurveAndFadeInThenOut()
    {
        QCOMPARE(RipplePlan::easeOut(0.0), 0.0);
        QCOMPARE(RipplePlan::easeOut(1.0), 1.0);
        // The Bezier point at parameter 1/2 is (0.3425, 0.5).
        QVERIFY(near(RipplePlan::easeOut(0.3425), 0.5, 1e-9));
        double previous = 0.0;
        for (int i = 1; i <= 100; ++i) {
            const double value = RipplePlan::easeOut(i / 100.0);
            QVERIFY(value > previous);
            previous = value;
        }

        const RippleLayer ring{0.0, 0.5, 1.0, 3.0, false};
        const auto start = ring.frameAt(0.0, 0.55f);
        QCOMPARE(start.scale, 0.25);
        QCOMPARE(start.opacity, 0.0f);
        // Where the eased time reaches the key time 0.15 the opacity peaks.
        double peakAt = 0.0;
        for (double t = 0.0; t < 0.5; t += 1e-5)
            if (RipplePlan::easeOut(t / 0.5) >= 0.15) {
                peakAt = t;
                break;
            }
        QVERIFY(std::abs(ring.frameAt(peakAt, 0.55f).opacity - 0.55f) < 1e-3f);
        const auto middle = ring.frameAt(0.1713, 0.55f); // eased progress 0.5
        QVERIFY(near(middle.scale, 0.625, 1e-3));
        QVERIFY(std::abs(middle.opacity - 0.55f * 0.5f / 0.85f) < 1e-3f);
        const auto end = ring.frameAt(0.5, 0.55f);
        QCOMPARE(end.scale, 1.0);
        QCOMPARE(end.opacity, 0.0f);
        QCOMPARE(ring.frameAt(2.0, 0.55f).opacity, 0.0f);

        // Before its delay the second ring holds its first frame, unseen.
        const RippleLayer second{0.09, 0.5, 1.0, 2.0, false};
        QCOMPARE(second.frameAt(0.05, 1.0f).scale, 0.25);
        QCOMPARE(second.frameAt(0.05, 1.0f).opacity, 0.0f);
        // With opacity 0 nothing is ever visible.
        for (double t = 0.0; t < 0.6; t += 0.01)
            QCOMPARE(ring.frameAt(t, 0.0f).opacity, 0.0f);
    }

    void theButtonPicksTheColourAndBadTextFallsBack()
    {
        FeelSettings settings;
        settings.rippleLeftColor = "#FF0000";
        settings.rippleRightColor = "00ff00";
        settings.rippleOtherColor = "#0000FF";
        QCOMPARE(RipplePlan::colorFor(0, settings), (HexColor::RGB{1, 0, 0}));
        QCOMPARE(RipplePlan::colorFor(1, settings), (HexColor::RGB{0, 1, 0}));
        QCOMPARE(RipplePlan::colorFor(2, settings), (HexColor::RGB{0, 0, 1}));
        QCOMPARE(RipplePlan::colorFor(7, settings), (HexColor::RGB{0, 0, 1}));
        settings.rippleLeftColor = "#12345";
        QCOMPARE(RipplePlan::colorFor(0, settings), (HexColor::RGB{0.54, 0.36, 0.96}));
    }

    void theOverlayMakesOneInputTransparentWindowPerScreenOnFirstUse()
    {
        RippleOverlay overlay(RippleOverlay::Support::always);
        QCOMPARE(overlay.windowCount(), std::size_t{0});
        QScreen* screen = QGuiApplication::primaryScreen();
        QVERIFY(screen);
        const QRect geometry = screen->geometry();
        overlay.show({10, 10}, 0, withStyle(RippleStyle::doubleRing));
        QCOMPARE(overlay.windowCount(), std::size_t{1});
        RippleWindow* window = overlay.existingWindow(screen);
        QVERIFY(window);
        QCOMPARE(window->geometry(), geometry);
        QVERIFY(window->windowFlags().testFlag(Qt::WindowTransparentForInput));
        QVERIFY(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(window->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(window->testAttribute(Qt::WA_TranslucentBackground));
        QCOMPARE(window->runningLayers(), std::size_t{2});
        // Rapid clicks add layers to the same window.
        overlay.show({20, 20}, 1, withStyle(RippleStyle::ring));
        QCOMPARE(overlay.windowCount(), std::size_t{1});
        QCOMPARE(window->runningLayers(), std::size_t{3});
        // A click beyond every screen makes nothing.
        overlay.show({-100, geometry.height() + 100.0}, 0, FeelSettings());
        QCOMPARE(window->runningLayers(), std::size_t{3});
        // A screen change drops the windows; the next click makes a fresh one.
        overlay.rebuild();
        QCOMPARE(overlay.windowCount(), std::size_t{0});
        overlay.show({10, 10}, 0, FeelSettings());
        QCOMPARE(overlay.windowCount(), std::size_t{1});
        QVERIFY(overlay.existingWindow(screen) != window);
    }

    void withoutOverlaySupportRipplesAreSkipped()
    {
        RippleOverlay never(RippleOverlay::Support::never);
        never.show({10, 10}, 0, FeelSettings());
        QCOMPARE(never.windowCount(), std::size_t{0});
        // The offscreen platform is no X11 desktop with a compositor.
        RippleOverlay detect;
        QVERIFY(!detect.canShowOverlays());
        detect.show({10, 10}, 0, FeelSettings());
        QCOMPARE(detect.windowCount(), std::size_t{0});
    }

    void layersRemoveThemselvesWhenTheirAnimationIsOver()
    {
        double now = 0.0;
        RippleWindow window;
        window.setTimeSource([&now]() { return now; });
        window.resize(200, 200);
        const auto plan = RipplePlan::make({100, 100}, 0, withStyle(RippleStyle::doubleRing, 0.5), {{0, 0, 200, 200}});
        window.add(*plan);
        now = 0.3;
        QVERIFY(window.prune());
        QCOMPARE(window.runningLayers(), std::size_t{2});
        // Painted mid-way, the ring's colour shows at its radius and the centre stays clear.
        QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            window.paintLayers(painter);
        }
        QCOMPARE(qAlpha(image.pixel(100, 100)), 0);
        bool drawn = false;
        for (int x = 100; x < 200; ++x)
            drawn = drawn || qAlpha(image.pixel(x, 100)) > 0;
        QVERIFY(drawn);
        now = 0.55;
        QVERIFY(window.prune());
        QCOMPARE(window.runningLayers(), std::size_t{1});
        now = 0.6;
        QVERIFY(!window.prune());
        QCOMPARE(window.runningLayers(), std::size_t{0});
    }
};

QTEST_MAIN(RippleOverlayTests)
#include "RippleOverlayTests.moc"
