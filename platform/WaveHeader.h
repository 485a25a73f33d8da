// The canonical 44-byte header of the wave files Vumo writes (16-bit stereo PCM at 44100 frames
// per second, a 16-byte "fmt " chunk directly followed by "data"), its writer and a reader of
// its fields, with the little-endian byte helpers and the chunk walk's pad-byte rule. Header-only:
// the engine, the device layer, the studio, the tools, the benchmarks and the tests all write and
// read headers through it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace platform
{

constexpr size_t kWaveHeaderBytes = 44;
// The most frames a header can declare: the RIFF size field counts 36 header bytes plus the
// data and is 32 bits wide.
constexpr uint32_t kWaveHeaderMaxFrames = (0xFFFFFFFFu - 36) / 4;
// The longest track a project can have: 256 MB of 262144 frames each.
constexpr uint32_t kLongestTrackFrames = 256u * 262144u;
// The largest wave file any track can take: the longest track's frames behind the canonical
// header, and 1 MiB of room for the chunks other programs put before the samples (text,
// markers). Readers refuse larger files before reading a byte of them.
constexpr uint64_t kMaxTrackFileBytes =
    kWaveHeaderBytes + 4 * uint64_t(kLongestTrackFrames) + (uint64_t(1) << 20);

inline void writeLe16(uint8_t* p, int16_t v)
{
    const auto u = uint16_t(v);
    p[0] = uint8_t(u & 0xFF);
    p[1] = uint8_t(u >> 8);
}

inline void writeLe32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

inline int16_t readLe16(const uint8_t* p)
{
    return int16_t(uint16_t(p[0] | (p[1] << 8)));
}

inline uint32_t readLe32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// A wave file starts with "RIFF", the RIFF size and "WAVE" (12 bytes).
inline bool isRiffWave(const uint8_t* head)
{
    return std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0;
}

// The bytes a chunk's body of `size` takes in the file: RIFF follows an odd size with a pad
// byte, which files from other tools (a 5-byte "LIST" chunk, say) have.
constexpr uint64_t paddedChunkBytes(uint32_t size)
{
    return uint64_t(size) + (size & 1u);
}

// Four bytes that can name a chunk: printable ASCII characters, spaces only at the end
// ("data", "LIST", "fmt ", "_PMX").
inline bool isChunkId(const uint8_t* p)
{
    bool space = false;
    for (int i = 0; i < 4; ++i)
    {
        const bool visible = p[i] > ' ' && p[i] < 0x7F;
        if ((!visible && p[i] != ' ') || (visible && space) || (i == 0 && !visible))
            return false;
        space = p[i] == ' ';
    }
    return true;
}

// The pad byte (0 or 1) that follows the body of a chunk of `size` bytes. RIFF pads an odd
// size, but some writers leave the pad out, so both places are read: `after` holds the
// `count` bytes that follow the body (5 show both places). The pad is skipped unless only the
// unpadded place holds a chunk id, or the unpadded place holds "data" (a pad byte and the
// following id cannot spell it in practice).
inline uint32_t padBytes(uint32_t size, const uint8_t* after, size_t count)
{
    if ((size & 1u) == 0)
        return 0;
    const bool unpadded = count >= 4 && isChunkId(after);
    const bool padded = count >= 5 && isChunkId(after + 1);
    if (unpadded && (!padded || std::memcmp(after, "data", 4) == 0))
        return 0;
    return 1;
}

// Fills h[0 ... 43]: "RIFF" (size 36 + data), "WAVE", a 16-byte PCM "fmt " chunk (2 channels,
// 44100 frames per second, 176400 bytes per second, 4 bytes per frame, 16 bits) and the head of
// a "data" chunk of 4 * frames bytes. frames above kWaveHeaderMaxFrames are taken as that.
inline void fillWaveHeader(uint8_t* h, uint32_t frames)
{
    const uint32_t dataBytes = 4 * (frames < kWaveHeaderMaxFrames ? frames : kWaveHeaderMaxFrames);
    std::memcpy(h, "RIFF", 4);
    writeLe32(h + 4, 36 + dataBytes);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    writeLe32(h + 16, 16);
    writeLe16(h + 20, 1);      // PCM
    writeLe16(h + 22, 2);      // channels
    writeLe32(h + 24, 44100);  // frames per second
    writeLe32(h + 28, 176400); // bytes per second
    writeLe16(h + 32, 4);      // bytes per frame
    writeLe16(h + 34, 16);     // bits per sample
    std::memcpy(h + 36, "data", 4);
    writeLe32(h + 40, dataBytes);
}

inline std::array<uint8_t, kWaveHeaderBytes> waveHeader(uint32_t frames)
{
    std::array<uint8_t, kWaveHeaderBytes> h{};
    fillWaveHeader(h.data(), frames);
    return h;
}

// The fields of a 44-byte header read at the canonical places, whatever they hold.
struct WaveHeaderFields
{
    bool ids = false; // "RIFF", "WAVE", "fmt " and "data" are where they belong
    uint32_t riffSize = 0;
    uint32_t fmtSize = 0;
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t rate = 0;
    uint32_t byteRate = 0;
    uint16_t blockAlign = 0;
    uint16_t bits = 0;
    uint32_t dataBytes = 0;

    // Every byte but the two size fields is the canonical header's.
    bool isCanonical() const
    {
        return ids && fmtSize == 16 && formatTag == 1 && channels == 2 && rate == 44100 &&
               byteRate == 176400 && blockAlign == 4 && bits == 16;
    }
};

inline WaveHeaderFields readWaveHeader(const uint8_t* h)
{
    WaveHeaderFields f;
    f.ids = std::memcmp(h, "RIFF", 4) == 0 && std::memcmp(h + 8, "WAVEfmt ", 8) == 0 &&
            std::memcmp(h + 36, "data", 4) == 0;
    f.riffSize = readLe32(h + 4);
    f.fmtSize = readLe32(h + 16);
    f.formatTag = uint16_t(readLe16(h + 20));
    f.channels = uint16_t(readLe16(h + 22));
    f.rate = readLe32(h + 24);
    f.byteRate = readLe32(h + 28);
    f.blockAlign = uint16_t(readLe16(h + 32));
    f.bits = uint16_t(readLe16(h + 34));
    f.dataBytes = readLe32(h + 40);
    return f;
}

} // namespace platform
