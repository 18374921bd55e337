// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/ArchiveExtractor.h"
#include "ClickoryApp/platform/OggDecoder.h"
#include "ClickoryApp/platform/SoundFileReader.h"
#include "ClickoryCore/Expected.h"
#include "ClickoryCore/packs/MechvibesImport.h"
#include "ClickoryCore/profiles/ImportedPack.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace clickory {

// The library of imported sound packs and the importer that fills it.
//
// Library layout: one folder per pack inside the library root, named by the pack's id (its slug),
// holding "pack.json" (the ImportedPack record) and the 44 100 Hz mono WAV files "k0.wav", "k1.wav"...
// An import builds the pack in a ".staging-<uuid>" folder of the root and moves it into place when
// it is complete. Names that begin with "." are never packs.
//
// The importer accepts a Mechvibes pack (its folder, its .zip or its config.json) or any folder of
// audio files. Ogg Vorbis goes through the OggDecoder, every other format through the
// SoundFileReader; each sound is mixed to mono, brought to 44 100 Hz, trimmed, faded out and
// normalised.
//
// Threads: every operation may run on any thread, and several at once (two imports use different
// staging folders; when both give the same slug the later move wins). The services must be safe to
// call concurrently. loadLibrary() publishes through Profiles::setImported, which is safe against
// readers on other threads.
class PackImporter
{
public:
    // What went wrong, in words for the user. File-system failures carry the system's own text
    // instead.
    enum class Failure
    {
        unreadable,
        nothingFound,
        noAudio,
    };
    static std::string_view errorDescription(Failure failure);

    // Sample rate of every written file.
    static constexpr std::uint32_t outputRate = 44100;
    // A folder of sounds gives at most this many files, each at most 1.2 s long.
    static constexpr std::size_t maxFolderFiles = 48;
    static constexpr std::size_t maxFolderSamples = 52920;
    // A Mechvibes slice is at most this long.
    static constexpr double maxSliceMs = 1500.0;
    // Sounds shorter than this are dropped.
    static constexpr std::size_t minSamples = 9;
    // At most this much of any source file is read.
    static constexpr double maxReadSeconds = 120.0;
    // The fade-out covers min(n / 3, maxFadeSamples) samples.
    static constexpr std::size_t maxFadeSamples = 176;
    // Peak after normalisation, and the peak at or below which a sound counts as silence.
    static constexpr float normalizedPeak = 0.8f;
    static constexpr float silencePeak = 1e-5f;
    // File extensions of a folder of sounds, compared in lower case.
    static constexpr std::array<std::string_view, 8> audioExtensions{"wav", "ogg", "mp3", "m4a",
                                                                     "aif", "aiff", "caf", "flac"};
    static constexpr std::string_view packFileName = "pack.json";
    static constexpr std::string_view mechvibesSource = "a Mechvibes pack";
    static constexpr std::string_view folderSource = "a folder of sounds";
    static constexpr std::string_view stagingPrefix = ".staging-";

    // Renames a folder, as std::filesystem::rename does; an error code on failure. Tests replace it
    // to make the final move fail.
    using Mover = std::function<std::error_code(const std::filesystem::path& from, const std::filesystem::path& to)>;

    struct Services
    {
        std::shared_ptr<SoundFileReader> reader; // every non-Ogg format
        std::shared_ptr<OggDecoder> ogg;
        std::shared_ptr<ArchiveExtractor> archive;
        // Empty: std::filesystem::rename.
        Mover move;
        // Where .zip packs are unpacked; empty: the system's temporary directory.
        std::filesystem::path temporaryDirectory;
    };

    // `libraryRoot` need not exist yet (an import creates it); a relative path is made absolute.
    // Every service must be set.
    PackImporter(std::filesystem::path libraryRoot, Services services);

    const std::filesystem::path& libraryRoot() const { return m_root; }

    // "$XDG_DATA_HOME/clickory/Imported" when XDG_DATA_HOME is an absolute path, else
    // "$HOME/.local/share/clickory/Imported"; nothing when neither is usable.
    static std::optional<std::filesystem::path> defaultLibraryRoot(const char* xdgDataHome, const char* home);
    // The same from this process's environment.
    static std::optional<std::filesystem::path> defaultLibraryRoot();

    // Reads every pack folder of the library (unreadable ones are skipped silently), sets each
    // record's folder to where it really is, sorts them by name (case-insensitive) and publishes
    // them as the catalogue's imported profiles. Returns the packs in that order.
    std::vector<ImportedPack> loadLibrary() const;

    // Deletes the pack behind "imported:<id>" and reloads the library. Only ever a folder directly
    // inside the library root: another prefix, or an id that is empty, ".", "..", begins with "."
    // or holds a path separator, deletes nothing (the library is still reloaded).
    void remove(std::string_view profileID) const;

    // Imports the pack at `from` (a folder, a .zip or a config.json) and answers the new profile id,
    // "imported:" + slug, after reloading the library. A pack whose name gives the same slug is
    // replaced; if the new one cannot be moved into place, the old one stays.
    //
    // Blocking and slow (it decodes and writes files): call it off the main thread and hand the
    // result back to the main thread yourself (the "--import" switch may call it on the main thread,
    // since nothing else runs then). On failure the error is a plain sentence for the user: one of
    // the errorDescription() texts, or the system's description of a file-system error. No staging
    // or temporary folder is left behind, however it ends.
    Expected<std::string> importPack(const std::filesystem::path& from) const;

    // Mono samples at 44 100 Hz of a sound file ("ogg" by the OggDecoder, anything else by the
    // SoundFileReader), at most the first 120 s; nothing when it cannot be read or holds no sample.
    std::optional<std::vector<float>> decode(const std::filesystem::path& file) const;

    // ---- Steps of an import, with no state ----

    // Lower case; every run of characters that are neither letters nor digits becomes one "-", with
    // none at either end; "pack" when nothing is left. "My Pack!" -> "my-pack".
    static std::string slug(std::string_view baseName);

    // The name an import is known by: a zip's file name without its extension, a config.json's
    // folder name, or else the last component of the path (trailing separators ignored).
    static std::string baseName(const std::filesystem::path& from);

    // "config.json" directly in `root`, else that of the first direct subfolder (in listing order)
    // that has one; only one level deep. Nothing when there is none or the folder cannot be listed.
    static std::optional<std::filesystem::path> findConfig(const std::filesystem::path& root);

    // Linear interpolation from `rate` to 44 100 Hz; the input unchanged when fewer than two
    // samples would come out.
    static std::vector<float> resample(const std::vector<float>& samples, double rate);

    // Fades the last min(n / 3, 176) samples out to 0 (n >= 3), then scales to a peak of 0.8 unless
    // the peak is at most 1e-5.
    static void finish(std::vector<float>& samples);

    // The file that a name in a Mechvibes configuration means: `name` inside `packFolder`, or
    // nothing when the name is empty, absolute or climbs out with "..".
    static std::optional<std::filesystem::path> fileInside(const std::filesystem::path& packFolder,
                                                           std::string_view name);

private:
    struct Decoded
    {
        std::vector<float> samples;
        double sampleRate = 0.0;
    };

    std::optional<Decoded> decodeOgg(const std::filesystem::path& file) const;
    std::optional<Decoded> decodeAV(const std::filesystem::path& file) const;
    std::optional<Decoded> decodeAny(const std::filesystem::path& file) const;
    ImportedPack convertMechvibes(const MechvibesImport::Config& config, const std::filesystem::path& packFolder,
                                  const std::filesystem::path& staging, const std::string& slug) const;
    ImportedPack convertFolder(const std::filesystem::path& root, const std::filesystem::path& staging,
                               const std::string& slug, const std::string& name) const;
    void moveIntoPlace(const std::filesystem::path& staging, const std::filesystem::path& destination) const;
    std::string importOrThrow(const std::filesystem::path& from) const;

    std::filesystem::path m_root;
    Services m_services;
};

} // namespace clickory
