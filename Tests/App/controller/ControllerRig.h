// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/monitors/ContextMonitor.h"
#include "ClickoryApp/monitors/MuteMonitor.h"
#include "ClickoryApp/pipeline/Controller.h"
#include "ClickoryApp/pipeline/Haptics.h"
#include "ClickoryApp/settings/SettingsStore.h"
#include "Fakes/FakeAudioDevices.h"
#include "Fakes/FakeCameraProbe.h"
#include "Fakes/FakeClock.h"
#include "Fakes/FakeEventTap.h"
#include "Fakes/FakeHapticPerformer.h"
#include "Fakes/FakeMainQueue.h"
#include "Fakes/FakePasteboardCounter.h"
#include "Fakes/FakeRippleView.h"
#include "Fakes/FakeSoundPlayer.h"
#include "Fakes/FakeWorkspace.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace clickory {

// A temporary folder, removed with everything in it at the end of the test.
struct TemporaryFolder
{
    TemporaryFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "clickory-test-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~TemporaryFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::filesystem::path path;
};

// A controller on fakes: a manual clock and queue, a recording engine, a scriptable desktop.
struct ControllerRig
{
    ControllerRig()
    {
        workspace.screenFrames = {{0.0, 0.0, 1920.0, 1080.0}};
        controller = std::make_unique<Controller>(
            Controller::Parts{*store, engine, tap, haptics, ripple, mute, context, pasteboard, workspace, queue, clock},
            [this](const std::string& line) { logLines.push_back(line); });
    }

    // Starts the controller and lets the first settings delivery run.
    void start()
    {
        controller->start();
        queue.runPosted();
    }

    // Puts settings in force the way the application does: through the store and the main queue.
    void set(const std::function<void(FeelSettings&)>& change)
    {
        store->update(change);
        queue.runPosted();
    }

    void handle(const InputEvent& event) { controller->handle(event); }

    TemporaryFolder folder;
    std::unique_ptr<SettingsStore> store = std::make_unique<SettingsStore>(folder.path);
    FakeMainQueue queue;
    FakeClock clock{queue};
    FakeSoundPlayer engine;
    FakeEventTap tap;
    FakeHapticPerformer performer;
    Haptics haptics{performer};
    FakeRippleView ripple;
    FakeWorkspace workspace;
    FakeAudioDevices devices;
    MuteMonitor mute{workspace, devices};
    FakeCameraProbe camera;
    ContextMonitor context{workspace, camera, clock};
    FakePasteboardCounter pasteboard;
    std::vector<std::string> logLines;
    std::unique_ptr<Controller> controller;
};

inline KeyEvent keyDown(std::int64_t code, std::uint64_t flags = 0, bool repeat = false)
{
    return KeyEvent{code, true, repeat, flags};
}

inline KeyEvent keyUp(std::int64_t code, std::uint64_t flags = 0)
{
    return KeyEvent{code, false, false, flags};
}

} // namespace clickory
