// SPDX-License-Identifier: MIT
#include "App/packs/PackInputs.h"

#include "ClickoryCore/samples/WAV.h"

#include <archive.h>
#include <archive_entry.h>
#include <vorbis/vorbisenc.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

namespace clickory::testing {

namespace fs = std::filesystem;

TempFolder::TempFolder()
{
    static std::atomic<int> counter{0};
    path = fs::temp_directory_path() /
           ("clickory-packtest-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(path);
    fs::create_directories(path);
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    fs::remove_all(path, ignored);
}

std::vector<float> ramp(std::size_t count, float first, float step)
{
    std::vector<float> samples(count);
    for (std::size_t i = 0; i < count; ++i)
        samples[i] = first + step * static_cast<float>(i);
    return samples;
}

void writeText(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

std::string readText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeWav(const fs::path& path, const std::vector<float>& samples, std::uint32_t rate)
{
    const std::vector<std::uint8_t> bytes = WAV::data(samples, rate);
    writeText(path, std::string(bytes.begin(), bytes.end()));
}

void writeOgg(const fs::path& path, const std::vector<float>& samples, long rate,
              const std::vector<float>& channelGains)
{
    const int channels = static_cast<int>(channelGains.size());
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, 0.6f) != 0)
        throw std::runtime_error("vorbis encoder refused the format");
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);
    ogg_page page;
    ogg_packet packet;
    std::string bytes;
    const auto flush = [&](bool all) {
        while (all ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page))
        {
            bytes.append(reinterpret_cast<const char*>(page.header), static_cast<std::size_t>(page.header_len));
            bytes.append(reinterpret_cast<const char*>(page.body), static_cast<std::size_t>(page.body_len));
        }
    };
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    flush(true);

    const auto drain = [&] {
        while (vorbis_analysis_blockout(&dsp, &block) == 1)
        {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (vorbis_bitrate_flushpacket(&dsp, &packet))
                ogg_stream_packetin(&stream, &packet);
            flush(false);
        }
    };
    constexpr std::size_t chunk = 4096;
    for (std::size_t at = 0; at < samples.size(); at += chunk)
    {
        const std::size_t count = std::min(chunk, samples.size() - at);
        float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
        for (int c = 0; c < channels; ++c)
            for (std::size_t i = 0; i < count; ++i)
                buffer[c][i] = samples[at + i] * channelGains[static_cast<std::size_t>(c)];
        vorbis_analysis_wrote(&dsp, static_cast<int>(count));
        drain();
    }
    vorbis_analysis_wrote(&dsp, 0);
    drain();
    flush(true);
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    writeText(path, bytes);
}

std::vector<ZipEntry> entriesOf(const fs::path& folder, const std::string& prefix)
{
    std::vector<ZipEntry> entries;
    for (const auto& item : fs::recursive_directory_iterator(folder))
    {
        const std::string name = prefix + fs::relative(item.path(), folder).string();
        if (item.is_directory())
            entries.push_back({name + "/", "", ZipEntry::Kind::folder, 0});
        else
            entries.push_back({name, readText(item.path()), ZipEntry::Kind::file, 0});
    }
    return entries;
}

void writeZip(const fs::path& path, const std::vector<ZipEntry>& entries)
{
    archive* writer = archive_write_new();
    archive_write_set_format_zip(writer);
    fs::create_directories(path.parent_path());
    if (archive_write_open_filename(writer, path.c_str()) != ARCHIVE_OK)
        throw std::runtime_error("cannot create " + path.string());
    for (const ZipEntry& item : entries)
    {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, item.name.c_str());
        archive_entry_set_perm(entry, 0644);
        switch (item.kind)
        {
        case ZipEntry::Kind::file:
            archive_entry_set_filetype(entry, AE_IFREG);
            if (item.zeros == 0)
                archive_entry_set_size(entry, static_cast<la_int64_t>(item.content.size()));
            break;
        case ZipEntry::Kind::folder:
            archive_entry_set_filetype(entry, AE_IFDIR);
            archive_entry_set_perm(entry, 0755);
            break;
        case ZipEntry::Kind::symlink:
            archive_entry_set_filetype(entry, AE_IFLNK);
            archive_entry_set_symlink(entry, item.content.c_str());
            break;
        case ZipEntry::Kind::hardlink:
            archive_entry_set_filetype(entry, AE_IFREG);
            archive_entry_set_hardlink(entry, item.content.c_str());
            break;
        }
        if (archive_write_header(writer, entry) != ARCHIVE_OK)
            throw std::runtime_error(std::string("zip writer: ") + archive_error_string(writer));
        if (item.kind == ZipEntry::Kind::file)
        {
            if (item.zeros > 0)
            {
                const std::string zeros(1 << 16, '\0');
                for (std::uint64_t left = item.zeros; left > 0;)
                {
                    const std::size_t now = static_cast<std::size_t>(std::min<std::uint64_t>(left, zeros.size()));
                    archive_write_data(writer, zeros.data(), now);
                    left -= now;
                }
            }
            else if (!item.content.empty())
            {
                archive_write_data(writer, item.content.data(), item.content.size());
            }
        }
        archive_entry_free(entry);
    }
    archive_write_close(writer);
    archive_write_free(writer);
}

std::size_t wavSampleCount(const fs::path& path)
{
    const std::string bytes = readText(path);
    return bytes.size() < 44 ? 0 : (bytes.size() - 44) / 2;
}

std::vector<float> wavSamples(const fs::path& path)
{
    const std::string bytes = readText(path);
    std::vector<float> samples;
    for (std::size_t at = 44; at + 1 < bytes.size(); at += 2)
    {
        std::int16_t value = 0;
        std::memcpy(&value, bytes.data() + at, 2);
        samples.push_back(static_cast<float>(value) / 32767.0f);
    }
    return samples;
}

} // namespace clickory::testing
