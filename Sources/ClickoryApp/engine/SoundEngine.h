// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/engine/Mixer.h"
#include "ClickoryApp/engine/PcmBuffer.h"
#include "ClickoryApp/engine/PlayerPool.h"
#include "ClickoryApp/engine/SoundBank.h"
#include "ClickoryApp/platform/AudioOutput.h"
#include "ClickoryApp/platform/SoundFileReader.h"
#include "ClickoryApp/platform/WorkQueue.h"
#include "ClickoryCore/cues/ActionKind.h"
#include "ClickoryCore/input/SoundRole.h"
#include "ClickoryCore/profiles/ScrollStyle.h"
#include "ClickoryCore/profiles/SoundProfile.h"
#include "ClickoryCore/samples/SampleManifest.h"
#include "ClickoryCore/settings/FeelSettings.h"
#include "ClickoryCore/synth/SplitMix64.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace clickory {

// The application's sound output: eight players fed by prebuilt sound banks, idle suspension, and
// recovery when the audio configuration changes.
//
// Threads: the public request methods (load, loadCues, play, playCue, setLowLatency,
// restartAfterWake) only enqueue on the work queue and return at once, so requests run in the
// order they were made; isRunning and debugSummary wait for the queue and must never be called
// from it. setMaster and the random draws may be called from any thread. Every other field is
// read and written on the work queue only; the accessors marked "work queue" are for the queue
// itself and for tests that drive a manual queue.
//
// The output and the queue must outlive the engine; the engine stops the output when destroyed.
class SoundEngine
{
public:
    // One cached set of banks.
    struct Loaded
    {
        std::map<SoundRole, SoundBank> bank;
        std::map<std::int64_t, SoundBank> keyBanks;
        double pitchScale = 1.0;
    };

    using Logger = std::function<void(const std::string&)>;

    static constexpr std::int64_t poolSize = PlayerPool::poolSize;
    static constexpr double idleAfter = 4.0;
    // Pitch rows of synthesized banks and of the custom sound, in semitones.
    static constexpr std::array<double, 9> synthGrid{-1.4, -1.05, -0.7, -0.35, 0.0, 0.35, 0.7, 1.05, 1.4};
    static constexpr std::array<double, 3> recordedBins{-0.7, 0.0, 0.7};
    static constexpr std::array<double, 3> recordedScrollBins{-0.8, 0.0, 0.8};
    static constexpr std::array<double, 3> modifierRows{-2.2, -1.6, -1.0};
    static constexpr std::array<double, 3> rightButtonRows{-1.9, -1.5, -1.1};
    static constexpr double mouseFromKeysOffset = -1.5;
    static constexpr double rightFromKeysOffset = -3.0;
    // Only the first 1.5 s of a sound file is read.
    static constexpr double maxFileSeconds = 1.5;
    // The largest buffer the engine grows to when the stream keeps running dry.
    static constexpr std::uint32_t maxGrownFrames = 4096;

    // Construction does not touch the output. `samplesFolder` is the located folder of recorded
    // samples (see locateSamplesFolder); its "manifest.json" is read here, and a manifest that
    // cannot be read means no recorded sounds.
    SoundEngine(AudioOutput& output, WorkQueue& queue, SoundFileReader& reader,
                std::optional<std::filesystem::path> samplesFolder);
    ~SoundEngine();

    SoundEngine(const SoundEngine&) = delete;
    SoundEngine& operator=(const SoundEngine&) = delete;

    // Caller's thread, before any request. Opens the output stream and makes the pool of eight
    // players. Nothing on success, else the output's error (the caller logs "Clickory: audio engine
    // failed to start: " with it; the engine then plays nothing until a recovery succeeds).
    std::optional<std::string> start();

    // Enqueued. Builds or fetches the banks of a sound choice and installs them.
    void load(std::string profileID, ScrollStyle scroll, std::optional<std::string> customPath);

    // Enqueued. Renders the cues of the settings whose key changed, and the dud.
    void loadCues(const FeelSettings& settings);

    // Enqueued. Plays the role's sound (or the key's own bank) at the pitch row nearest the
    // requested offset, with gain 0...1 and pan -1...1.
    void play(SoundRole role, double semitones, float gain, float pan, std::optional<std::int64_t> keyCode);

    // Enqueued. Plays the cue of an action, or the dud when no kind is given.
    void playCue(std::optional<ActionKind> kind, float gain);

    // Enqueued. Asks for a small (128 frames) or normal (512 frames) output buffer;
    // CLICKORY_BUFFER_FRAMES overrides both.
    void setLowLatency(bool on);

    // Enqueued. Rebuilds the output and the banks.
    void restartAfterWake();

    // Any thread but the queue's. True when the output runs or is idle-paused.
    bool isRunning();

    // Any thread but the queue's. One line of diagnostics (see the implementation for the format).
    std::string debugSummary();

    // Any thread. Stores the master volume clamped to 0...1 (NaN as 0) and applies it at once.
    void setMaster(float value);
    float master() const;

    // Any thread. Draws from the engine's random generator (serialised with the engine's own
    // draws): the event pipeline takes its loudness and pitch variety from here.
    float randomUnit();
    float randomSignedUnit();

    // Any thread. Where log lines go; by default one line on standard error.
    void setLogger(Logger logger);

    // ---- Work queue (and tests on a manual queue) ----

    // The operations behind the enqueued requests.
    void render(const std::string& profileID, ScrollStyle scroll, const std::optional<std::string>& customPath);
    void renderCues(const FeelSettings& settings);
    void playNow(SoundRole role, double semitones, float gain, float pan, std::optional<std::int64_t> keyCode);
    void playCueNow(std::optional<ActionKind> kind, float gain);
    void recover();
    std::optional<std::uint32_t> applyLowLatency(bool on);

    // Bank building blocks.
    std::optional<std::vector<float>> loadFile(const std::filesystem::path& path, bool normalize);
    PcmBufferPtr pitched(const std::vector<float>& samples, double semitones) const;
    PcmBufferPtr buffer(std::vector<float> samples) const;
    std::optional<SoundBank> recordedBank(const SoundProfile& profile, SoundRole role);
    std::optional<SoundBank> recordedScrollBank(const SampleManifest::ScrollSet& set,
                                                const std::filesystem::path& folder);
    void loadImported(const ImportedPack& pack, std::map<SoundRole, SoundBank>& bank,
                      std::map<std::int64_t, SoundBank>& keyBanks);

    // State.
    const std::map<SoundRole, SoundBank>& bank() const { return m_bank; }
    const std::map<std::int64_t, SoundBank>& keyBanks() const { return m_keyBanks; }
    double currentPitchScale() const { return m_currentPitchScale; }
    const std::string& currentProfileID() const { return m_currentProfileID; }
    ScrollStyle currentScroll() const { return m_currentScroll; }
    const std::optional<std::string>& currentCustomPath() const { return m_currentCustomPath; }
    const std::map<std::string, Loaded>& loaded() const { return m_loaded; }
    const std::vector<std::string>& cacheOrder() const { return m_cacheOrder; }
    const std::map<std::string, PcmBufferPtr>& cueBank() const { return m_cueBank; }
    const std::map<std::string, std::string>& cueKeys() const { return m_cueKeys; }
    const std::optional<SampleManifest>& manifest() const { return m_manifest; }
    const std::optional<std::filesystem::path>& samplesFolder() const { return m_samplesFolder; }
    double sampleRate() const { return m_sampleRate; }
    std::int64_t playedCount() const { return m_playedCount; }
    double lastResumeMs() const { return m_lastResumeMs; }
    double lastActivity() const { return m_lastActivity; }
    bool paused() const { return m_paused; }
    bool idleTimerArmed() const { return m_idleTimerArmed; }
    std::int64_t cursor() const { return m_pool.cursor(); }
    std::int64_t players() const { return m_pool.players(); }
    const PlayerPool& pool() const { return m_pool; }
    Mixer& mixer() { return m_mixer; }
    // Replaces the random generator (tests use a generator of their own).
    void setRandom(SplitMix64 rng);

    // ---- Helpers with no state ----

    // The fixed hash behind the synthesized seeds (FNV-1a, 64-bit): the same sounds on every launch.
    static std::uint64_t seedHash(std::string_view text);

    // The cache key of a sound choice.
    static std::string cacheKey(const std::string& profileID, ScrollStyle scroll,
                                const std::optional<std::string>& customPath);

    // The frames asked for by setLowLatency: CLICKORY_BUFFER_FRAMES when it is a decimal unsigned
    // 32-bit number (optionally with a leading "+"), else 128 when on and 512 when off.
    static std::uint32_t lowLatencyFrames(bool on, const char* environmentValue);

    // Where the recorded samples are, first match wins: "../share/clickory/Samples" beside the
    // executable when it holds "manifest.json"; the CLICKORY_SAMPLES value when set and not empty
    // (unchecked); "assets/samples" with a "manifest.json" in sourceDir or one of its four parents.
    static std::optional<std::filesystem::path> locateSamplesFolder(
        const std::optional<std::filesystem::path>& executableDir, const char* samplesEnvironment,
        const std::filesystem::path& sourceDir);
    // The same for this process: its executable, its environment, and the folder this engine was
    // built from.
    static std::optional<std::filesystem::path> locateSamplesFolder();

private:
    std::optional<std::string> buildGraph();
    void schedule(const PcmBufferPtr& buffer, float gain, float pan);
    void resumeIfNeeded();
    void armIdleTimer();
    void idleTimerFired();
    void checkUnderruns();
    void log(const std::string& line);
    float drawUnit();
    SoundBank synthesizedBank(const Voice& voice, std::uint64_t hash, bool scroll) const;
    std::optional<SoundBank> bankFromSamples(const std::vector<std::vector<float>>& loadedSamples,
                                             const std::vector<double>& rows) const;

    AudioOutput& m_output;
    WorkQueue& m_queue;
    SoundFileReader& m_reader;
    Mixer m_mixer;
    PlayerPool m_pool{m_mixer};
    // Expires (on the work queue) when the engine goes away; queued work checks it first.
    std::shared_ptr<int> m_lifetime = std::make_shared<int>(0);

    bool m_paused = false;
    bool m_idleTimerArmed = false;
    double m_lastActivity = 0.0;
    double m_lastResumeMs = 0.0;
    double m_sampleRate = 48000.0;
    std::map<SoundRole, SoundBank> m_bank;
    mutable std::mutex m_rngMutex;
    SplitMix64 m_rng{0xC0FFEE};
    std::atomic<float> m_master{0.7f};
    std::string m_currentProfileID;
    ScrollStyle m_currentScroll = ScrollStyle::softTick;
    double m_currentPitchScale = 1.0;
    std::map<std::int64_t, SoundBank> m_keyBanks;
    std::optional<std::string> m_currentCustomPath;
    std::map<std::string, PcmBufferPtr> m_cueBank;
    std::map<std::string, std::string> m_cueKeys;
    std::map<std::string, Loaded> m_loaded;
    std::vector<std::string> m_cacheOrder;
    std::optional<SampleManifest> m_manifest;
    std::optional<std::filesystem::path> m_samplesFolder;
    std::int64_t m_playedCount = 0;

    // Underrun handling: the count already acted on, the floor the buffer has grown to.
    std::uint64_t m_seenUnderruns = 0;
    std::uint32_t m_grownFrames = 0;
    bool m_loggedGrowth = false;
    // A failed recovery is retried while the output stays unavailable.
    bool m_recoveryRetryArmed = false;
    bool m_recoveryFailing = false;

    std::mutex m_logMutex;
    Logger m_logger;
};

} // namespace clickory
