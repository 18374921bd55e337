// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/Expected.h"
#include "ClickoryCore/input/SoundRole.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace clickory {

// The model of "manifest.json" in the recorded-samples folder: which sound files belong to which
// recorded pack and role, how loud and how pitched they are, the shared mouse and scroll
// recordings, and where each recording came from.
//
// Decoding is keyed and typed: a required key must be present with the right type or the whole
// manifest fails; an optional key may be absent or null. Keys not listed here are ignored.
struct SampleManifest
{
    // Credits of one recording. All four keys are required strings.
    struct Source
    {
        std::string title;
        std::string author;
        std::string url;
        std::string license;

        bool operator==(const Source&) const = default;
    };

    // File names by role raw value; names are relative to the samples folder.
    using RoleFiles = std::map<std::string, std::vector<std::string>>;

    // One recorded pack, named by a profile's samplePackID.
    struct Pack
    {
        std::string name;
        RoleFiles roles;
        std::vector<Source> sources;
        std::optional<std::vector<SoundRole>> silent; // roles that must play nothing
        std::optional<double> gain;                   // absent: 1.0
        std::optional<std::vector<double>> pitchBins; // absent: -0.7, 0, 0.7
        std::optional<double> pitchScale;             // absent: 1.0
        std::optional<bool> mouseFromKeys;            // true: mouse presses come from key-down takes

        bool operator==(const Pack&) const = default;
    };

    // The recorded ticks of one scroll style.
    struct ScrollSet
    {
        std::vector<std::string> files;
        double gain = 1.0;
        std::vector<Source> sources;

        bool operator==(const ScrollSet&) const = default;
    };

    // The mouse recordings shared by every profile (roles mouseDown and mouseUp).
    struct MouseSet
    {
        RoleFiles roles;
        std::vector<Source> sources;

        bool operator==(const MouseSet&) const = default;
    };

    std::int64_t version = 0;
    std::map<std::string, Pack> packs; // by pack id
    std::optional<MouseSet> mouse;
    std::optional<std::map<std::string, ScrollSet>> scroll; // by scroll style raw value

    bool operator==(const SampleManifest&) const = default;

    // Decodes the bytes of a manifest; the error names the first key that is missing or of the
    // wrong type.
    static Expected<SampleManifest> parse(std::string_view bytes);

    // Decodes the bytes of a manifest; any error gives nothing.
    static std::optional<SampleManifest> decode(std::string_view bytes);

    // Reads "manifest.json" in the folder and decodes it; a missing, unreadable, oversized or
    // malformed file gives nothing.
    static std::optional<SampleManifest> load(const std::filesystem::path& folder);

    // The files of a pack for a role; empty when the pack or its entry for the role is missing.
    std::vector<std::string> files(std::string_view pack, SoundRole role) const;

    // The shared mouse files for a role; empty when there is no mouse set or no entry.
    std::vector<std::string> mouseFiles(SoundRole role) const;

    // Every credit: the packs' sources in ascending order of pack id, then the mouse set's, then
    // those of the scroll sets in ascending order of style name. Each url is listed once, at its
    // first place.
    std::vector<Source> allSources() const;
};

// The largest manifest file that load() reads.
inline constexpr std::size_t sampleManifestMaxBytes = 8u << 20;

} // namespace clickory
