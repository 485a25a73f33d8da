// Little-endian byte helpers and the canonical 44-byte header of 16-bit stereo 44100 wave files.
#pragma once

#include <array>
#include <cstdint>

namespace platform
{

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

// RIFF/WAVE, a 16-byte PCM "fmt " chunk (2 channels, 44100 frames per second, 176400 bytes per
// second, 4 bytes per frame, 16 bits) and a "data" chunk of dataBytes bytes.
inline std::array<uint8_t, 44> canonicalWaveHeader(uint32_t dataBytes)
{
    std::array<uint8_t, 44> h{'R', 'I', 'F', 'F', 0, 0, 0,   0,   'W', 'A', 'V', 'E', 'f', 'm', 't',
                              ' ', 0,   0,   0,   0, 0, 0,   0,   0,   0,   0,   0,   0,   0,   0,
                              0,   0,   0,   0,   0, 0, 'd', 'a', 't', 'a', 0,   0,   0,   0};
    writeLe32(&h[4], 36 + dataBytes);
    writeLe32(&h[16], 16);
    writeLe16(&h[20], 1);      // PCM
    writeLe16(&h[22], 2);      // channels
    writeLe32(&h[24], 44100);  // frames per second
    writeLe32(&h[28], 176400); // bytes per second
    writeLe16(&h[32], 4);      // bytes per frame
    writeLe16(&h[34], 16);     // bits per sample
    writeLe32(&h[40], dataBytes);
    return h;
}

} // namespace platform
