// SPDX-License-Identifier: MIT
// The building of sound banks and cues: SoundEngine's operations that run on its work queue ahead of
// any key press, so that playing is only a lookup.
#include "ClickoryApp/engine/SoundEngine.h"

#include "ClickoryCore/cues/CueSynth.h"
#include "ClickoryCore/profiles/Profiles.h"
#include "ClickoryCore/synth/Synth.h"
#include "ClickoryCore/synth/Variation.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace clickory {

namespace {

bool isDownRole(SoundRole role)
{
    return role == SoundRole::keyDown || role == SoundRole::spaceDown || role == SoundRole::enterDown ||
           role == SoundRole::modifierDown || role == SoundRole::mouseDown || role == SoundRole::mouseRightDown;
}

template <std::size_t N>
std::vector<double> rowsOf(const std::array<double, N>& table)
{
    return std::vector<double>(table.begin(), table.end());
}

// A decimal integer with an optional sign, and nothing else.
std::optional<std::int64_t> parseKeyCode(std::string_view text)
{
    if (!text.empty() && text.front() == '+')
    {
        text.remove_prefix(1);
        if (text.empty() || text.front() < '0' || text.front() > '9')
            return std::nullopt;
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

std::uint64_t SoundEngine::seedHash(std::string_view text)
{
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (const char c : text)
    {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001B3ull;
    }
    return hash;
}

std::string SoundEngine::cacheKey(const std::string& profileID, ScrollStyle scroll,
                                  const std::optional<std::string>& customPath)
{
    return profileID + "|" + std::string(rawValue(scroll)) + "|" + customPath.value_or("");
}

PcmBufferPtr SoundEngine::buffer(std::vector<float> samples) const
{
    return PcmBuffer::make(std::move(samples));
}

PcmBufferPtr SoundEngine::pitched(const std::vector<float>& samples, double semitones) const
{
    // Resampling by linear interpolation, like a change of playback speed: shifting down lengthens
    // the sound, shifting up shortens it.
    const double ratio = std::pow(2.0, semitones / 12.0);
    if (!std::isfinite(ratio) || ratio <= 0.0)
        return nullptr;
    const double scaled = static_cast<double>(samples.size()) / ratio;
    // A ratio far below 1 could ask for more frames than memory holds; nothing sensible plays that long.
    if (!(scaled < 1.0e8))
        return nullptr;
    const std::size_t length = std::max<std::size_t>(16, static_cast<std::size_t>(scaled));
    std::vector<float> out(length);
    const std::size_t count = samples.size();
    for (std::size_t k = 0; k < length; ++k)
    {
        const double x = ratio * static_cast<double>(k);
        const double jd = std::trunc(x);
        const std::size_t j = jd < static_cast<double>(count) ? static_cast<std::size_t>(jd) : count;
        const float a = j < count ? samples[j] : 0.0f;
        const float b = j + 1 < count ? samples[j + 1] : 0.0f;
        out[k] = a + (b - a) * static_cast<float>(x - jd);
    }
    return buffer(std::move(out));
}

std::optional<std::vector<float>> SoundEngine::loadFile(const std::filesystem::path& path, bool normalize)
{
    std::optional<std::vector<float>> samples = m_reader.read(path, m_sampleRate, maxFileSeconds);
    if (!samples || samples->empty())
        return std::nullopt;
    if (normalize)
    {
        const float peak = Synth::peak(*samples);
        if (peak > 1e-6f)
        {
            const float scale = 0.85f / peak;
            for (float& sample : *samples)
                sample *= scale;
        }
    }
    return samples;
}

SoundBank SoundEngine::synthesizedBank(const Voice& voice, std::uint64_t hash, bool scroll) const
{
    SoundBank bank;
    bank.isRecorded = false;
    for (std::size_t i = 0; i < synthGrid.size(); ++i)
    {
        const std::uint64_t seed = scroll ? 900 + i : 17 + 31 * hash + 7919 * static_cast<std::uint64_t>(i);
        const Variation variation = Variation::semitones(synthGrid[i], seed);
        PcmBufferPtr take = buffer(Synth::render(voice, variation, m_sampleRate));
        bank.pitches.push_back(synthGrid[i]);
        bank.takes.push_back(take ? std::vector<PcmBufferPtr>{take} : std::vector<PcmBufferPtr>{});
    }
    return bank;
}

std::optional<SoundBank> SoundEngine::bankFromSamples(const std::vector<std::vector<float>>& loadedSamples,
                                                      const std::vector<double>& rows) const
{
    if (loadedSamples.empty())
        return std::nullopt;
    SoundBank bank;
    bank.isRecorded = true;
    for (const double offset : rows)
    {
        std::vector<PcmBufferPtr> row;
        for (const std::vector<float>& samples : loadedSamples)
        {
            PcmBufferPtr take = offset == 0.0 ? buffer(samples) : pitched(samples, offset);
            if (take)
                row.push_back(std::move(take));
        }
        bank.pitches.push_back(offset);
        bank.takes.push_back(std::move(row));
    }
    return bank;
}

void SoundEngine::render(const std::string& profileID, ScrollStyle scroll, const std::optional<std::string>& customPath)
{
    m_currentProfileID = profileID;
    m_currentScroll = scroll;
    m_currentCustomPath = customPath;

    const std::string key = cacheKey(profileID, scroll, customPath);
    if (const auto cached = m_loaded.find(key); cached != m_loaded.end())
    {
        m_bank = cached->second.bank;
        m_keyBanks = cached->second.keyBanks;
        m_currentPitchScale = cached->second.pitchScale;
        return;
    }

    const SoundProfile profile = Profiles::profile(profileID);
    double pitchScale = 1.0;
    if (m_manifest && profile.samplePackID)
    {
        const auto pack = m_manifest->packs.find(*profile.samplePackID);
        if (pack != m_manifest->packs.end() && pack->second.pitchScale)
            pitchScale = *pack->second.pitchScale;
    }

    std::optional<std::vector<float>> custom;
    if (customPath)
        custom = loadFile(*customPath, false);

    std::map<SoundRole, SoundBank> roles;
    std::map<std::int64_t, SoundBank> keys;
    if (profile.importedPack)
    {
        loadImported(*profile.importedPack, roles, keys);
    }
    else
    {
        for (const SoundRole role : allSoundRoles())
        {
            if (role == SoundRole::scrollTick)
                continue;
            if (custom && isDownRole(role))
            {
                SoundBank bank;
                bank.isRecorded = true;
                for (const double offset : synthGrid)
                {
                    PcmBufferPtr take = pitched(*custom, offset);
                    bank.pitches.push_back(offset);
                    bank.takes.push_back(take ? std::vector<PcmBufferPtr>{take} : std::vector<PcmBufferPtr>{});
                }
                roles[role] = std::move(bank);
            }
            else if (std::optional<SoundBank> recorded = recordedBank(profile, role))
            {
                roles[role] = std::move(*recorded);
            }
            else
            {
                roles[role] = synthesizedBank(profile.voice(role), seedHash(rawValue(role)), false);
            }
        }
    }

    bool scrollDone = false;
    if ((scroll == ScrollStyle::brush || scroll == ScrollStyle::pencil || scroll == ScrollStyle::sand ||
         scroll == ScrollStyle::rice) &&
        m_manifest && m_manifest->scroll && m_samplesFolder)
    {
        const auto entry = m_manifest->scroll->find(std::string(rawValue(scroll)));
        if (entry != m_manifest->scroll->end())
        {
            if (std::optional<SoundBank> recorded = recordedScrollBank(entry->second, *m_samplesFolder))
            {
                roles[SoundRole::scrollTick] = std::move(*recorded);
                scrollDone = true;
            }
        }
    }
    if (!scrollDone)
    {
        if (const std::optional<Voice> tick = voice(scroll))
            roles[SoundRole::scrollTick] = synthesizedBank(*tick, 0, true);
    }

    m_bank = roles;
    m_keyBanks = keys;
    m_currentPitchScale = pitchScale;
    m_loaded[key] = Loaded{std::move(roles), std::move(keys), pitchScale};
    m_cacheOrder.erase(std::remove(m_cacheOrder.begin(), m_cacheOrder.end(), key), m_cacheOrder.end());
    m_cacheOrder.push_back(key);
    while (m_cacheOrder.size() > 4)
    {
        m_loaded.erase(m_cacheOrder.front());
        m_cacheOrder.erase(m_cacheOrder.begin());
    }
}

std::optional<SoundBank> SoundEngine::recordedBank(const SoundProfile& profile, SoundRole role)
{
    if (!m_samplesFolder || !m_manifest || role == SoundRole::scrollTick)
        return std::nullopt;

    const SampleManifest::Pack* pack = nullptr;
    if (profile.samplePackID)
    {
        const auto found = m_manifest->packs.find(*profile.samplePackID);
        if (found != m_manifest->packs.end())
            pack = &found->second;
    }
    if (pack && pack->silent &&
        std::find(pack->silent->begin(), pack->silent->end(), role) != pack->silent->end())
        return SoundBank::silent();

    const auto packFiles = [&](SoundRole r) {
        return profile.samplePackID ? m_manifest->files(*profile.samplePackID, r) : std::vector<std::string>{};
    };
    const bool fromKeys = pack && pack->mouseFromKeys.value_or(false);

    std::vector<std::string> files;
    std::vector<double> offsets{0.0};
    switch (role)
    {
    case SoundRole::keyDown:
    case SoundRole::keyUp:
    case SoundRole::spaceDown:
    case SoundRole::spaceUp:
    case SoundRole::enterDown:
        files = packFiles(role);
        break;
    case SoundRole::modifierDown:
        files = packFiles(SoundRole::keyDown);
        offsets = rowsOf(modifierRows);
        break;
    case SoundRole::modifierUp:
        files = packFiles(SoundRole::keyUp);
        offsets = rowsOf(modifierRows);
        break;
    case SoundRole::mouseDown:
        files = fromKeys ? packFiles(SoundRole::keyDown) : m_manifest->mouseFiles(SoundRole::mouseDown);
        offsets = {fromKeys ? mouseFromKeysOffset : 0.0};
        break;
    case SoundRole::mouseUp:
        files = m_manifest->mouseFiles(SoundRole::mouseUp);
        break;
    case SoundRole::mouseRightDown:
        files = fromKeys ? packFiles(SoundRole::keyDown) : m_manifest->mouseFiles(SoundRole::mouseDown);
        offsets = fromKeys ? std::vector<double>{rightFromKeysOffset} : rowsOf(rightButtonRows);
        break;
    case SoundRole::mouseRightUp:
        files = m_manifest->mouseFiles(SoundRole::mouseUp);
        offsets = rowsOf(rightButtonRows);
        break;
    case SoundRole::scrollTick:
        return std::nullopt;
    }

    if (files.empty() && (role == SoundRole::enterDown || role == SoundRole::spaceDown))
        files = packFiles(SoundRole::keyDown);
    if (files.empty() && role == SoundRole::spaceUp)
        files = packFiles(SoundRole::keyUp);
    if (files.empty())
        return std::nullopt;

    const float gain = pack && pack->gain ? static_cast<float>(*pack->gain) : 1.0f;
    std::vector<std::vector<float>> loadedSamples;
    for (const std::string& file : files)
    {
        std::optional<std::vector<float>> samples = loadFile(*m_samplesFolder / file, false);
        if (!samples)
            continue;
        if (gain != 1.0f)
            for (float& sample : *samples)
                sample *= gain;
        loadedSamples.push_back(std::move(*samples));
    }
    if (loadedSamples.empty())
        return std::nullopt;

    std::vector<double> rows;
    if (offsets.size() == 1)
    {
        const std::vector<double> bins =
            pack && pack->pitchBins ? *pack->pitchBins : rowsOf(recordedBins);
        for (const double bin : bins)
            rows.push_back(offsets.front() == 0.0 ? bin : bin + offsets.front());
    }
    else
    {
        rows = offsets;
    }
    return bankFromSamples(loadedSamples, rows);
}

std::optional<SoundBank> SoundEngine::recordedScrollBank(const SampleManifest::ScrollSet& set,
                                                         const std::filesystem::path& folder)
{
    const float gain = static_cast<float>(set.gain);
    std::vector<std::vector<float>> loadedSamples;
    for (const std::string& file : set.files)
    {
        std::optional<std::vector<float>> samples = loadFile(folder / file, false);
        if (!samples)
            continue;
        for (float& sample : *samples)
            sample *= gain;
        loadedSamples.push_back(std::move(*samples));
    }
    return bankFromSamples(loadedSamples, rowsOf(recordedScrollBins));
}

void SoundEngine::loadImported(const ImportedPack& pack, std::map<SoundRole, SoundBank>& bank,
                               std::map<std::int64_t, SoundBank>& keyBanks)
{
    const std::filesystem::path folder(pack.folder);
    const auto bankFromFiles = [&](const std::vector<std::string>& files) -> std::optional<SoundBank> {
        std::vector<std::vector<float>> loadedSamples;
        for (const std::string& file : files)
            if (std::optional<std::vector<float>> samples = loadFile(folder / file, false))
                loadedSamples.push_back(std::move(*samples));
        return bankFromSamples(loadedSamples, rowsOf(recordedBins));
    };

    for (const auto& [text, files] : pack.perKey)
    {
        const std::optional<std::int64_t> keyCode = parseKeyCode(text);
        if (!keyCode)
            continue;
        if (std::optional<SoundBank> keyBank = bankFromFiles(files))
            keyBanks[*keyCode] = std::move(*keyBank);
    }

    const SoundBank fallback = bankFromFiles(pack.fallback).value_or(SoundBank::silent());
    for (const SoundRole role : allSoundRoles())
    {
        if (role == SoundRole::scrollTick)
            continue;
        bank[role] = isDownRole(role) ? fallback : SoundBank::silent();
    }
}

void SoundEngine::renderCues(const FeelSettings& settings)
{
    for (const ActionKind kind : allActionKinds())
    {
        const ActionCue cue = settings.cue(kind);
        const std::string slot(rawValue(kind));
        const std::string key = cue.customPath ? *cue.customPath
                                               : "style:" + std::string(rawValue(cue.style)) + ":" +
                                                     std::to_string(static_cast<std::int64_t>(m_sampleRate));
        const auto heldKey = m_cueKeys.find(slot);
        if (heldKey != m_cueKeys.end() && heldKey->second == key && m_cueBank.count(slot) != 0)
            continue;

        std::optional<std::vector<float>> samples;
        if (cue.customPath)
            samples = loadFile(*cue.customPath, true);
        if (!samples)
            samples = CueSynth::render(cue.style, m_sampleRate);
        if (PcmBufferPtr made = buffer(std::move(*samples)))
            m_cueBank[slot] = std::move(made);
        else
            m_cueBank.erase(slot);
        m_cueKeys[slot] = key;
    }
    if (m_cueBank.count("dud") == 0)
    {
        if (PcmBufferPtr dud = buffer(CueSynth::dud(m_sampleRate)))
            m_cueBank["dud"] = std::move(dud);
    }
}

} // namespace clickory
