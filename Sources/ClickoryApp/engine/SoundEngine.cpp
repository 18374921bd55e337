// SPDX-License-Identifier: MIT
#include "ClickoryApp/engine/SoundEngine.h"

#include "ClickoryCore/profiles/Profiles.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <sstream>
#include <system_error>

namespace clickory {

namespace {

// Seconds between attempts to rebuild an output that could not be restarted.
constexpr double recoveryRetrySeconds = 2.0;

bool isKeyDownRole(SoundRole role)
{
    return role == SoundRole::keyDown || role == SoundRole::spaceDown || role == SoundRole::enterDown ||
           role == SoundRole::modifierDown;
}

} // namespace

SoundEngine::SoundEngine(AudioOutput& output, WorkQueue& queue, SoundFileReader& reader,
                         std::optional<std::filesystem::path> samplesFolder)
    : m_output(output)
    , m_queue(queue)
    , m_reader(reader)
    , m_currentProfileID(Profiles::defaultID)
    , m_samplesFolder(std::move(samplesFolder))
{
    if (m_samplesFolder)
        m_manifest = SampleManifest::load(*m_samplesFolder);
    m_mixer.setMaster(m_master.load());
}

SoundEngine::~SoundEngine()
{
    m_output.setConfigurationChangeHandler(nullptr);
    // Expire the token on the queue itself, so no queued task is halfway through when we go.
    m_queue.sync([this] { m_lifetime.reset(); });
    m_output.stop();
}

std::optional<std::string> SoundEngine::start()
{
    std::weak_ptr<int> token = m_lifetime;
    m_output.setConfigurationChangeHandler([this, token] {
        if (token.expired())
            return;
        m_queue.async([this, token] {
            if (token.lock())
                recover();
        });
    });
    return buildGraph();
}

std::optional<std::string> SoundEngine::buildGraph()
{
    m_pool.clear();
    if (!m_output.start(m_mixer))
    {
        const std::string error = m_output.lastError();
        return error.empty() ? std::string("the audio output could not be opened") : error;
    }
    const double rate = m_output.sampleRate();
    m_sampleRate = rate > 0.0 ? rate : 48000.0;
    m_pool.build();
    m_mixer.setMaster(m_master.load());
    m_seenUnderruns = m_output.underrunCount();
    return std::nullopt;
}

void SoundEngine::load(std::string profileID, ScrollStyle scroll, std::optional<std::string> customPath)
{
    std::weak_ptr<int> token = m_lifetime;
    m_queue.async([this, token, profileID = std::move(profileID), scroll, customPath = std::move(customPath)] {
        if (token.lock())
            render(profileID, scroll, customPath);
    });
}

void SoundEngine::loadCues(const FeelSettings& settings)
{
    std::weak_ptr<int> token = m_lifetime;
    m_queue.async([this, token, settings] {
        if (token.lock())
            renderCues(settings);
    });
}

void SoundEngine::play(SoundRole role, double semitones, float gain, float pan, std::optional<std::int64_t> keyCode)
{
    std::weak_ptr<int> token = m_lifetime;
    m_queue.async([this, token, role, semitones, gain, pan, keyCode] {
        if (token.lock())
            playNow(role, semitones, gain, pan, keyCode);
    });
}

void SoundEngine::playCue(std::optional<ActionKind> kind, float gain)
{
    std::weak_ptr<int> token = m_lifetime;
    m_queue.async([this, token, kind, gain] {
        if (token.lock())
            playCueNow(kind, gain);
    });
}

void SoundEngine::setLowLatency(bool on)
{
    std::weak_ptr<int> token = m_lifetime;
    m_queue.async([this, token, on] {
        if (token.lock())
            applyLowLatency(on);
    });
}

void SoundEngine::restartAfterWake()
{
    std::weak_ptr<int> token = m_lifetime;
    m_queue.async([this, token] {
        if (token.lock())
            recover();
    });
}

bool SoundEngine::isRunning()
{
    bool running = false;
    m_queue.sync([&] { running = m_output.isRunning() || m_paused; });
    return running;
}

std::string SoundEngine::debugSummary()
{
    std::string summary;
    m_queue.sync([&] {
        std::vector<std::string> entries;
        for (const auto& [role, bank] : m_bank)
        {
            const std::size_t takes = bank.takes.empty() ? 0 : bank.takes.front().size();
            entries.push_back(std::string(rawValue(role)) + "=" + std::to_string(takes) +
                              (bank.isRecorded ? "r" : "s"));
        }
        std::sort(entries.begin(), entries.end());
        std::string joined;
        for (const std::string& entry : entries)
            joined += (joined.empty() ? "" : " ") + entry;
        const bool running = m_output.isRunning();
        summary = std::string("engineRunning=") + (running ? "true" : "false") +
                  " sampleRate=" + std::to_string(static_cast<std::int64_t>(m_sampleRate)) +
                  " players=" + std::to_string(poolSize) +
                  " samples=" + (m_samplesFolder ? m_samplesFolder->string() : std::string("none")) + " bank[" +
                  joined + "]";
    });
    return summary;
}

void SoundEngine::setMaster(float value)
{
    const float clamped = std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f);
    m_master.store(clamped);
    m_mixer.setMaster(clamped);
}

float SoundEngine::master() const
{
    return m_master.load();
}

float SoundEngine::randomUnit()
{
    return drawUnit();
}

float SoundEngine::randomSignedUnit()
{
    std::lock_guard lock(m_rngMutex);
    return m_rng.signedUnit();
}

float SoundEngine::drawUnit()
{
    std::lock_guard lock(m_rngMutex);
    return m_rng.unit();
}

void SoundEngine::setRandom(SplitMix64 rng)
{
    std::lock_guard lock(m_rngMutex);
    m_rng = rng;
}

void SoundEngine::setLogger(Logger logger)
{
    std::lock_guard lock(m_logMutex);
    m_logger = std::move(logger);
}

void SoundEngine::log(const std::string& line)
{
    std::lock_guard lock(m_logMutex);
    if (m_logger)
        m_logger(line);
    else
        std::cerr << line << '\n';
}

// ---- Playing ----

void SoundEngine::playNow(SoundRole role, double semitones, float gain, float pan, std::optional<std::int64_t> keyCode)
{
    const SoundBank* chosen = nullptr;
    if (keyCode && isKeyDownRole(role))
    {
        const auto own = m_keyBanks.find(*keyCode);
        if (own != m_keyBanks.end())
        {
            if (own->second.takes.empty())
                return;
            chosen = &own->second;
        }
    }
    if (!chosen)
    {
        const auto found = m_bank.find(role);
        if (found == m_bank.end() || found->second.takes.empty())
            return;
        chosen = &found->second;
    }
    if (m_pool.empty())
        return;

    // The first row nearest the target wins, so a tie goes to the lower index.
    const double target = m_currentPitchScale * semitones;
    const std::size_t rows = std::min(chosen->pitches.size(), chosen->takes.size());
    std::size_t index = 0;
    double best = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < rows; ++i)
    {
        const double distance = std::abs(chosen->pitches[i] - target);
        if (distance < best)
        {
            best = distance;
            index = i;
        }
    }

    if (!chosen->isRecorded)
    {
        if (drawUnit() < 0.35f)
        {
            const std::size_t last = chosen->takes.size() - 1;
            if (drawUnit() < 0.5f)
                index = index == 0 ? 0 : index - 1;
            else
                index = std::min(index + 1, last);
        }
    }

    const std::vector<PcmBufferPtr>& row = chosen->takes[index];
    if (row.empty())
        return;
    const double u = static_cast<double>(drawUnit());
    const std::size_t take = static_cast<std::size_t>(std::trunc(u * static_cast<double>(row.size()))) % row.size();
    schedule(row[take], gain, pan);
}

void SoundEngine::playCueNow(std::optional<ActionKind> kind, float gain)
{
    const std::string slot = kind ? std::string(rawValue(*kind)) : std::string("dud");
    const auto found = m_cueBank.find(slot);
    if (found == m_cueBank.end() || !found->second || m_pool.empty())
        return;
    schedule(found->second, gain, 0.0f);
}

void SoundEngine::schedule(const PcmBufferPtr& buffer, float gain, float pan)
{
    resumeIfNeeded();
    if (!m_pool.schedule(buffer, gain, pan))
        return;
    m_output.wake();
    ++m_playedCount;
    m_lastActivity = m_queue.now();
    armIdleTimer();
    checkUnderruns();
}

void SoundEngine::resumeIfNeeded()
{
    if (!m_paused)
        return;
    const double started = m_queue.now();
    if (m_output.resume())
        m_paused = false;
    else
        log("Clickory: could not resume audio: " + m_output.lastError());
    m_lastResumeMs = (m_queue.now() - started) * 1000.0;
}

void SoundEngine::armIdleTimer()
{
    if (m_idleTimerArmed)
        return;
    m_idleTimerArmed = true;
    std::weak_ptr<int> token = m_lifetime;
    m_queue.asyncAfter(idleAfter, [this, token] {
        if (token.lock())
            idleTimerFired();
    });
}

void SoundEngine::idleTimerFired()
{
    m_idleTimerArmed = false;
    m_pool.releaseFinished();
    const double elapsed = m_queue.now() - m_lastActivity;
    if (elapsed < idleAfter)
    {
        m_idleTimerArmed = true;
        std::weak_ptr<int> token = m_lifetime;
        m_queue.asyncAfter(idleAfter - elapsed, [this, token] {
            if (token.lock())
                idleTimerFired();
        });
        return;
    }
    if (!m_paused)
    {
        m_output.pause();
        m_paused = true;
    }
}

void SoundEngine::checkUnderruns()
{
    const std::uint64_t count = m_output.underrunCount();
    if (count <= m_seenUnderruns)
        return;
    m_seenUnderruns = count;
    // A stream that runs dry gets a larger buffer, one doubling per burst of underruns, never below
    // what the server grants and never beyond maxGrownFrames.
    const std::uint32_t current = m_output.bufferFrames().value_or(std::max<std::uint32_t>(m_grownFrames, 128));
    if (current >= maxGrownFrames)
        return;
    const std::uint32_t wanted = std::min<std::uint32_t>(current * 2, maxGrownFrames);
    const std::optional<std::uint32_t> granted = m_output.requestBufferFrames(wanted);
    m_grownFrames = std::max(wanted, granted.value_or(wanted));
    if (!m_loggedGrowth)
    {
        m_loggedGrowth = true;
        log("Clickory: audio underruns; output buffer raised to " +
            (granted ? std::to_string(*granted) : std::string("unknown")) + " frames");
    }
}

// ---- Recovery and buffer size ----

void SoundEngine::recover()
{
    m_output.stop();
    m_paused = false;
    m_loaded.clear();
    m_cacheOrder.clear();
    m_cueBank.clear();
    m_cueKeys.clear();
    if (const std::optional<std::string> error = buildGraph())
    {
        // The server may come back (a restarted daemon); try again until it does. Logged once per
        // outage.
        if (!m_recoveryFailing)
            log("Clickory: could not restart audio: " + *error);
        m_recoveryFailing = true;
        if (!m_recoveryRetryArmed)
        {
            m_recoveryRetryArmed = true;
            std::weak_ptr<int> token = m_lifetime;
            m_queue.asyncAfter(recoveryRetrySeconds, [this, token] {
                if (!token.lock())
                    return;
                m_recoveryRetryArmed = false;
                if (m_recoveryFailing)
                    recover();
            });
        }
        return;
    }
    m_recoveryFailing = false;
    if (m_grownFrames > 0)
        m_output.requestBufferFrames(m_grownFrames);
    render(m_currentProfileID, m_currentScroll, m_currentCustomPath);
}

std::uint32_t SoundEngine::lowLatencyFrames(bool on, const char* environmentValue)
{
    const std::uint32_t fallback = on ? 128 : 512;
    if (environmentValue == nullptr || *environmentValue == '\0')
        return fallback;
    std::string_view text(environmentValue);
    if (text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.size() > 10)
        return fallback;
    std::uint64_t value = 0;
    for (const char c : text)
    {
        if (c < '0' || c > '9')
            return fallback;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > std::numeric_limits<std::uint32_t>::max())
        return fallback;
    return static_cast<std::uint32_t>(value);
}

std::optional<std::uint32_t> SoundEngine::applyLowLatency(bool on)
{
    std::uint32_t frames = lowLatencyFrames(on, std::getenv("CLICKORY_BUFFER_FRAMES"));
    // After underruns the buffer never shrinks below the size that stopped them.
    frames = std::max(frames, m_grownFrames);
    const std::optional<std::uint32_t> inForce = m_output.requestBufferFrames(frames);
    log("Clickory: output buffer " + (inForce ? std::to_string(*inForce) : std::string("unknown")) + " frames");
    return inForce;
}

// ---- Locating the samples ----

std::optional<std::filesystem::path> SoundEngine::locateSamplesFolder(
    const std::optional<std::filesystem::path>& executableDir, const char* samplesEnvironment,
    const std::filesystem::path& sourceDir)
{
    namespace fs = std::filesystem;
    std::error_code error;
    if (executableDir)
    {
        const fs::path installed = *executableDir / ".." / "share" / "clickory" / "Samples";
        if (fs::is_regular_file(installed / "manifest.json", error))
            return installed.lexically_normal();
    }
    if (samplesEnvironment != nullptr && *samplesEnvironment != '\0')
        return fs::path(samplesEnvironment);
    fs::path folder = sourceDir;
    for (int step = 0; step < 5 && !folder.empty(); ++step)
    {
        const fs::path candidate = folder / "assets" / "samples";
        if (fs::is_regular_file(candidate / "manifest.json", error))
            return candidate;
        const fs::path parent = folder.parent_path();
        if (parent == folder)
            break;
        folder = parent;
    }
    return std::nullopt;
}

std::optional<std::filesystem::path> SoundEngine::locateSamplesFolder()
{
    std::error_code error;
    std::optional<std::filesystem::path> executableDir;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error)
        executableDir = executable.parent_path();
    // This file lives in Sources/ClickoryApp/engine/; the search starts at Sources/ClickoryApp/.
    const std::filesystem::path sourceDir = std::filesystem::path(__FILE__).parent_path().parent_path();
    return locateSamplesFolder(executableDir, std::getenv("CLICKORY_SAMPLES"), sourceDir);
}

} // namespace clickory
