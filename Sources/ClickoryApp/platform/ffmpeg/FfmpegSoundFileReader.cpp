// SPDX-License-Identifier: MIT
#include "ClickoryApp/platform/ffmpeg/FfmpegSoundFileReader.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <cmath>
#include <cstdio>
#include <cstring>
#include <cstdint>
#include <memory>
#include <mutex>

namespace clickory {

namespace {

// The highest output rate accepted; far above any device, low enough to bound the memory a
// mistaken rate could ask for.
constexpr double maxOutputRate = 768000.0;

// A file that ends this much short of the length its header declares is cut off.
constexpr double truncatedBelow = 0.9;

struct FormatCloser
{
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct CodecFreer
{
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct PacketFreer
{
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct FrameFreer
{
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct ResamplerFreer
{
    void operator()(SwrContext* context) const { swr_free(&context); }
};

// Converts planar float output of swresample into the mono mean of its channels.
class MonoCollector
{
public:
    MonoCollector(SwrContext* resampler, int channels) : m_resampler(resampler), m_channels(channels) {}

    // Feeds `count` input frames (nullptr and 0 to flush). False on a conversion error.
    bool feed(const std::uint8_t** input, int count)
    {
        const int capacity = swr_get_out_samples(m_resampler, count) + 1024;
        if (capacity <= 0)
            return count == 0;
        m_planes.resize(static_cast<std::size_t>(m_channels));
        std::vector<std::uint8_t*> pointers;
        for (auto& plane : m_planes)
        {
            plane.resize(static_cast<std::size_t>(capacity));
            pointers.push_back(reinterpret_cast<std::uint8_t*>(plane.data()));
        }
        const int produced = swr_convert(m_resampler, pointers.data(), capacity, input, count);
        if (produced < 0)
            return false;
        const float scale = 1.0f / static_cast<float>(m_channels);
        for (int k = 0; k < produced; ++k)
        {
            float sum = 0.0f;
            for (const auto& plane : m_planes)
                sum += plane[static_cast<std::size_t>(k)];
            m_samples.push_back(m_channels == 1 ? sum : sum * scale);
        }
        return true;
    }

    std::vector<float>& samples() { return m_samples; }

private:
    SwrContext* m_resampler;
    int m_channels;
    std::vector<std::vector<float>> m_planes;
    std::vector<float> m_samples;
};

// FFmpeg sizes a WAV file by what is on disk, so a file cut short decodes without complaint. Its
// data chunk still declares the full size: a data chunk larger than the bytes that follow it means
// the file was cut off. Other formats rely on the container's declared duration.
bool isTruncatedWav(const std::filesystem::path& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    unsigned char header[12];
    bool truncated = false;
    if (std::fread(header, 1, 12, file) == 12 && std::memcmp(header, "RIFF", 4) == 0 &&
        std::memcmp(header + 8, "WAVE", 4) == 0)
    {
        std::error_code error;
        const auto fileSize = std::filesystem::file_size(path, error);
        std::uint64_t offset = 12;
        unsigned char chunk[8];
        while (!error && std::fread(chunk, 1, 8, file) == 8)
        {
            const std::uint64_t size = static_cast<std::uint64_t>(chunk[4]) | (static_cast<std::uint64_t>(chunk[5]) << 8) |
                                       (static_cast<std::uint64_t>(chunk[6]) << 16) |
                                       (static_cast<std::uint64_t>(chunk[7]) << 24);
            offset += 8;
            if (std::memcmp(chunk, "data", 4) == 0)
            {
                // 0xFFFFFFFF marks a stream written without knowing its length.
                truncated = size != 0xFFFFFFFFu && offset + size > fileSize;
                break;
            }
            offset += size + (size & 1);
            if (offset >= fileSize || std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0)
                break;
        }
    }
    std::fclose(file);
    return truncated;
}

} // namespace

FfmpegSoundFileReader::FfmpegSoundFileReader()
{
    // Bad files are expected input here; their decoder complaints are not the user's business.
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_QUIET); });
}

std::optional<std::vector<float>> FfmpegSoundFileReader::read(const std::filesystem::path& path, double sampleRate,
                                                              double maxSeconds)
{
    if (!(sampleRate >= 1.0 && sampleRate <= maxOutputRate) || !(maxSeconds > 0.0) || path.empty())
        return std::nullopt;

    if (isTruncatedWav(path))
        return std::nullopt;

    // The "file:" prefix keeps a name such as "http://..." from being read as a URL; the whitelist
    // keeps playlist formats from opening anything but local files.
    const std::string url = "file:" + path.string();
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    AVFormatContext* rawFormat = nullptr;
    const int opened = avformat_open_input(&rawFormat, url.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0)
        return std::nullopt;
    std::unique_ptr<AVFormatContext, FormatCloser> format(rawFormat);
    if (avformat_find_stream_info(format.get(), nullptr) < 0)
        return std::nullopt;

    const AVCodec* codec = nullptr;
    const int streamIndex = av_find_best_stream(format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (streamIndex < 0 || codec == nullptr)
        return std::nullopt;
    AVStream* stream = format->streams[streamIndex];

    std::unique_ptr<AVCodecContext, CodecFreer> decoder(avcodec_alloc_context3(codec));
    if (!decoder || avcodec_parameters_to_context(decoder.get(), stream->codecpar) < 0 ||
        avcodec_open2(decoder.get(), codec, nullptr) < 0)
        return std::nullopt;
    const int fileRate = decoder->sample_rate;
    const int channels = decoder->ch_layout.nb_channels;
    if (fileRate <= 0 || channels <= 0)
        return std::nullopt;

    // The first maxSeconds at the file's rate.
    const std::int64_t maxFrames = static_cast<std::int64_t>(std::trunc(static_cast<double>(fileRate) * maxSeconds));
    // The length the container declares, when it declares one. MPEG audio declares its frames
    // including the encoder's delay and padding, which the decoder drops (a short gapless MP3 loses
    // a third of it), so its length says nothing about a cut.
    const bool mpegAudio = codec->id == AV_CODEC_ID_MP3 || codec->id == AV_CODEC_ID_MP2 || codec->id == AV_CODEC_ID_MP1;
    std::int64_t declaredFrames = -1;
    if (mpegAudio)
        declaredFrames = -1;
    else if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
        declaredFrames = av_rescale_q(stream->duration, stream->time_base, AVRational{1, fileRate});
    else if (format->duration != AV_NOPTS_VALUE && format->duration > 0)
        declaredFrames = av_rescale_q(format->duration, AVRational{1, AV_TIME_BASE}, AVRational{1, fileRate});

    AVChannelLayout layout{};
    if (decoder->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&layout, channels);
    else if (av_channel_layout_copy(&layout, &decoder->ch_layout) < 0)
        return std::nullopt;
    SwrContext* rawResampler = nullptr;
    const int configured = swr_alloc_set_opts2(&rawResampler, &layout, AV_SAMPLE_FMT_FLTP,
                                               static_cast<int>(std::lround(sampleRate)), &layout,
                                               decoder->sample_fmt, fileRate, 0, nullptr);
    av_channel_layout_uninit(&layout);
    std::unique_ptr<SwrContext, ResamplerFreer> resampler(rawResampler);
    if (configured < 0 || !resampler || swr_init(resampler.get()) < 0)
        return std::nullopt;

    std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, FrameFreer> frame(av_frame_alloc());
    if (!packet || !frame)
        return std::nullopt;

    MonoCollector collector(resampler.get(), channels);
    std::int64_t taken = 0;
    bool failed = false;
    bool draining = false;

    // Hands the decoder's frames to the resampler until it wants more input; false on an error.
    const auto receive = [&]() -> bool {
        while (taken < maxFrames)
        {
            const int status = avcodec_receive_frame(decoder.get(), frame.get());
            if (status == AVERROR(EAGAIN) || status == AVERROR_EOF)
                return true;
            if (status < 0)
                return false;
            const std::int64_t count = std::min<std::int64_t>(frame->nb_samples, maxFrames - taken);
            if (count > 0 &&
                !collector.feed(const_cast<const std::uint8_t**>(frame->extended_data), static_cast<int>(count)))
                return false;
            taken += count;
            av_frame_unref(frame.get());
        }
        return true;
    };

    while (taken < maxFrames && !failed)
    {
        const int status = av_read_frame(format.get(), packet.get());
        if (status == AVERROR_EOF)
        {
            draining = true;
            break;
        }
        if (status < 0)
        {
            failed = true;
            break;
        }
        if (packet->stream_index == streamIndex)
        {
            if (avcodec_send_packet(decoder.get(), packet.get()) < 0 || !receive())
                failed = true;
        }
        av_packet_unref(packet.get());
    }
    if (draining && !failed)
    {
        if (avcodec_send_packet(decoder.get(), nullptr) < 0 || !receive())
            failed = true;
        // A file that ended well before the length it declares was cut off.
        const std::int64_t expected = std::min(declaredFrames, maxFrames);
        if (declaredFrames > 0 && static_cast<double>(taken) < truncatedBelow * static_cast<double>(expected))
            failed = true;
    }
    if (failed || taken == 0 || !collector.feed(nullptr, 0))
        return std::nullopt;

    std::vector<float>& samples = collector.samples();
    if (samples.empty())
        return std::nullopt;
    for (const float sample : samples)
        if (!std::isfinite(sample))
            return std::nullopt;
    return std::move(samples);
}

} // namespace clickory
