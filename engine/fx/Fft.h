// The transforms of the spectral engine: a plain in-place radix-2 FFT, and the real-signal
// transforms of one fixed frame size that the phase vocoder runs every hop.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace wavorn::fx
{

// fftInPlace: transforms n complex values stored as interleaved float pairs (real, imaginary)
// in data[0 .. 2n). sign -1 gives the forward transform, +1 the inverse; neither direction is
// scaled. n must be a power of two; data must hold at least 2n floats. The twiddle factor of
// every pass starts at (1, 0) and advances by complex multiplication with one fixed rotation.
void fftInPlace(std::span<float> data, int32_t n, int32_t sign);

// RealFft: the forward transform of `size` real samples and the real part of the inverse of a
// one-sided spectrum, each through a complex transform of half the size. The tables are built
// once by the constructor; the transforms themselves allocate nothing.
class RealFft
{
public:
    explicit RealFft(int32_t size); // a power of two, 4 or more

    int32_t size() const { return m_size; }

    // spectrum[0 .. size + 2) takes bins 0 ... size/2 as interleaved complex values: the same
    // bins as fftInPlace(sign -1) of the samples with zero imaginary parts.
    void forward(std::span<const float> samples, std::span<float> spectrum);
    // samples[0 .. size) take the real part of the unscaled inverse transform (sign +1) of
    // bins 0 ... size/2 of spectrum, every bin above size/2 taken as zero.
    void inverseRealPart(std::span<const float> spectrum, std::span<float> samples);

private:
    void halfTransform(int32_t sign); // complex transform of m_work, size/2 values

    int32_t m_size;
    int32_t m_half;
    std::vector<uint32_t> m_bitReverse; // pairs to exchange before the butterflies
    std::vector<float> m_passRe;        // twiddle factors of every pass, forward direction
    std::vector<float> m_passIm;
    std::vector<float> m_splitRe; // e^(-2 pi i k / size), k = 0 ... size/2 - 1
    std::vector<float> m_splitIm;
    std::vector<float> m_work; // size floats: size/2 complex values
};

} // namespace wavorn::fx
