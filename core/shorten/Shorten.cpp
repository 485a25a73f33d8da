// Shorten: encoder and decoder of version 2 streams of signed 16-bit little-endian samples.
#include "Shorten.h"

#include "ShortenBits.h"
#include "platform/WaveHeader.h"
#include "platform/files/RegularFile.h"
#include "platform/files/RiffWalker.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vumo::cab
{
namespace
{

constexpr uint8_t kMagic[4] = {'a', 'j', 'k', 'g'};
constexpr int kVersion = 2;
constexpr uint32_t kTypeS16LH = 5; // signed 16-bit, least significant byte first
constexpr uint32_t kBlockFrames = 256;
constexpr uint32_t kMaxBlockFrames = 65535;
constexpr uint32_t kMaxChannels = 8;
constexpr uint32_t kMaxLpcOrder = 32;
constexpr uint32_t kMaxMeanBlocks = 32;
constexpr int kWrap = 3; // history samples the fixed predictors look back on

// Commands, each written as an unsigned value with 2 low bits.
enum Command : uint32_t
{
    Diff0 = 0,
    Diff1 = 1,
    Diff2 = 2,
    Diff3 = 3,
    Quit = 4,
    BlockSize = 5,
    BitShift = 6,
    Qlpc = 7,
    Zero = 8,
    Verbatim = 9,
};
constexpr int kCommandBits = 2;
constexpr int kEnergyBits = 3;
constexpr int kLpcOrderBits = 2;
constexpr int kLpcQuant = 5;
constexpr int kBitShiftBits = 2;
constexpr int kVerbatimLengthBits = 5;
constexpr int kVerbatimByteBits = 8;
// Decoders keep the first verbatim chunk (the wave header) in a buffer of this size.
constexpr size_t kMaxVerbatimChunk = 16383;

uint16_t le16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

// Where a wave file's samples lie: the header before them and the bytes after them travel
// verbatim.
struct WaveLayout
{
    size_t dataStart = 0;
    uint64_t dataBytes = 0; // whole frames only; a partial frame travels with the trailer
    uint32_t channels = 0;
};

// Finds the samples in f, the head of a file of fileSize bytes (all of it, or as much as holds
// the header).
bool parseWave(std::span<const uint8_t> f, uint64_t fileSize, WaveLayout& layout,
               std::string& error)
{
    if (f.size() < 12 || std::memcmp(f.data(), "RIFF", 4) != 0 ||
        std::memcmp(f.data() + 8, "WAVE", 4) != 0)
    {
        error = "not a wave file";
        return false;
    }
    bool haveFormat = false;
    platform::RiffWalker walk(f, fileSize, 12);
    while (const auto chunk = walk.next())
    {
        const uint8_t* head = f.data() + (chunk->offset - 8); // the chunk header, then its body
        if (chunk->is("fmt "))
        {
            if (chunk->size < 16 || chunk->offset + 16 > f.size())
            {
                error = "the wave file's format chunk is cut short";
                return false;
            }
            const uint16_t tag = le16(head + 8);
            layout.channels = le16(head + 10);
            const uint16_t bits = le16(head + 22);
            if (tag != 1 || bits != 16 || layout.channels < 1 || layout.channels > 2)
            {
                error = "the wave file does not hold 16-bit PCM samples in one or two channels";
                return false;
            }
            haveFormat = true;
        }
        else if (chunk->is("data"))
        {
            if (!haveFormat)
                break;
            layout.dataStart = size_t(chunk->offset);
            const uint64_t frameBytes = 2 * layout.channels;
            layout.dataBytes = chunk->bytesInFile / frameBytes * frameBytes;
            return true;
        }
    }
    error = "the wave file has no sample data";
    return false;
}

void putVerbatim(BitWriter& bits, std::span<const uint8_t> bytes)
{
    while (!bytes.empty())
    {
        const size_t n = std::min(bytes.size(), kMaxVerbatimChunk);
        bits.putUnsigned(Verbatim, kCommandBits);
        bits.putUnsigned(uint32_t(n), kVerbatimLengthBits);
        for (size_t i = 0; i < n; ++i)
            bits.putUnsigned(bytes[i], kVerbatimByteBits);
        bytes = bytes.subspan(n);
    }
}

// Residual bits of one block with Rice parameter p (low bits of the folded value).
uint64_t riceCost(const int32_t* folded, int n, int p)
{
    uint64_t cost = uint64_t(n) * uint64_t(p + 1);
    for (int i = 0; i < n; ++i)
        cost += uint32_t(folded[i]) >> p;
    return cost;
}

// Codes one channel of a block. x points at the block's samples with kWrap samples of history
// before it.
void encodeChannel(BitWriter& bits, const int32_t* x, int n)
{
    std::array<uint64_t, 4> sums{};
    bool silent = true;
    for (int i = 0; i < n; ++i)
    {
        const int32_t e0 = x[i];
        const int32_t e1 = e0 - x[i - 1];
        const int32_t e2 = e1 - (x[i - 1] - x[i - 2]);
        const int32_t e3 = e2 - (x[i - 1] - 2 * x[i - 2] + x[i - 3]);
        sums[0] += uint32_t(e0 < 0 ? -e0 : e0);
        sums[1] += uint32_t(e1 < 0 ? -e1 : e1);
        sums[2] += uint32_t(e2 < 0 ? -e2 : e2);
        sums[3] += uint32_t(e3 < 0 ? -e3 : e3);
        silent = silent && e0 == 0;
    }
    if (silent)
    {
        bits.putUnsigned(Zero, kCommandBits);
        return;
    }
    const int order = int(std::min_element(sums.begin(), sums.end()) - sums.begin());
    std::array<int32_t, kBlockFrames> folded;
    for (int i = 0; i < n; ++i)
    {
        int32_t e = x[i];
        if (order >= 1)
            e -= x[i - 1];
        if (order >= 2)
            e -= x[i - 1] - x[i - 2];
        if (order >= 3)
            e -= x[i - 1] - 2 * x[i - 2] + x[i - 3];
        folded[i] = int32_t((uint32_t(e) << 1) ^ uint32_t(e >> 31));
    }
    // The Rice parameter near log2 of the mean folded value, then the cheapest of its
    // neighbours; the energy field is that parameter less one.
    const uint64_t mean = (2 * sums[order] + uint64_t(n) / 2) / uint64_t(n);
    int best = std::max(1, mean == 0 ? 1 : int(std::bit_width(mean)) - 1);
    uint64_t bestCost = riceCost(folded.data(), n, best);
    for (int p : {best - 1, best + 1})
    {
        if (p < 1 || p > 24)
            continue;
        const uint64_t cost = riceCost(folded.data(), n, p);
        if (cost < bestCost)
            bestCost = cost, best = p;
    }
    bits.putUnsigned(uint32_t(order), kCommandBits);
    bits.putUnsigned(uint32_t(best - 1), kEnergyBits);
    for (int i = 0; i < n; ++i)
        bits.putUnsigned(uint32_t(folded[i]), best);
}

} // namespace

bool shortenEncode(std::span<const uint8_t> waveFile, std::vector<uint8_t>& stream,
                   std::string& error, const ShortenProgress& progress)
{
    WaveLayout layout;
    if (!parseWave(waveFile, waveFile.size(), layout, error))
        return false;
    stream.clear();
    stream.reserve(waveFile.size() / 2 + 64);
    stream.insert(stream.end(), kMagic, kMagic + 4);
    stream.push_back(kVersion);
    BitWriter bits(stream);
    const uint32_t channels = layout.channels;
    bits.putLong(kTypeS16LH);
    bits.putLong(channels);
    bits.putLong(kBlockFrames);
    bits.putLong(0); // no LPC: the fixed predictors only
    bits.putLong(0); // no running mean
    bits.putLong(0); // no bytes to skip
    putVerbatim(bits, waveFile.first(layout.dataStart));

    const uint8_t* data = waveFile.data() + layout.dataStart;
    const size_t frames = size_t(layout.dataBytes / (2 * channels));
    // Per channel: kWrap history samples, then the block.
    std::vector<std::array<int32_t, kWrap + kBlockFrames>> work(channels);
    for (auto& w : work)
        w.fill(0);
    uint32_t blockFrames = kBlockFrames;
    for (size_t first = 0; first < frames; first += blockFrames)
    {
        const uint32_t n = uint32_t(std::min<size_t>(kBlockFrames, frames - first));
        if (n != blockFrames)
        {
            bits.putUnsigned(BlockSize, kCommandBits);
            bits.putLong(n);
            blockFrames = n;
        }
        for (uint32_t c = 0; c < channels; ++c)
        {
            int32_t* x = work[c].data() + kWrap;
            const uint8_t* p = data + (first * channels + c) * 2;
            for (uint32_t i = 0; i < n; ++i, p += 2 * channels)
                x[i] = int16_t(le16(p));
            encodeChannel(bits, x, int(n));
            for (int h = 0; h < kWrap; ++h) // the last samples become the next history
                x[h - kWrap] = x[int(n) + h - kWrap];
        }
        if (progress && (first / kBlockFrames) % 4096 == 0)
            progress(double(first) / double(frames));
    }
    putVerbatim(bits, waveFile.subspan(layout.dataStart + size_t(layout.dataBytes)));
    bits.putUnsigned(Quit, kCommandBits);
    bits.flush();
    if (progress)
        progress(1.0);
    return true;
}

namespace
{

// The state of a stream being decoded, as its header and commands set it.
class Decoder
{
public:
    Decoder(std::span<const uint8_t> stream, const ShortenSink& out, const DecodeLimits& limits)
        : m_stream(stream), m_bits(stream.subspan(std::min<size_t>(5, stream.size()))), m_out(out),
          m_limits(limits)
    {
    }

    bool run(std::string& error, const ShortenProgress& progress);

private:
    bool readHeader(std::string& error);
    bool decodeChannel(uint32_t command, uint32_t c);
    bool emitBlock(std::string& error);
    bool emitVerbatim(uint32_t length, std::string& error);
    bool output(const uint8_t* data, size_t size, std::string& error);
    int32_t channelOffset(uint32_t c) const;

    std::span<const uint8_t> m_stream;
    BitReader m_bits;
    const ShortenSink& m_out;
    DecodeLimits m_limits;
    uint64_t m_frames = 0; // frames given so far
    uint64_t m_bytes = 0;  // bytes given so far
    std::vector<uint8_t> m_buffer;
    uint32_t m_channels = 0;
    uint32_t m_blockFrames = kBlockFrames;
    uint32_t m_lpcOrder = 0;
    uint32_t m_meanBlocks = 0;
    int m_wrap = kWrap;
    uint32_t m_bitShift = 0;
    std::vector<std::vector<int32_t>> m_samples; // per channel: m_wrap history, then the block
    std::vector<std::vector<int32_t>> m_means;   // per channel: the last block means
    std::vector<int32_t> m_coeffs;
};

bool Decoder::readHeader(std::string& error)
{
    if (m_stream.size() < 5 || std::memcmp(m_stream.data(), kMagic, 4) != 0)
    {
        error = "not a Shorten stream";
        return false;
    }
    if (m_stream[4] != kVersion)
    {
        error = "Shorten version " + std::to_string(m_stream[4]) + " streams are not supported";
        return false;
    }
    const uint32_t type = m_bits.getLong();
    m_channels = m_bits.getLong();
    m_blockFrames = m_bits.getLong();
    m_lpcOrder = m_bits.getLong();
    m_meanBlocks = m_bits.getLong();
    const uint32_t skip = m_bits.getLong();
    for (uint32_t i = 0; i < skip && !m_bits.failed(); ++i)
        m_bits.get(8);
    if (m_bits.failed())
    {
        error = "the Shorten stream's header is cut short";
        return false;
    }
    if (type != kTypeS16LH)
    {
        error = "the Shorten stream does not hold signed 16-bit little-endian samples";
        return false;
    }
    if (m_channels < 1 || m_channels > kMaxChannels || m_blockFrames < 1 ||
        m_blockFrames > kMaxBlockFrames || m_lpcOrder > kMaxLpcOrder ||
        m_meanBlocks > kMaxMeanBlocks)
    {
        error = "the Shorten stream's header is corrupt";
        return false;
    }
    m_wrap = std::max<int>(kWrap, int(m_lpcOrder));
    m_samples.assign(m_channels, std::vector<int32_t>(size_t(m_wrap) + m_blockFrames, 0));
    m_means.assign(m_channels, std::vector<int32_t>(std::max<uint32_t>(1, m_meanBlocks), 0));
    m_coeffs.assign(size_t(m_wrap), 0);
    return true;
}

// The offset the predictors work around: the rounded mean of the last blocks' means.
int32_t Decoder::channelOffset(uint32_t c) const
{
    if (m_meanBlocks == 0)
        return m_means[c][0];
    int64_t sum = m_meanBlocks / 2;
    for (uint32_t i = 0; i < m_meanBlocks; ++i)
        sum += m_means[c][i];
    const int32_t offset = int32_t(sum / int64_t(m_meanBlocks));
    return m_bitShift == 0 ? offset : offset >> m_bitShift;
}

bool Decoder::decodeChannel(uint32_t command, uint32_t c)
{
    int32_t* x = m_samples[c].data() + m_wrap;
    const uint32_t n = m_blockFrames;
    const int32_t offset = channelOffset(c);
    if (command == Zero)
    {
        std::fill(x, x + n, 0);
    }
    else
    {
        const int energy = int(m_bits.getUnsigned(kEnergyBits));
        if (energy > 30)
            return false;
        static constexpr int32_t kFixed[4][3] = {{0, 0, 0}, {1, 0, 0}, {2, -1, 0}, {3, -3, 1}};
        const int32_t* coeffs = command == Qlpc ? m_coeffs.data() : kFixed[command];
        int order = int(command);
        int shift = 0;
        int32_t after = 0; // added to every sample once predicted
        if (command == Qlpc)
        {
            order = int(m_bits.getUnsigned(kLpcOrderBits));
            if (order > m_wrap)
                return false;
            for (int j = 0; j < order; ++j)
                m_coeffs[size_t(j)] = m_bits.getSigned(kLpcQuant);
            shift = kLpcQuant;
            after = offset;
            for (int j = -order; j < 0; ++j)
                x[j] -= offset;
        }
        // Without a predictor the offset is the prediction; the quantised predictor rounds.
        const int64_t base = order == 0 ? offset : command == Qlpc ? int64_t(1) << kLpcQuant : 0;
        for (uint32_t i = 0; i < n; ++i)
        {
            int64_t sum = base;
            for (int j = 0; j < order; ++j)
                sum += int64_t(coeffs[j]) * x[int(i) - j - 1];
            const int64_t v = int64_t(m_bits.getSigned(energy)) + (sum >> shift);
            // Every sample must come out as a 16-bit sample once shifted back.
            const int64_t out = (v + after) * (int64_t(1) << m_bitShift);
            if (out < INT16_MIN || out > INT16_MAX)
                return false;
            x[i] = int32_t(v);
        }
        for (uint32_t i = 0; i < n; ++i)
            x[i] += after;
    }
    if (m_bits.failed())
        return false;
    if (m_meanBlocks > 0)
    {
        int64_t sum = n / 2;
        for (uint32_t i = 0; i < n; ++i)
            sum += x[i];
        auto& means = m_means[c];
        std::rotate(means.begin(), means.begin() + 1, means.end());
        means.back() = int32_t(sum / int64_t(n)) * (1 << m_bitShift);
    }
    for (int j = -m_wrap; j < 0; ++j)
        x[j] = x[int(n) + j];
    return true;
}

// Hands bytes to the sink once they are known to stay within the byte limit.
bool Decoder::output(const uint8_t* data, size_t size, std::string& error)
{
    if (size > m_limits.maxBytes - m_bytes)
    {
        error = "the stream decodes to more than " + std::to_string(m_limits.maxBytes) + " bytes" +
                (m_limits.bytesWhy.empty() ? "" : ", " + m_limits.bytesWhy);
        return false;
    }
    m_bytes += size;
    if (!m_out(data, size))
    {
        error.clear(); // the sink's own reason stands
        return false;
    }
    return true;
}

// Interleaves the block's channels into the file, shifted back by the bit shift (each sample
// was checked to fit as it was decoded).
bool Decoder::emitBlock(std::string& error)
{
    if (m_blockFrames > m_limits.maxFrames - m_frames)
    {
        error = "the stream decodes to more than " + std::to_string(m_limits.maxFrames) +
                " sample frames" + (m_limits.framesWhy.empty() ? "" : ", " + m_limits.framesWhy);
        return false;
    }
    m_frames += m_blockFrames;
    m_buffer.resize(size_t(m_blockFrames) * m_channels * 2);
    uint8_t* p = m_buffer.data();
    for (uint32_t i = 0; i < m_blockFrames; ++i)
        for (uint32_t c = 0; c < m_channels; ++c)
        {
            const int32_t v = m_samples[c][size_t(m_wrap) + i] * (1 << m_bitShift);
            *p++ = uint8_t(v);
            *p++ = uint8_t(uint16_t(v) >> 8);
        }
    return output(m_buffer.data(), m_buffer.size(), error);
}

// Copies a verbatim chunk of length bytes through, in pieces: its length is the stream's word.
bool Decoder::emitVerbatim(uint32_t length, std::string& error)
{
    constexpr size_t kPiece = 1 << 16;
    m_buffer.clear();
    for (uint32_t i = 0; i < length; ++i)
    {
        const uint32_t byte = m_bits.getUnsigned(kVerbatimByteBits);
        if (m_bits.failed() || byte > 255)
            return false;
        m_buffer.push_back(uint8_t(byte));
        if (m_buffer.size() == kPiece || i + 1 == length)
        {
            if (!output(m_buffer.data(), m_buffer.size(), error))
                return false;
            m_buffer.clear();
        }
    }
    return true;
}

bool Decoder::run(std::string& error, const ShortenProgress& progress)
{
    if (!readHeader(error))
        return false;
    error = "the Shorten stream is corrupt";
    uint32_t channel = 0;
    uint64_t commands = 0;
    for (;;)
    {
        const uint32_t command = m_bits.getUnsigned(kCommandBits);
        if (m_bits.failed())
        {
            error = "the Shorten stream is cut short";
            return false;
        }
        if (command <= Diff3 || command == Qlpc || command == Zero)
        {
            if (!decodeChannel(command, channel))
                return false;
            if (++channel == m_channels)
            {
                channel = 0;
                if (!emitBlock(error))
                    return false;
            }
        }
        else if (command == Verbatim)
        {
            if (!emitVerbatim(m_bits.getUnsigned(kVerbatimLengthBits), error))
                return false;
        }
        else if (command == BlockSize)
        {
            const uint32_t frames = m_bits.getLong();
            if (frames < 1 || frames > m_blockFrames || channel != 0)
                return false;
            m_blockFrames = frames;
        }
        else if (command == BitShift)
        {
            m_bitShift = m_bits.getUnsigned(kBitShiftBits);
            if (m_bitShift > 15)
                return false;
        }
        else if (command == Quit)
        {
            if (channel != 0)
            {
                error = "the Shorten stream ends inside a block";
                return false;
            }
            error.clear();
            return true;
        }
        else
        {
            return false;
        }
        if (progress && ++commands % 8192 == 0)
            progress(double(m_bits.bytesRead()) / double(m_stream.size()));
    }
}

} // namespace

bool shortenDecode(std::span<const uint8_t> stream, std::vector<uint8_t>& file, std::string& error,
                   const ShortenProgress& progress)
{
    file.clear();
    const ShortenSink sink = [&file](const uint8_t* data, size_t size)
    {
        file.insert(file.end(), data, data + size);
        return true;
    };
    return shortenDecode(stream, sink, error, {}, progress);
}

bool shortenDecode(std::span<const uint8_t> stream, const ShortenSink& sink, std::string& error,
                   const DecodeLimits& limits, const ShortenProgress& progress)
{
    Decoder decoder(stream, sink, limits);
    return decoder.run(error, progress);
}

bool waveFileFrames(const std::string& path, uint64_t& frames, std::string& error)
{
    const platform::OpenedFile opened = platform::openRegularFile(path.c_str(), kMaxWaveFileBytes);
    if (!opened.file)
    {
        error = "cannot read " + path + ": " + platform::refusalText(opened, kMaxWaveFileBytes);
        return false;
    }
    // The chunks before the samples lie in the file's head.
    std::vector<uint8_t> head(size_t(std::min<uint64_t>(opened.size, 1 << 20)));
    head.resize(std::fread(head.data(), 1, head.size(), opened.file.get()));
    WaveLayout layout;
    if (!parseWave(head, opened.size, layout, error))
    {
        error = path + ": " + error;
        return false;
    }
    frames = layout.dataBytes / (2 * layout.channels);
    return true;
}

} // namespace vumo::cab
