// SPDX-License-Identifier: MIT
// The ripple overlay on a real X server (a private Xvfb started here): without a compositing
// manager ripples are skipped; once one owns the _NET_WM_CM_S0 selection, a click maps an overlay
// window over the screen.
#include "ClickoryShell/overlay/RippleOverlay.h"
#include "Platform/XvfbServer.h"

#include <QApplication>
#include <QScreen>
#include <QTest>

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

using namespace clickory;

class RippleOverlayX11Tests : public QObject
{
    Q_OBJECT

    FeelSettings settings() const
    {
        FeelSettings s;
        s.rippleEnabled = true;
        return s;
    }

private slots:
    void withoutACompositorRipplesAreSkipped()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QVERIFY(!RippleOverlay::compositorRunning());
        RippleOverlay overlay;
        QVERIFY(!overlay.canShowOverlays());
        overlay.show({100, 100}, 0, settings());
        QCOMPARE(overlay.windowCount(), std::size_t{0});
    }

    void withACompositorAClickMapsAnOverlayOverItsScreen()
    {
        // Stand in for a compositing manager: own its selection from another connection.
        Display* other = XOpenDisplay(qgetenv("DISPLAY").constData());
        QVERIFY(other);
        const Window owner = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 1, 1, 0, 0, 0);
        const Atom selection = XInternAtom(other, "_NET_WM_CM_S0", False);
        XSetSelectionOwner(other, selection, owner, CurrentTime);
        XSync(other, False);
        QVERIFY(RippleOverlay::compositorRunning());

        RippleOverlay overlay;
        overlay.show({100, 100}, 0, settings());
        QCOMPARE(overlay.windowCount(), std::size_t{1});
        QScreen* screen = QGuiApplication::primaryScreen();
        RippleWindow* window = overlay.existingWindow(screen);
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(window->geometry(), screen->geometry());
        QCOMPARE(window->runningLayers(), std::size_t{1});
        // The ripple ends and removes its layer; the window stays for the next click.
        QTRY_COMPARE_WITH_TIMEOUT(window->runningLayers(), std::size_t{0}, 3000);
        QCOMPARE(overlay.windowCount(), std::size_t{1});

        XDestroyWindow(other, owner);
        XCloseDisplay(other);
    }
};

int main(int argc, char** argv)
{
    XvfbServer server;
    if (!server.start()) {
        std::fprintf(stderr, "%s\n", server.error().c_str());
        return 1;
    }
    qputenv("DISPLAY", QByteArray::fromStdString(server.displayName()));
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    RippleOverlayX11Tests tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "RippleOverlayX11Tests.moc"
