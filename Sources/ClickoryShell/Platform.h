// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/packs/PackImporter.h"
#include "ClickoryApp/platform/AudioDevices.h"
#include "ClickoryApp/platform/AudioOutput.h"
#include "ClickoryApp/platform/CameraProbe.h"
#include "ClickoryApp/platform/Clock.h"
#include "ClickoryApp/platform/HapticPerformer.h"
#include "ClickoryApp/platform/InputInjector.h"
#include "ClickoryApp/platform/InputSource.h"
#include "ClickoryApp/platform/MainQueue.h"
#include "ClickoryApp/platform/OutputDevice.h"
#include "ClickoryApp/platform/PasteboardCounter.h"
#include "ClickoryApp/platform/RippleView.h"
#include "ClickoryApp/platform/SoundFileReader.h"
#include "ClickoryApp/platform/WorkQueue.h"
#include "ClickoryApp/platform/Workspace.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace clickory {

// The implementations the shell runs on. The program's entry point supplies the Linux ones; tests
// supply fakes. Every make function builds a new object that starts nothing; the caller owns it.
// Thread: main.
class Platform
{
public:
    virtual ~Platform() = default;

    virtual std::unique_ptr<AudioOutput> makeAudioOutput() = 0;
    virtual std::unique_ptr<WorkQueue> makeAudioQueue() = 0;
    virtual std::unique_ptr<SoundFileReader> makeSoundFileReader() = 0;
    // The folder of recorded samples, none when there are none.
    virtual std::optional<std::filesystem::path> samplesFolder() = 0;
    // Facts about the default output; `stream` is the engine's output, for its buffer terms.
    virtual std::unique_ptr<OutputDevice> makeOutputDevice(AudioOutput* stream) = 0;

    // The session's global input, delivering on `queue`. Null with the reason in `error` when the
    // session has no usable source (for example an unknown CLICKORY_INPUT).
    virtual std::unique_ptr<InputSource> makeInputSource(MainQueue& queue, std::string& error) = 0;
    // Synthetic input for the self-test; null with the reason in `error`.
    virtual std::unique_ptr<InputInjector> makeInjector(std::string& error) = 0;

    virtual std::unique_ptr<Workspace> makeWorkspace(MainQueue& queue) = 0;
    virtual std::unique_ptr<AudioDevices> makeAudioDevices(MainQueue& queue) = 0;
    virtual std::unique_ptr<CameraProbe> makeCameraProbe() = 0;
    virtual std::unique_ptr<HapticPerformer> makeHapticPerformer() = 0;
    virtual std::unique_ptr<RippleView> makeRippleView() = 0;
    virtual std::unique_ptr<PasteboardCounter> makePasteboardCounter() = 0;
    virtual std::unique_ptr<Clock> makeClock() = 0;

    // The imported-pack library and its importer; none when there is nowhere to keep packs.
    virtual std::optional<PackImporter> makePackImporter() = 0;
};

} // namespace clickory
