// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace clickory::testing {

// A folder below the system's temporary directory, removed at the end of the test.
struct TempFolder
{
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::filesystem::path path;
};

// `count` samples that rise from `first` in steps of `step` (easy to recognise after a cut).
std::vector<float> ramp(std::size_t count, float first = 0.1f, float step = 0.0f);

void writeText(const std::filesystem::path& path, const std::string& text);
std::string readText(const std::filesystem::path& path);
// A 16-bit mono WAV file.
void writeWav(const std::filesystem::path& path, const std::vector<float>& samples, std::uint32_t rate);
// An Ogg Vorbis file; every channel carries the same samples times its gain.
void writeOgg(const std::filesystem::path& path, const std::vector<float>& samples, long rate,
              const std::vector<float>& channelGains = {1.0f});

// One entry of a zip written by writeZip.
struct ZipEntry
{
    enum class Kind
    {
        file,
        folder,
        symlink,
        hardlink,
    };
    std::string name;
    std::string content; // a file's bytes, or a link's target
    Kind kind = Kind::file;
    // For files: this many zero bytes instead of `content`, written without a declared size.
    std::uint64_t zeros = 0;
};
// Entries of the zip with the files below `folder`, named `prefix` + their relative path.
std::vector<ZipEntry> entriesOf(const std::filesystem::path& folder, const std::string& prefix);
void writeZip(const std::filesystem::path& path, const std::vector<ZipEntry>& entries);

// The number of samples in a 16-bit mono WAV file written by the importer.
std::size_t wavSampleCount(const std::filesystem::path& path);
// The samples of such a file, as floats.
std::vector<float> wavSamples(const std::filesystem::path& path);

} // namespace clickory::testing
