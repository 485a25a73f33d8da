// The transforms of the spectral engine: the in-place radix-2 FFT and the fixed-size real
// transforms of the phase vocoder.
#include "Fft.h"

#include <cassert>
#include <cmath>
#include <numbers>
#include <utility>

namespace wavorn::fx
{

namespace
{

int32_t log2Of(int32_t n)
{
    int32_t bits = 0;
    while ((int32_t{1} << bits) < n)
        ++bits;
    return bits;
}

uint32_t reverseBits(uint32_t value, int32_t bits)
{
    uint32_t reversed = 0;
    for (int32_t b = 0; b < bits; ++b)
    {
        reversed = (reversed << 1) | (value & 1u);
        value >>= 1;
    }
    return reversed;
}

} // namespace

void fftInPlace(std::span<float> data, int32_t n, int32_t sign)
{
    if (n < 2 || size_t(n) * 2 > data.size())
        return;
    const int32_t bits = log2Of(n);
    // Bit-reversal permutation of the n complex entries.
    for (int32_t i = 1; i < n - 1; ++i)
    {
        const auto j = int32_t(reverseBits(uint32_t(i), bits));
        if (i < j)
        {
            std::swap(data[2 * i], data[2 * j]);
            std::swap(data[2 * i + 1], data[2 * j + 1]);
        }
    }
    // One pass per doubling of the butterfly span; spans are counted in floats (4, 8, ...).
    for (int32_t span = 4; span <= 2 * n; span *= 2)
    {
        const int32_t half = span / 2;
        const double angle = std::numbers::pi / (span / 4);
        const auto rotRe = float(std::cos(angle));
        const auto rotIm = float(sign * std::sin(angle));
        float wRe = 1.0f;
        float wIm = 0.0f;
        for (int32_t j = 0; j < half; j += 2)
        {
            for (int32_t i = j; i < 2 * n; i += span)
            {
                float* a = &data[i];
                float* b = &data[i + half];
                const float tRe = b[0] * wRe - b[1] * wIm;
                const float tIm = b[0] * wIm + b[1] * wRe;
                b[0] = a[0] - tRe;
                b[1] = a[1] - tIm;
                a[0] += tRe;
                a[1] += tIm;
            }
            const float next = wRe * rotRe - wIm * rotIm;
            wIm = wRe * rotIm + wIm * rotRe;
            wRe = next;
        }
    }
}

RealFft::RealFft(int32_t size) : m_size(size), m_half(size / 2)
{
    assert(size >= 4 && (size & (size - 1)) == 0);
    const int32_t bits = log2Of(m_half);
    m_bitReverse.resize(size_t(m_half));
    for (int32_t i = 0; i < m_half; ++i)
        m_bitReverse[size_t(i)] = reverseBits(uint32_t(i), bits);
    // Pass with half-span h (complex values) uses e^(-i pi j / h), j < h, stored from h - 1.
    m_passRe.resize(size_t(m_half));
    m_passIm.resize(size_t(m_half));
    for (int32_t h = 1; h < m_half; h *= 2)
    {
        for (int32_t j = 0; j < h; ++j)
        {
            const double angle = std::numbers::pi * j / h;
            m_passRe[size_t(h - 1 + j)] = float(std::cos(angle));
            m_passIm[size_t(h - 1 + j)] = float(-std::sin(angle));
        }
    }
    m_splitRe.resize(size_t(m_half));
    m_splitIm.resize(size_t(m_half));
    for (int32_t k = 0; k < m_half; ++k)
    {
        const double angle = 2.0 * std::numbers::pi * k / size;
        m_splitRe[size_t(k)] = float(std::cos(angle));
        m_splitIm[size_t(k)] = float(-std::sin(angle));
    }
    m_work.resize(size_t(size));
}

void RealFft::halfTransform(int32_t sign)
{
    float* re = m_work.data();
    float* im = re + m_half;
    const auto direction = float(-sign); // the tables hold the forward (sign -1) factors
    for (int32_t h = 1; h < m_half; h *= 2)
    {
        const float* wRe = &m_passRe[size_t(h - 1)];
        const float* wIm = &m_passIm[size_t(h - 1)];
        for (int32_t block = 0; block < m_half; block += 2 * h)
        {
            float* aRe = re + block;
            float* aIm = im + block;
            float* bRe = aRe + h;
            float* bIm = aIm + h;
            for (int32_t j = 0; j < h; ++j)
            {
                const float twRe = wRe[j];
                const float twIm = direction * wIm[j];
                const float tRe = bRe[j] * twRe - bIm[j] * twIm;
                const float tIm = bRe[j] * twIm + bIm[j] * twRe;
                bRe[j] = aRe[j] - tRe;
                bIm[j] = aIm[j] - tIm;
                aRe[j] += tRe;
                aIm[j] += tIm;
            }
        }
    }
}

void RealFft::forward(std::span<const float> samples, std::span<float> spectrum)
{
    assert(samples.size() >= size_t(m_size) && spectrum.size() >= size_t(m_size) + 2);
    float* re = m_work.data();
    float* im = re + m_half;
    // Even samples become the real parts, odd samples the imaginary parts.
    for (int32_t m = 0; m < m_half; ++m)
    {
        const uint32_t to = m_bitReverse[size_t(m)];
        re[to] = samples[size_t(2 * m)];
        im[to] = samples[size_t(2 * m + 1)];
    }
    halfTransform(-1);
    // Split the half-size spectrum Z into the transforms of the even and odd samples and join
    // them: X[k] = E[k] + e^(-2 pi i k / size) O[k].
    spectrum[0] = re[0] + im[0];
    spectrum[1] = 0.0f;
    spectrum[size_t(m_size)] = re[0] - im[0];
    spectrum[size_t(m_size) + 1] = 0.0f;
    for (int32_t k = 1; k < m_half; ++k)
    {
        const int32_t mirror = m_half - k;
        const float evenRe = 0.5f * (re[k] + re[mirror]);
        const float evenIm = 0.5f * (im[k] - im[mirror]);
        const float oddRe = 0.5f * (im[k] + im[mirror]);
        const float oddIm = -0.5f * (re[k] - re[mirror]);
        const float wRe = m_splitRe[size_t(k)];
        const float wIm = m_splitIm[size_t(k)];
        spectrum[size_t(2 * k)] = evenRe + wRe * oddRe - wIm * oddIm;
        spectrum[size_t(2 * k + 1)] = evenIm + wRe * oddIm + wIm * oddRe;
    }
}

void RealFft::inverseRealPart(std::span<const float> spectrum, std::span<float> samples)
{
    assert(samples.size() >= size_t(m_size) && spectrum.size() >= size_t(m_size) + 2);
    float* re = m_work.data();
    float* im = re + m_half;
    // The real part of the one-sided inverse equals the inverse of the Hermitian spectrum
    // H[k] = Y[k] / 2 (0 < k < size/2) with H[0] = Re Y[0] and H[size/2] = Re Y[size/2].
    // Its even samples are the inverse of E[k] = H[k] + conj H[size/2 - k], its odd samples
    // that of O[k] = (H[k] - conj H[size/2 - k]) e^(2 pi i k / size); both are real, so one
    // half-size transform of E + iO yields them as real and imaginary parts.
    {
        const float first = spectrum[0];
        const float last = spectrum[size_t(m_size)];
        re[0] = first + last;
        im[0] = first - last;
    }
    for (int32_t k = 1; k < m_half; ++k)
    {
        const int32_t mirror = m_half - k;
        const float hRe = 0.5f * spectrum[size_t(2 * k)];
        const float hIm = 0.5f * spectrum[size_t(2 * k + 1)];
        const float mRe = 0.5f * spectrum[size_t(2 * mirror)];
        const float mIm = -0.5f * spectrum[size_t(2 * mirror + 1)];
        const float evenRe = hRe + mRe;
        const float evenIm = hIm + mIm;
        const float diffRe = hRe - mRe;
        const float diffIm = hIm - mIm;
        const float wRe = m_splitRe[size_t(k)];
        const float wIm = -m_splitIm[size_t(k)];
        const float oddRe = diffRe * wRe - diffIm * wIm;
        const float oddIm = diffRe * wIm + diffIm * wRe;
        const uint32_t to = m_bitReverse[size_t(k)];
        re[to] = evenRe - oddIm;
        im[to] = evenIm + oddRe;
    }
    // Entry 0 stays at 0 under the bit reversal.
    halfTransform(+1);
    for (int32_t m = 0; m < m_half; ++m)
    {
        samples[size_t(2 * m)] = re[m];
        samples[size_t(2 * m + 1)] = im[m];
    }
}

} // namespace wavorn::fx
