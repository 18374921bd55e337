// SPDX-License-Identifier: MIT
#include "ClickoryApp/packs/PackImporter.h"

#include "ClickoryCore/profiles/Profiles.h"
#include "ClickoryCore/samples/WAV.h"

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <fstream>
#include <iterator>
#include <locale.h>
#include <map>
#include <random>
#include <set>
#include <stdexcept>
#include <wctype.h>

namespace clickory {

namespace fs = std::filesystem;

namespace {

// Records larger than this are not read (the JSON reader refuses them anyway).
constexpr std::uintmax_t maxRecordBytes = 8u << 20;

// Leaves importPack with a sentence for the user.
struct ImportError
{
    std::string message;
};

[[noreturn]] void fail(PackImporter::Failure failure)
{
    throw ImportError{std::string(PackImporter::errorDescription(failure))};
}

[[noreturn]] void failFileSystem(const std::error_code& error, const fs::path& path)
{
    throw ImportError{error.message() + " (" + path.string() + ")"};
}

std::string lowerASCII(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// A new random (version 4) UUID in upper case.
std::string newUUID()
{
    thread_local std::mt19937_64 generator = [] {
        std::random_device device;
        std::seed_seq seed{device(), device(), device(), device()};
        return std::mt19937_64(seed);
    }();
    std::array<std::uint8_t, 16> bytes{};
    for (std::size_t i = 0; i < bytes.size(); i += 8)
    {
        const std::uint64_t word = generator();
        for (std::size_t k = 0; k < 8; ++k)
            bytes[i + k] = static_cast<std::uint8_t>(word >> (8 * k));
    }
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i)
    {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            text += '-';
        text += hex[bytes[i] >> 4];
        text += hex[bytes[i] & 0x0F];
    }
    return text;
}

// ---- Unicode, enough for slugs and sorting ----

// The UTF-8 character classes of the C library; null when the locale is missing.
locale_t unicodeLocale()
{
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    return locale;
}

// Decodes UTF-8; each invalid byte becomes U+FFFD.
std::u32string decodeUTF8(std::string_view text)
{
    std::u32string out;
    std::size_t i = 0;
    while (i < text.size())
    {
        const auto byte = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t value = 0;
        if (byte < 0x80)
        {
            length = 1;
            value = byte;
        }
        else if (byte >= 0xC2 && byte <= 0xDF)
        {
            length = 2;
            value = byte & 0x1F;
        }
        else if (byte >= 0xE0 && byte <= 0xEF)
        {
            length = 3;
            value = byte & 0x0F;
        }
        else if (byte >= 0xF0 && byte <= 0xF4)
        {
            length = 4;
            value = byte & 0x07;
        }
        bool valid = length > 0 && i + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k)
        {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            value = (value << 6) | (next & 0x3F);
        }
        if (valid && ((length == 3 && (value < 0x800 || (value >= 0xD800 && value <= 0xDFFF))) ||
                      (length == 4 && (value < 0x10000 || value > 0x10FFFF))))
            valid = false;
        if (!valid)
        {
            out.push_back(U'\uFFFD');
            ++i;
            continue;
        }
        out.push_back(value);
        i += length;
    }
    return out;
}

void appendUTF8(std::string& out, char32_t c)
{
    if (c < 0x80)
        out += static_cast<char>(c);
    else if (c < 0x800)
    {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    else if (c < 0x10000)
    {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    else
    {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

char32_t lowerChar(char32_t c)
{
    if (c < 0x80)
        return (c >= U'A' && c <= U'Z') ? c - U'A' + U'a' : c;
    const locale_t locale = unicodeLocale();
    return locale ? static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), locale)) : c;
}

bool isLetterOrNumber(char32_t c)
{
    if (c < 0x80)
        return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9');
    if (c == U'\uFFFD')
        return false;
    const locale_t locale = unicodeLocale();
    // Without the classes, anything beyond ASCII is taken for a letter rather than dropped.
    return locale ? iswalnum_l(static_cast<wint_t>(c), locale) != 0 : true;
}

std::u32string foldedForSorting(std::string_view text)
{
    std::u32string folded = decodeUTF8(text);
    for (char32_t& c : folded)
        c = lowerChar(c);
    return folded;
}

// ---- Files ----

// Reads a whole file of at most `maxBytes`; nothing when it cannot be read or is larger.
std::optional<std::string> readSmallFile(const fs::path& path, std::uintmax_t maxBytes)
{
    std::error_code error;
    if (!fs::is_regular_file(path, error))
        return std::nullopt;
    const std::uintmax_t size = fs::file_size(path, error);
    if (error || size > maxBytes)
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad() || bytes.size() > maxBytes)
        return std::nullopt;
    return bytes;
}

std::error_code writeFile(const fs::path& path, const void* data, std::size_t size)
{
    errno = 0;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out)
        out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (out)
        out.close();
    if (!out)
        return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
    return {};
}

// Writes a finished sound as a 44 100 Hz WAV file.
std::error_code writeSound(const fs::path& path, const std::vector<float>& samples)
{
    const std::vector<std::uint8_t> bytes = WAV::data(samples, PackImporter::outputRate);
    if (bytes.empty())
        return std::make_error_code(std::errc::file_too_large);
    return writeFile(path, bytes.data(), bytes.size());
}

// Deletes a folder when it goes out of scope, unless released.
class FolderGuard
{
public:
    explicit FolderGuard(fs::path path) : m_path(std::move(path)) {}
    ~FolderGuard()
    {
        if (!m_path.empty())
        {
            std::error_code ignored;
            fs::remove_all(m_path, ignored);
        }
    }
    FolderGuard(const FolderGuard&) = delete;
    FolderGuard& operator=(const FolderGuard&) = delete;
    void release() { m_path.clear(); }

private:
    fs::path m_path;
};

// The integer part of a number, in decimal (as large as it is; never "-0").
std::string integerText(double value)
{
    char text[400];
    std::snprintf(text, sizeof text, "%.0f", std::trunc(value) + 0.0);
    return text;
}

// Text joined by appending: GCC 12 at -O3 reports a false -Wrestrict for a literal + a temporary.
std::string prefixed(std::string_view prefix, const std::string& rest)
{
    std::string text(prefix);
    text += rest;
    return text;
}

// "k" + the running number + ".wav".
std::string soundFileName(std::size_t number)
{
    std::string name = prefixed("k", std::to_string(number));
    name += ".wav";
    return name;
}

bool isHidden(const fs::path& path)
{
    const std::string name = path.filename().string();
    return !name.empty() && name.front() == '.';
}

} // namespace

std::string_view PackImporter::errorDescription(Failure failure)
{
    switch (failure)
    {
    case Failure::unreadable:
        return "Clickory could not open that file or folder.";
    case Failure::nothingFound:
        return "No sounds were found there. Choose a Mechvibes pack folder (or its .zip), or a folder of audio files.";
    case Failure::noAudio:
        return "The pack's audio files could not be read.";
    }
    return "";
}

PackImporter::PackImporter(fs::path libraryRoot, Services services) : m_services(std::move(services))
{
    std::error_code error;
    const fs::path absolute = fs::absolute(libraryRoot, error);
    m_root = (error ? libraryRoot : absolute).lexically_normal();
    if (!m_root.has_filename() && m_root.has_parent_path() && m_root != m_root.root_path())
        m_root = m_root.parent_path();
    if (!m_services.move)
        m_services.move = [](const fs::path& from, const fs::path& to) {
            std::error_code moveError;
            fs::rename(from, to, moveError);
            return moveError;
        };
    if (m_services.temporaryDirectory.empty())
    {
        m_services.temporaryDirectory = fs::temp_directory_path(error);
        if (error)
            m_services.temporaryDirectory = "/tmp";
    }
}

std::optional<fs::path> PackImporter::defaultLibraryRoot(const char* xdgDataHome, const char* home)
{
    if (xdgDataHome && *xdgDataHome && fs::path(xdgDataHome).is_absolute())
        return fs::path(xdgDataHome) / "clickory" / "Imported";
    if (home && *home && fs::path(home).is_absolute())
        return fs::path(home) / ".local" / "share" / "clickory" / "Imported";
    return std::nullopt;
}

std::optional<fs::path> PackImporter::defaultLibraryRoot()
{
    return defaultLibraryRoot(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

// ---- The library ----

std::vector<ImportedPack> PackImporter::loadLibrary() const
{
    std::vector<ImportedPack> packs;
    std::error_code error;
    fs::directory_iterator entries(m_root, error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error))
    {
        const fs::path folder = entries->path();
        // Staging folders and leftovers of a replacement are not packs, even with a record.
        if (isHidden(folder))
            continue;
        const std::optional<std::string> text = readSmallFile(folder / packFileName, maxRecordBytes);
        if (!text)
            continue;
        Expected<ImportedPack> pack = decodeImportedPack(*text);
        if (!pack)
            continue;
        pack.value().folder = folder.string();
        packs.push_back(std::move(pack).value());
    }

    std::vector<std::pair<std::u32string, ImportedPack>> keyed;
    keyed.reserve(packs.size());
    for (ImportedPack& pack : packs)
        keyed.emplace_back(foldedForSorting(pack.name), std::move(pack));
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first)
            return a.first < b.first;
        if (a.second.name != b.second.name)
            return a.second.name < b.second.name;
        return a.second.id < b.second.id;
    });
    packs.clear();
    std::vector<SoundProfile> profiles;
    for (auto& [key, pack] : keyed)
    {
        profiles.push_back(Profiles::importedProfile(pack));
        packs.push_back(std::move(pack));
    }
    Profiles::setImported(std::move(profiles));
    return packs;
}

void PackImporter::remove(std::string_view profileID) const
{
    if (profileID.substr(0, Profiles::importedPrefix.size()) == Profiles::importedPrefix)
    {
        const std::string_view id = profileID.substr(Profiles::importedPrefix.size());
        const bool bare = !id.empty() && id.front() != '.' && id.find('/') == std::string_view::npos &&
                          id.find('\\') == std::string_view::npos && id.find('\0') == std::string_view::npos;
        if (bare)
        {
            std::error_code ignored;
            fs::remove_all(m_root / fs::path(std::string(id)), ignored);
        }
    }
    loadLibrary();
}

// ---- Steps ----

std::string PackImporter::slug(std::string_view baseName)
{
    std::string result;
    bool pendingDash = false;
    for (const char32_t c : decodeUTF8(baseName))
    {
        const char32_t lower = lowerChar(c);
        if (!isLetterOrNumber(lower))
        {
            pendingDash = true;
            continue;
        }
        if (pendingDash && !result.empty())
            result += '-';
        pendingDash = false;
        appendUTF8(result, lower);
    }
    return result.empty() ? "pack" : result;
}

std::string PackImporter::baseName(const fs::path& from)
{
    fs::path path = from.lexically_normal();
    while (!path.has_filename() && path.has_relative_path())
        path = path.parent_path();
    if (!path.is_absolute() && (path.empty() || path.filename() == "." || path.filename() == ".."))
    {
        std::error_code error;
        const fs::path absolute = fs::absolute(path, error);
        if (!error)
            path = absolute.lexically_normal();
        while (!path.has_filename() && path.has_relative_path())
            path = path.parent_path();
    }
    if (lowerASCII(path.extension().string()) == ".zip")
        return path.stem().string();
    if (lowerASCII(path.filename().string()) == "config.json")
        return path.parent_path().filename().string();
    return path.filename().string();
}

std::optional<fs::path> PackImporter::findConfig(const fs::path& root)
{
    std::error_code error;
    if (fs::exists(root / "config.json", error))
        return root / "config.json";
    // Subfolders by name, so that the same archive gives the same pack on every file system.
    std::vector<fs::path> folders;
    fs::directory_iterator entries(root, error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error))
    {
        std::error_code typeError;
        if (entries->is_directory(typeError))
            folders.push_back(entries->path());
    }
    if (error)
        return std::nullopt;
    std::sort(folders.begin(), folders.end());
    for (const fs::path& folder : folders)
        if (fs::exists(folder / "config.json", error))
            return folder / "config.json";
    return std::nullopt;
}

std::vector<float> PackImporter::resample(const std::vector<float>& samples, double rate)
{
    const std::size_t n = samples.size();
    const double ratio = rate / static_cast<double>(outputRate);
    const double count = std::trunc(static_cast<double>(n) / ratio);
    // Also refuses rates that are zero, negative or not numbers.
    if (!(count >= 2.0) || !(count <= static_cast<double>(n) * 1024.0))
        return samples;
    std::vector<float> out(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < out.size(); ++i)
    {
        const double p = ratio * static_cast<double>(i);
        const double whole = std::trunc(p);
        const std::size_t j = static_cast<std::size_t>(whole);
        const float a = samples[std::min(n - 1, j)];
        const float b = samples[std::min(n - 1, j + 1)];
        out[i] = a + (b - a) * static_cast<float>(p - whole);
    }
    return out;
}

void PackImporter::finish(std::vector<float>& samples)
{
    const std::size_t n = samples.size();
    if (n >= 3)
    {
        const std::size_t f = std::min(n / 3, maxFadeSamples);
        for (std::size_t i = 0; i < f; ++i)
            samples[n - 1 - i] *= static_cast<float>(i) / static_cast<float>(f);
    }
    float peak = 0.0f;
    for (const float sample : samples)
        peak = std::max(peak, std::fabs(sample));
    if (peak > silencePeak)
    {
        const float scale = normalizedPeak / peak;
        for (float& sample : samples)
            sample *= scale;
    }
}

std::optional<fs::path> PackImporter::fileInside(const fs::path& packFolder, std::string_view name)
{
    if (name.empty() || name.find('\0') != std::string_view::npos)
        return std::nullopt;
    const fs::path relative{std::string(name)};
    if (relative.is_absolute() || relative.has_root_path())
        return std::nullopt;
    for (const fs::path& part : relative)
        if (part == "..")
            return std::nullopt;
    return packFolder / relative;
}

// ---- Decoding ----

std::optional<PackImporter::Decoded> PackImporter::decodeOgg(const fs::path& file) const
{
    std::optional<DecodedSound> sound = m_services.ogg->decode(file, maxReadSeconds);
    if (!sound || sound->samples.empty() || !(sound->sampleRate > 0.0))
        return std::nullopt;
    return Decoded{std::move(sound->samples), sound->sampleRate};
}

std::optional<PackImporter::Decoded> PackImporter::decodeAV(const fs::path& file) const
{
    // The reader converts to the output rate itself (swresample), so resample() leaves it alone.
    std::optional<std::vector<float>> samples =
        m_services.reader->read(file, static_cast<double>(outputRate), maxReadSeconds);
    if (!samples || samples->empty())
        return std::nullopt;
    return Decoded{std::move(*samples), static_cast<double>(outputRate)};
}

std::optional<PackImporter::Decoded> PackImporter::decodeAny(const fs::path& file) const
{
    return lowerASCII(file.extension().string()) == ".ogg" ? decodeOgg(file) : decodeAV(file);
}

std::optional<std::vector<float>> PackImporter::decode(const fs::path& file) const
{
    std::optional<Decoded> decoded = decodeAny(file);
    if (!decoded || decoded->samples.empty())
        return std::nullopt;
    if (decoded->sampleRate != static_cast<double>(outputRate))
        return resample(decoded->samples, decoded->sampleRate);
    return std::move(decoded->samples);
}

// ---- Conversion ----

ImportedPack PackImporter::convertMechvibes(const MechvibesImport::Config& config, const fs::path& packFolder,
                                            const fs::path& staging, const std::string& slug) const
{
    // The one sound file that slices cut from, decoded once.
    std::optional<std::vector<float>> source;
    if (config.soundFile)
        if (const std::optional<fs::path> file = fileInside(packFolder, *config.soundFile))
            source = decode(*file);

    std::map<std::string, std::optional<std::string>> cache;
    int counter = 0;
    const auto fileFor = [&](const MechvibesImport::Definition& definition) -> std::optional<std::string> {
        std::string key;
        std::optional<std::vector<float>> sound;
        if (const auto* named = std::get_if<MechvibesImport::File>(&definition.source))
        {
            key = prefixed("f", named->name);
            if (const auto cached = cache.find(key); cached != cache.end())
                return cached->second;
            if (const std::optional<fs::path> file = fileInside(packFolder, named->name))
                sound = decode(*file);
        }
        else
        {
            const auto& slice = std::get<MechvibesImport::Slice>(definition.source);
            key = prefixed("s", integerText(slice.startMs) + "-" + integerText(slice.durationMs));
            if (const auto cached = cache.find(key); cached != cache.end())
                return cached->second;
            if (!source)
                return std::nullopt;
            const double start = std::trunc(slice.startMs / 1000.0 * static_cast<double>(outputRate));
            const double length =
                std::trunc(std::min(slice.durationMs, maxSliceMs) / 1000.0 * static_cast<double>(outputRate));
            const double count = static_cast<double>(source->size());
            if (start < 0.0 || start >= count || length < static_cast<double>(minSamples))
                return std::nullopt;
            const auto first = static_cast<std::size_t>(start);
            const std::size_t last = std::min(first + static_cast<std::size_t>(length), source->size());
            sound.emplace(source->begin() + static_cast<std::ptrdiff_t>(first),
                          source->begin() + static_cast<std::ptrdiff_t>(last));
        }
        std::optional<std::string> name;
        if (sound && sound->size() >= minSamples)
        {
            finish(*sound);
            const std::string candidate = soundFileName(static_cast<std::size_t>(counter));
            // A file that could not be written is not named in the record: its keys fall back.
            if (!writeSound(staging / candidate, *sound))
            {
                name = candidate;
                ++counter;
            }
        }
        cache[key] = name;
        return name;
    };
    MechvibesImport::PerKeyMap map = MechvibesImport::perKeyMap(config, fileFor);
    if (map.all.empty())
        fail(Failure::noAudio);

    std::set<std::string> distinct(map.all.begin(), map.all.end());
    return ImportedPack{slug,
                        config.name,
                        (m_root / slug).string(),
                        std::move(map.perKey),
                        std::vector<std::string>(distinct.begin(), distinct.end()),
                        std::string(mechvibesSource)};
}

ImportedPack PackImporter::convertFolder(const fs::path& root, const fs::path& staging, const std::string& slug,
                                         const std::string& name) const
{
    std::vector<std::string> files;
    std::error_code error;
    fs::recursive_directory_iterator walker(root, fs::directory_options::skip_permission_denied, error);
    for (; !error && walker != fs::recursive_directory_iterator(); walker.increment(error))
    {
        const fs::path& path = walker->path();
        if (isHidden(path))
        {
            std::error_code typeError;
            if (walker->is_directory(typeError))
                walker.disable_recursion_pending();
            continue;
        }
        std::error_code typeError;
        if (!walker->is_regular_file(typeError))
            continue;
        std::string extension = lowerASCII(path.extension().string());
        if (!extension.empty())
            extension.erase(0, 1);
        if (std::find(audioExtensions.begin(), audioExtensions.end(), extension) != audioExtensions.end())
            files.push_back(path.string());
    }
    if (files.empty())
        fail(Failure::nothingFound);
    std::sort(files.begin(), files.end());
    if (files.size() > maxFolderFiles)
        files.resize(maxFolderFiles);

    std::vector<std::string> written;
    for (const std::string& file : files)
    {
        std::optional<std::vector<float>> sound = decode(file);
        if (!sound || sound->size() < minSamples)
            continue;
        if (sound->size() > maxFolderSamples)
            sound->resize(maxFolderSamples);
        const std::string fileName = soundFileName(written.size());
        finish(*sound);
        if (writeSound(staging / fileName, *sound))
            continue;
        written.push_back(fileName);
    }
    if (written.empty())
        fail(Failure::noAudio);
    return ImportedPack{slug, name, (m_root / slug).string(), {}, std::move(written), std::string(folderSource)};
}

void PackImporter::moveIntoPlace(const fs::path& staging, const fs::path& destination) const
{
    std::error_code error;
    const bool replacing = fs::exists(fs::symlink_status(destination, error));
    // The old pack is set aside, not deleted, until the new one is in place.
    fs::path aside;
    if (replacing)
    {
        aside = m_root / prefixed(".replaced-", newUUID());
        if (const std::error_code moveError = m_services.move(destination, aside))
            failFileSystem(moveError, destination);
    }
    if (const std::error_code moveError = m_services.move(staging, destination))
    {
        if (replacing)
            m_services.move(aside, destination);
        failFileSystem(moveError, destination);
    }
    if (replacing)
        fs::remove_all(aside, error);
}

std::string PackImporter::importOrThrow(const fs::path& from) const
{
    std::error_code error;
    const std::string lastName = lowerASCII(from.lexically_normal().filename().string());
    fs::path root;
    std::optional<FolderGuard> unpacked;
    if (lowerASCII(from.extension().string()) == ".zip")
    {
        root = m_services.temporaryDirectory / prefixed("clickory-", newUUID());
        fs::create_directories(root, error);
        if (error)
            failFileSystem(error, root);
        unpacked.emplace(root);
        if (m_services.archive->extract(from, root))
            fail(Failure::unreadable);
    }
    else if (lastName == "config.json")
    {
        root = from.parent_path();
        if (root.empty())
            root = ".";
    }
    else
    {
        root = from;
    }
    if (!fs::is_directory(root, error))
        fail(Failure::unreadable);

    const std::string name = baseName(from);
    const std::string packSlug = slug(name);
    const fs::path destination = m_root / packSlug;
    const fs::path staging = m_root / prefixed(stagingPrefix, newUUID());
    fs::create_directories(staging, error);
    if (error)
        failFileSystem(error, staging);
    FolderGuard stagingGuard(staging);

    std::optional<ImportedPack> pack;
    if (const std::optional<fs::path> configFile = findConfig(root))
    {
        if (const std::optional<std::string> bytes = readSmallFile(*configFile, maxRecordBytes))
        {
            const Expected<MechvibesImport::Config> config = MechvibesImport::parse(*bytes);
            if (config)
                pack = convertMechvibes(*config, configFile->parent_path(), staging, packSlug);
        }
    }
    if (!pack)
        pack = convertFolder(root, staging, packSlug, name);

    const std::string record = encodeImportedPack(*pack);
    if (const std::error_code writeError = writeFile(staging / packFileName, record.data(), record.size()))
        failFileSystem(writeError, staging / packFileName);

    moveIntoPlace(staging, destination);
    stagingGuard.release();
    loadLibrary();
    return std::string(Profiles::importedPrefix) + packSlug;
}

Expected<std::string> PackImporter::importPack(const fs::path& from) const
{
    try
    {
        return importOrThrow(from);
    }
    catch (const ImportError& error)
    {
        return Expected<std::string>::failure(error.message);
    }
    catch (const fs::filesystem_error& error)
    {
        return Expected<std::string>::failure(error.code().message() + " (" + error.path1().string() + ")");
    }
    catch (const std::exception& error)
    {
        return Expected<std::string>::failure(error.what());
    }
}

} // namespace clickory
