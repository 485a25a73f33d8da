// FfmpegReader: decodes the first audio stream of a media file with FFmpeg's libraries and
// converts it to 16-bit stereo at 44100 Hz (in the media module).
#include "MediaModule.h"

#include "../files/RegularFile.h"

#include <cmath>
#include <cstdio>

extern "C"
{
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libswresample/swresample.h>
}

namespace platform::media
{

namespace
{

constexpr int kSampleRate = 44100;
// The rates and channel counts a capture takes: a file stating more would have the resampler
// set up for it take minutes and gigabytes before a single frame.
constexpr int kMaxRate = 768000;
constexpr int kMaxChannels = 64;
constexpr int kIoBytes = 64 * 1024;

std::string avError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// The frames at 44100 Hz of the stream's stated duration, else the file's; -1 when neither is
// stated or the value is beyond reason (a hostile header: more than a year).
int64_t statedLength(const AVFormatContext* format, const AVStream* stream)
{
    double seconds = -1;
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0 && stream->time_base.den > 0)
        seconds = double(stream->duration) * av_q2d(stream->time_base);
    else if (format->duration != AV_NOPTS_VALUE && format->duration > 0)
        seconds = double(format->duration) / AV_TIME_BASE;
    constexpr double kYear = 365.0 * 24 * 3600;
    if (!std::isfinite(seconds) || seconds < 0 || seconds > kYear)
        return -1;
    return std::llround(seconds * kSampleRate);
}

class FfmpegReader : public MediaReader
{
public:
    explicit FfmpegReader(std::string path) : m_path(std::move(path)) {}
    ~FfmpegReader() override
    {
        swr_free(&m_swr);
        av_frame_free(&m_frame);
        av_packet_free(&m_packet);
        avcodec_free_context(&m_codec);
        avformat_close_input(&m_format);
        if (m_io != nullptr)
            av_freep(&m_io->buffer);
        avio_context_free(&m_io);
    }

    // An empty string when the file is open and its decoder ready, else the message.
    std::string open()
    {
        av_log_set_level(AV_LOG_QUIET);
        if (std::string error = openFile(); !error.empty())
            return error;
        if (avformat_find_stream_info(m_format, nullptr) < 0)
            return undecodable("its streams cannot be read");
        const AVCodec* decoder = nullptr;
        m_stream = av_find_best_stream(m_format, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
        if (m_stream < 0 || decoder == nullptr)
            return undecodable("it holds no audio stream that can be decoded");
        const AVCodecParameters* stated = m_format->streams[m_stream]->codecpar;
        if (std::string why = unusable(stated->sample_rate, stated->ch_layout.nb_channels);
            !why.empty())
            return undecodable(why);
        m_codec = avcodec_alloc_context3(decoder);
        m_packet = av_packet_alloc();
        m_frame = av_frame_alloc();
        if (m_codec == nullptr || m_packet == nullptr || m_frame == nullptr)
            return undecodable("out of memory");
        m_statedFrames = statedLength(m_format, m_format->streams[m_stream]);
        if (avcodec_parameters_to_context(m_codec, m_format->streams[m_stream]->codecpar) < 0 ||
            avcodec_open2(m_codec, decoder, nullptr) < 0)
            return undecodable("its audio decoder cannot be opened");
        // The decoder may state other values than the stream did: checked again.
        return openResampler(m_codec->ch_layout, m_codec->sample_fmt, m_codec->sample_rate);
    }

    bool read(std::vector<int16_t>& samples, std::string& error) override
    {
        while (!m_ended)
        {
            const int got = avcodec_receive_frame(m_codec, m_frame);
            if (got == 0)
            {
                const bool ok = convert(m_frame, samples, error);
                av_frame_unref(m_frame);
                return ok;
            }
            if (got == AVERROR_EOF)
                return drainResampler(samples, error);
            if (got != AVERROR(EAGAIN))
                return fail(error, got);
            if (m_flushed) // a decoder that wants more after the end has nothing more
                return drainResampler(samples, error);
            if (const int fed = feedDecoder(); fed < 0)
                return fail(error, fed);
        }
        return true;
    }

    int64_t statedFrames() const override { return m_statedFrames; }

private:
    // Opens the file itself: only a regular file, never waiting on a FIFO or a device. FFmpeg
    // reads it through our own calls, and any other file a format would open (a playlist's
    // entries, a movie's references) is refused, so nothing is read from elsewhere and no name
    // is taken for a network address.
    std::string openFile()
    {
        platform::OpenedFile opened = platform::openRegularFile(m_path.c_str(), UINT64_MAX);
        if (!opened.file)
            return "The file \"" + m_path +
                   "\" cannot be opened: " + platform::refusalText(opened, UINT64_MAX) + ".";
        m_file = std::move(opened.file);
        m_size = int64_t(opened.size);
        auto* buffer = static_cast<uint8_t*>(av_malloc(kIoBytes));
        m_io = buffer ? avio_alloc_context(buffer, kIoBytes, 0, this, &readFile, nullptr, &seekFile)
                      : nullptr;
        m_format = avformat_alloc_context();
        if (m_io == nullptr || m_format == nullptr)
        {
            if (m_io == nullptr)
                av_free(buffer);
            return undecodable("out of memory");
        }
        m_format->pb = m_io;
        m_format->io_open = [](AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**)
        { return AVERROR(EPERM); };
        // On failure the context is freed (and set to null); the reading context stays ours.
        if (avformat_open_input(&m_format, m_path.c_str(), nullptr, nullptr) < 0)
            return "The file \"" + m_path + "\" cannot be opened as a media file.";
        return {};
    }

    static int readFile(void* opaque, uint8_t* buffer, int size)
    {
        std::FILE* f = static_cast<FfmpegReader*>(opaque)->m_file.get();
        const size_t got = std::fread(buffer, 1, size_t(size), f);
        if (got > 0)
            return int(got);
        return std::ferror(f) ? AVERROR(EIO) : AVERROR_EOF;
    }

    static int64_t seekFile(void* opaque, int64_t offset, int whence)
    {
        auto* self = static_cast<FfmpegReader*>(opaque);
        if (whence & AVSEEK_SIZE)
            return self->m_size;
        if (std::fseek(self->m_file.get(), long(offset), whence & ~AVSEEK_FORCE) != 0)
            return AVERROR(EIO);
        return std::ftell(self->m_file.get());
    }

    // Why a stream of this rate and channel count cannot be captured, or an empty string.
    static std::string unusable(int rate, int channels)
    {
        if (rate < 1 || rate > kMaxRate)
            return "its sample rate of " + std::to_string(rate) + " Hz is outside 1 Hz to 768 kHz";
        if (channels < 1 || channels > kMaxChannels)
            return "it has " + std::to_string(channels) + " channels, not 1 to 64";
        return {};
    }

    std::string undecodable(const std::string& why) const
    {
        return "The file \"" + m_path + "\" cannot be decoded: " + why + ".";
    }
    bool fail(std::string& error, int code)
    {
        error = undecodable(avError(code));
        return false;
    }

    // Sets the resampler up for samples of this layout, format and rate, checked first.
    std::string openResampler(const AVChannelLayout& layout, int format, int rate)
    {
        if (std::string why = unusable(rate, layout.nb_channels); !why.empty())
            return undecodable(why);
        AVChannelLayout in{};
        if (layout.order == AV_CHANNEL_ORDER_UNSPEC)
            av_channel_layout_default(&in, layout.nb_channels);
        else if (av_channel_layout_copy(&in, &layout) < 0)
            return undecodable("out of memory");
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        swr_free(&m_swr);
        const int rc = swr_alloc_set_opts2(&m_swr, &stereo, AV_SAMPLE_FMT_S16, kSampleRate, &in,
                                           AVSampleFormat(format), rate, 0, nullptr);
        av_channel_layout_uninit(&in);
        if (rc < 0 || swr_init(m_swr) < 0)
            return undecodable("its sample format cannot be converted");
        m_rate = rate;
        m_channels = layout.nb_channels;
        m_sampleFormat = format;
        return {};
    }

    // Hands the decoder the next packet of our stream, or the end of the file.
    int feedDecoder()
    {
        for (;;)
        {
            const int rc = av_read_frame(m_format, m_packet);
            if (rc < 0) // the end of the file, or a read error that ends it as players do
            {
                m_flushed = true;
                avcodec_send_packet(m_codec, nullptr);
                return 0;
            }
            if (m_packet->stream_index != m_stream)
            {
                av_packet_unref(m_packet);
                continue;
            }
            const int sent = avcodec_send_packet(m_codec, m_packet);
            av_packet_unref(m_packet);
            // A damaged packet is skipped, as players do; the next one decodes again.
            return sent == AVERROR_INVALIDDATA ? 0 : sent;
        }
    }

    bool convert(const AVFrame* frame, std::vector<int16_t>& samples, std::string& error)
    {
        // The resampler reads a frame as it was set up for: one with other channels, another
        // rate or another sample format (a stream that changes, a decoder that doubles the
        // stated rate) gets a resampler of its own, checked like the first.
        if (frame && (frame->sample_rate != m_rate || frame->ch_layout.nb_channels != m_channels ||
                      frame->format != m_sampleFormat))
            if (error = openResampler(frame->ch_layout, frame->format, frame->sample_rate);
                !error.empty())
                return false;
        const int room = swr_get_out_samples(m_swr, frame ? frame->nb_samples : 0);
        if (room < 0)
            return fail(error, room);
        const size_t before = samples.size();
        samples.resize(before + size_t(room) * 2);
        auto* out = reinterpret_cast<uint8_t*>(samples.data() + before);
        const int made = frame ? swr_convert(m_swr, &out, room,
                                             const_cast<const uint8_t**>(frame->extended_data),
                                             frame->nb_samples)
                               : swr_convert(m_swr, &out, room, nullptr, 0);
        if (made < 0)
        {
            samples.resize(before);
            return fail(error, made);
        }
        samples.resize(before + size_t(made) * 2);
        return true;
    }

    bool drainResampler(std::vector<int16_t>& samples, std::string& error)
    {
        m_ended = true;
        return convert(nullptr, samples, error);
    }

    std::string m_path;
    FilePtr m_file;
    int64_t m_size = 0;
    AVIOContext* m_io = nullptr;
    AVFormatContext* m_format = nullptr;
    AVCodecContext* m_codec = nullptr;
    AVPacket* m_packet = nullptr;
    AVFrame* m_frame = nullptr;
    SwrContext* m_swr = nullptr;
    int m_stream = -1;
    int m_rate = 0;
    int m_channels = 0;
    int m_sampleFormat = -1;
    int64_t m_statedFrames = -1;
    bool m_flushed = false;
    bool m_ended = false;
};

} // namespace

MediaOpenResult openFileWithFfmpeg(const std::string& path)
{
    auto reader = std::make_unique<FfmpegReader>(path);
    if (std::string error = reader->open(); !error.empty())
        return {nullptr, std::move(error)};
    return {std::move(reader), {}};
}

} // namespace platform::media
