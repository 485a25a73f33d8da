// FfmpegReader: decodes the first audio stream of a media file with FFmpeg's libraries and
// converts it to 16-bit stereo at 44100 Hz.
#include "MediaReader.h"

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

std::string avError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
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
    }

    // An empty string when the file is open and its decoder ready, else the message.
    std::string open()
    {
        av_log_set_level(AV_LOG_QUIET);
        // Always a local file: a name with a colon is not taken for a protocol, and no demuxer
        // may follow a playlist's links to the network or to other programs.
        AVDictionary* options = nullptr;
        av_dict_set(&options, "protocol_whitelist", "file", 0);
        const int rc =
            avformat_open_input(&m_format, ("file:" + m_path).c_str(), nullptr, &options);
        av_dict_free(&options);
        if (rc < 0)
            return "The file \"" + m_path + "\" cannot be opened as a media file.";
        if (avformat_find_stream_info(m_format, nullptr) < 0)
            return undecodable("its streams cannot be read");
        const AVCodec* decoder = nullptr;
        m_stream = av_find_best_stream(m_format, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
        if (m_stream < 0 || decoder == nullptr)
            return undecodable("it holds no audio stream that can be decoded");
        m_codec = avcodec_alloc_context3(decoder);
        m_packet = av_packet_alloc();
        m_frame = av_frame_alloc();
        if (m_codec == nullptr || m_packet == nullptr || m_frame == nullptr)
            return undecodable("out of memory");
        if (avcodec_parameters_to_context(m_codec, m_format->streams[m_stream]->codecpar) < 0 ||
            avcodec_open2(m_codec, decoder, nullptr) < 0)
            return undecodable("its audio decoder cannot be opened");
        return openResampler();
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

private:
    std::string undecodable(const std::string& why) const
    {
        return "The file \"" + m_path + "\" cannot be decoded: " + why + ".";
    }
    bool fail(std::string& error, int code)
    {
        error = undecodable(avError(code));
        return false;
    }

    std::string openResampler()
    {
        AVChannelLayout in{};
        if (m_codec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
            av_channel_layout_default(&in, m_codec->ch_layout.nb_channels);
        else if (av_channel_layout_copy(&in, &m_codec->ch_layout) < 0)
            return undecodable("out of memory");
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        const int rc = swr_alloc_set_opts2(&m_swr, &stereo, AV_SAMPLE_FMT_S16, kSampleRate, &in,
                                           m_codec->sample_fmt, m_codec->sample_rate, 0, nullptr);
        av_channel_layout_uninit(&in);
        if (rc < 0 || m_codec->sample_rate <= 0 || swr_init(m_swr) < 0)
            return undecodable("its sample format cannot be converted");
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
    AVFormatContext* m_format = nullptr;
    AVCodecContext* m_codec = nullptr;
    AVPacket* m_packet = nullptr;
    AVFrame* m_frame = nullptr;
    SwrContext* m_swr = nullptr;
    int m_stream = -1;
    bool m_flushed = false;
    bool m_ended = false;
};

} // namespace

MediaOpenResult openFfmpegFile(const std::string& path)
{
    auto reader = std::make_unique<FfmpegReader>(path);
    if (std::string error = reader->open(); !error.empty())
        return {nullptr, std::move(error)};
    return {std::move(reader), {}};
}

} // namespace platform::media
