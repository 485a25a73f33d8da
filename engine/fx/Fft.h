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
// one-sided spectrum, each through a radix-2 decimation-in-time transform of half the size.
// Spectra are kept as separate real and imaginary arrays of bins() values. The tables are
// built once by the constructor; the transforms themselves allocate nothing.
//
// Every butterfly of the half-size transform takes t = b w (t.re = b.re w.re - b.im w.im,
// t.im = b.re w.im + b.im w.re) and gives a + t and a - t, w = e^(-/+ i pi j / h) rounded to
// float, whatever order the values are stored in between passes: the first passes keep the
// data in the order that makes their runs of equal factors long, the later ones in place.
class RealFft
{
public:
    explicit RealFft(int32_t size); // a power of two, 4 or more

    int32_t size() const { return m_size; }
    int32_t bins() const { return m_half + 1; } // bins 0 ... size/2

    // Bins 0 ... size/2 of samples[0 .. size) into re and im: the same bins as
    // fftInPlace(sign -1) of the samples with zero imaginary parts. The samples come as their
    // even-numbered values and their odd-numbered ones (size/2 each).
    void forward(const float* evenSamples, const float* oddSamples, float* re, float* im);
    // The real part of the unscaled inverse transform (sign +1) of bins 0 ... size/2, every
    // bin above size/2 taken as zero: its even-numbered samples into evenSamples, its
    // odd-numbered ones into oddSamples (size/2 each).
    void inverseRealPart(const float* re, const float* im, float* evenSamples, float* oddSamples);

private:
    struct Values
    {
        float* re;
        float* im;
    };
    // The complex transform of inRe + i inIm (size/2 values in natural order; the input may
    // be one of the two buffers and is then overwritten), forward or inverse; returns where
    // the result lies in natural order (one of the two buffers).
    Values halfTransform(const float* inRe, const float* inIm, bool inverse);

    int32_t m_size;
    int32_t m_half;
    int32_t m_reorderSpan; // passes below this half-span keep their runs of equal factors long
    std::vector<uint32_t> m_reorder; // where each value goes when the in-place passes begin
    std::vector<float> m_passRe;     // e^(-i pi j / h) of the pass with half-span h, from h - 1
    std::vector<float> m_passIm;
    std::vector<float> m_passImInverse; // the same imaginary parts negated
    std::vector<float> m_splitRe;       // e^(-2 pi i k / size), k = 0 ... size/2 - 1
    std::vector<float> m_splitIm;
    std::vector<float> m_re; // size/2 complex values being transformed
    std::vector<float> m_im;
    std::vector<float> m_otherRe; // the second buffer of the passes that move values
    std::vector<float> m_otherIm;
};

} // namespace wavorn::fx
