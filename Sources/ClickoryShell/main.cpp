// SPDX-License-Identifier: MIT
// The program's entry point: picks the Linux implementations, makes sure there is a desktop, keeps
// one instance per user, and runs the application delegate on Qt's event loop.
#include "ClickoryApp/input/InputBackend.h"
#include "ClickoryApp/platform/ThreadWorkQueue.h"
#include "ClickoryApp/platform/ffmpeg/FfmpegSoundFileReader.h"
#include "ClickoryApp/platform/linux/EvdevHapticPerformer.h"
#include "ClickoryApp/platform/linux/InputPlatform.h"
#include "ClickoryApp/platform/linux/LogindWakeWatch.h"
#include "ClickoryApp/platform/linux/MonotonicClock.h"
#include "ClickoryApp/platform/linux/ProcCameraProbe.h"
#include "ClickoryApp/platform/packimport/LinuxPackImporter.h"
#include "ClickoryApp/platform/pulse/PulseAudioDevices.h"
#include "ClickoryApp/platform/pulse/PulseAudioOutput.h"
#include "ClickoryApp/platform/pulse/PulseOutputDevice.h"
#include "ClickoryApp/platform/x11/X11Workspace.h"
#include "ClickoryShell/AppDelegate.h"
#include "ClickoryShell/BundleInfo.h"
#include "ClickoryShell/LaunchOptions.h"
#include "ClickoryShell/ProcessStats.h"
#include "ClickoryShell/QtMainQueue.h"
#include "ClickoryShell/QtPasteboardCounter.h"
#include "ClickoryShell/QtWorkspace.h"
#include "ClickoryShell/SingleInstance.h"
#include "ClickoryShell/SystemLog.h"
#include "ClickoryShell/overlay/RippleOverlay.h"
#include "ClickoryShell/settings/SettingsView.h"
#include "ClickoryShell/tray/MenuGlyph.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QFile>
#include <QFileInfo>

#include <X11/Xlib.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/socket.h>
#include <unistd.h>

using namespace clickory;

namespace {

class LinuxPlatform final : public Platform
{
public:
    explicit LinuxPlatform(MainQueue& queue) : m_wake(queue) {}

    std::unique_ptr<AudioOutput> makeAudioOutput() override { return std::make_unique<PulseAudioOutput>(); }
    std::unique_ptr<WorkQueue> makeAudioQueue() override { return std::make_unique<ThreadWorkQueue>(); }
    std::unique_ptr<SoundFileReader> makeSoundFileReader() override
    {
        return std::make_unique<FfmpegSoundFileReader>();
    }
    std::optional<std::filesystem::path> samplesFolder() override { return SoundEngine::locateSamplesFolder(); }
    std::unique_ptr<OutputDevice> makeOutputDevice(AudioOutput* stream) override
    {
        return std::make_unique<PulseOutputDevice>(stream);
    }
    std::unique_ptr<InputSource> makeInputSource(MainQueue& queue, std::string& error) override
    {
        const auto backend = chooseInputBackendFromEnvironment();
        if (!backend)
        {
            error = backend.error();
            return nullptr;
        }
        return InputPlatform::makeSource(*backend, queue);
    }
    std::unique_ptr<InputInjector> makeInjector(std::string& error) override
    {
        const auto backend = chooseInputBackendFromEnvironment();
        if (!backend)
        {
            error = backend.error();
            return nullptr;
        }
        return InputPlatform::makeInjector(*backend, error);
    }
    std::unique_ptr<Workspace> makeWorkspace(MainQueue& queue) override
    {
        // On X11 the window manager tells the frontmost application, its windows and full screen,
        // so per-application sounds and the full-screen rule apply; elsewhere only screens and wake.
        if (QGuiApplication::platformName() == QLatin1String("xcb"))
        {
            auto x11 = std::make_unique<X11Workspace>(queue);
            if (x11->open())
                return x11;
            SystemLog::write("Clickory: the frontmost application is not known: " + x11->lastError());
        }
        auto workspace = std::make_unique<QtWorkspace>();
        QtWorkspace* raw = workspace.get();
        // Without a system bus no wake is reported; the controller's watchdog still repairs.
        if (!m_wake.isRunning() && !m_wake.start([raw]() { raw->wake(); }))
            SystemLog::write("Clickory: wake from sleep is not watched: " + m_wake.lastError());
        return workspace;
    }
    std::unique_ptr<AudioDevices> makeAudioDevices(MainQueue& queue) override
    {
        return std::make_unique<PulseAudioDevices>(queue);
    }
    std::unique_ptr<CameraProbe> makeCameraProbe() override { return std::make_unique<ProcCameraProbe>(); }
    std::unique_ptr<HapticPerformer> makeHapticPerformer() override
    {
        return std::make_unique<EvdevHapticPerformer>();
    }
    std::unique_ptr<RippleView> makeRippleView() override { return std::make_unique<RippleOverlay>(); }
    std::unique_ptr<PasteboardCounter> makePasteboardCounter() override
    {
        return std::make_unique<QtPasteboardCounter>();
    }
    std::unique_ptr<Clock> makeClock() override { return std::make_unique<MonotonicClock>(); }
    std::optional<PackImporter> makePackImporter() override { return makeLinuxPackImporter(); }

private:
    LogindWakeWatch m_wake;
};

// Whether a display server answers: an X server at $DISPLAY, or a Wayland socket. Checked before Qt
// starts, since Qt aborts when its platform cannot connect.
bool desktopReachable()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return true;  // the caller chose Qt's platform (offscreen in tests)
    if (const QByteArray display = qgetenv("DISPLAY"); !display.isEmpty())
    {
        if (Display* x = XOpenDisplay(display.constData()))
        {
            XCloseDisplay(x);
            return true;
        }
    }
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (!wayland.isEmpty())
    {
        const QString path = QDir::isAbsolutePath(wayland)
                                 ? wayland
                                 : qEnvironmentVariable("XDG_RUNTIME_DIR") + QLatin1Char('/') + wayland;
        return QFileInfo::exists(path);
    }
    return false;
}

// Monotonic seconds at which this process started: its age from /proc/self/stat (clock ticks since
// boot) taken off the current time, so the launch time includes loading the program.
double processStartSeconds()
{
    const double now = ProcessStats::wallSeconds();
    QFile stat(QStringLiteral("/proc/self/stat"));
    timespec boot{};
    if (!stat.open(QIODevice::ReadOnly) || ::clock_gettime(CLOCK_BOOTTIME, &boot) != 0)
        return now;
    const QByteArray text = stat.readAll();
    // The fields after the command name, which is in parentheses and may hold spaces.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 20)
        return now;
    const double started = fields[19].toDouble() / static_cast<double>(::sysconf(_SC_CLK_TCK));
    const double age = static_cast<double>(boot.tv_sec) + static_cast<double>(boot.tv_nsec) * 1e-9 - started;
    return age >= 0.0 ? now - age : now;
}

// SIGTERM and SIGINT end the event loop in order (through a socket pair read on the main thread),
// so the instance's socket and lock are released.
int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

} // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const LaunchOptions options = LaunchOptions::parse(arguments);

    if (options.help)
    {
        std::fputs(LaunchOptions::helpText().toUtf8().constData(), stdout);
        return 0;
    }
    if (options.version)
    {
        std::printf("clickory %s\n", BundleInfo::fromInfoFile({}).version.toUtf8().constData());
        return 0;
    }
    if (!options.unknown.isEmpty())
    {
        std::fprintf(stderr, "clickory: unknown option '%s'\nTry 'clickory --help' for more information.\n",
                     options.unknown.first().toLocal8Bit().constData());
        return 64;
    }

    if (!desktopReachable())
    {
        if (!options.isCommandLineMode())
        {
            std::fprintf(stderr, "Clickory needs a desktop session (an X server or Wayland) for its tray icon, and "
                                 "none is running here.\n");
            return 1;
        }
        // The command-line modes need no windows: Qt runs without a display for them.
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    // Before anything slow: a SIGTERM that arrives while Qt starts is kept in the pipe and ends the
    // event loop as soon as it runs, instead of killing the process half-started.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) == 0)
    {
        std::signal(SIGTERM, onSignal);
        std::signal(SIGINT, onSignal);
    }

    const double startedAt = processStartSeconds();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("clickory"));
    QApplication::setApplicationDisplayName(QStringLiteral("Clickory"));
    QApplication::setDesktopFileName(QStringLiteral("clickory"));
    MenuGlyph::registerBuiltInResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/clickory/clickory.svg")));

    // One instance per user for the tray mode: a later launch hands its request over and ends.
    SingleInstance instance;
    if (!options.isCommandLineMode())
    {
        if (!instance.acquire())
        {
            QStringList messages = options.urls;
            if (messages.isEmpty())
                messages.append(QString::fromLatin1(SingleInstance::reopenMessage));
            if (instance.send(messages))
                return 0;
            std::fprintf(stderr, "Clickory: %s\n", instance.error().toLocal8Bit().constData());
            return 1;
        }
    }

    QtMainQueue queue;
    if (signalPipe[0] >= 0)
        queue.watchReadable(signalPipe[0], [] { QCoreApplication::exit(0); });
    LinuxPlatform platform(queue);
    SettingsStore store(SettingsStore::defaultFolder());
    AppDelegate delegate(platform, queue, store, BundleInfo::current(), options);
    delegate.setSettingsWindowOpener(&SettingsView::open);
    QObject::connect(&instance, &SingleInstance::messageReceived, &delegate, &AppDelegate::handleMessage);
    QObject::connect(&delegate, &AppDelegate::launched, &delegate, [&]() {
        if (qEnvironmentVariableIsSet("CLICKORY_REPORT_LAUNCH"))
        {
            std::printf("launched: tray item shown after %.0f ms\n",
                        (delegate.statusItemShownAt() > 0 ? delegate.statusItemShownAt() : queue.now()) * 1000.0 -
                            startedAt * 1000.0);
            std::fflush(stdout);
        }
    });
    queue.post([&delegate]() { delegate.applicationDidFinishLaunching(); });
    return QApplication::exec();
}
