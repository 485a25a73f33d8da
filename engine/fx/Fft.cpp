// The transforms of the spectral engine: the in-place radix-2 FFT and the fixed-size real
// transforms of the phase vocoder. The real transforms' loops are built per processor
// (VUMO_FX_CLONES) and written so that the compiler runs them a vector at a time; every value
// still goes through the same roundings in the same order on every processor.
#include "Fft.h"

#include "FxClones.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <numbers>
#include <utility>

namespace wavorn::fx
{

namespace
{

// The real transforms move values between two buffers in their passes of half-span below this
// (runs of 1024 ... 32 values that share a factor when the half-size transform has 2048
// values), then reorder once for the in-place passes (runs of 32 ... 1024 values).
constexpr int32_t kReorderSpan = 32;

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

// One run of butterflies that share the factor (wRe, wIm): t = b w, a + t into sum, a - t
// into difference, count values each; no output overlaps an input.
void VUMO_FX_KERNEL(butterflies)(const float* __restrict aRe, const float* __restrict aIm,
                                 const float* __restrict bRe, const float* __restrict bIm,
                                 float wRe, float wIm, float* __restrict sumRe,
                                 float* __restrict sumIm, float* __restrict differenceRe,
                                 float* __restrict differenceIm, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
    {
        const float tRe = bRe[i] * wRe - bIm[i] * wIm;
        const float tIm = bRe[i] * wIm + bIm[i] * wRe;
        const float a = aRe[i];
        const float b = aIm[i];
        differenceRe[i] = a - tRe;
        differenceIm[i] = b - tIm;
        sumRe[i] = a + tRe;
        sumIm[i] = b + tIm;
    }
}
VUMO_FX_DISPATCH(butterflies)

// Butterflies of values a[j] and b[j] with the factors (wRe[j], wIm[j]), in place.
inline void twiddledButterflies(float* __restrict aRe, float* __restrict aIm, float* __restrict bRe,
                                float* __restrict bIm, const float* __restrict wRe,
                                const float* __restrict wIm, int32_t count)
{
    for (int32_t j = 0; j < count; ++j)
    {
        const float tRe = bRe[j] * wRe[j] - bIm[j] * wIm[j];
        const float tIm = bRe[j] * wIm[j] + bIm[j] * wRe[j];
        bRe[j] = aRe[j] - tRe;
        bIm[j] = aIm[j] - tIm;
        aRe[j] += tRe;
        aIm[j] += tIm;
    }
}

// One in-place pass of half-span h >= 1 over n values: in every block of 2h values, value j
// and value j + h with the factor (wRe[j], wIm[j]).
void VUMO_FX_KERNEL(inPlacePass)(float* re, float* im, int32_t n, int32_t h, const float* wRe,
                                 const float* wIm)
{
    for (int32_t block = 0; block < n; block += 2 * h)
        twiddledButterflies(re + block, im + block, re + block + h, im + block + h, wRe, wIm, h);
}
VUMO_FX_DISPATCH(inPlacePass)

// to[i] = from[index[i]] for both arrays.
void VUMO_FX_KERNEL(gather)(const float* __restrict fromRe, const float* __restrict fromIm,
                            const uint32_t* __restrict index, int32_t n, float* __restrict toRe,
                            float* __restrict toIm)
{
    for (int32_t i = 0; i < n; ++i)
    {
        toRe[i] = fromRe[index[i]];
        toIm[i] = fromIm[index[i]];
    }
}
VUMO_FX_DISPATCH(gather)

// The forward transform's last step: the half-size spectrum z splits into the transforms of
// the even and the odd samples, which join into bins 1 ... half - 1:
// X[k] = E[k] + e^(-2 pi i k / size) O[k].
void VUMO_FX_KERNEL(joinHalves)(const float* __restrict zRe, const float* __restrict zIm,
                                const float* __restrict splitRe, const float* __restrict splitIm,
                                int32_t half, float* __restrict re, float* __restrict im)
{
    for (int32_t k = 1; k < half; ++k)
    {
        const int32_t mirror = half - k;
        const float evenRe = 0.5f * (zRe[k] + zRe[mirror]);
        const float evenIm = 0.5f * (zIm[k] - zIm[mirror]);
        const float oddRe = 0.5f * (zIm[k] + zIm[mirror]);
        const float oddIm = -0.5f * (zRe[k] - zRe[mirror]);
        re[k] = evenRe + splitRe[k] * oddRe - splitIm[k] * oddIm;
        im[k] = evenIm + splitRe[k] * oddIm + splitIm[k] * oddRe;
    }
}
VUMO_FX_DISPATCH(joinHalves)

// The inverse's first step for bins 1 ... half - 1: from the one-sided spectrum Y, the half-size
// spectrum E + iO whose inverse holds the even samples in its real parts and the odd ones in
// its imaginary parts (see inverseRealPart).
void VUMO_FX_KERNEL(splitHalves)(const float* __restrict re, const float* __restrict im,
                                 const float* __restrict splitRe, const float* __restrict splitIm,
                                 int32_t half, float* __restrict zRe, float* __restrict zIm)
{
    for (int32_t k = 1; k < half; ++k)
    {
        const int32_t mirror = half - k;
        const float hRe = 0.5f * re[k];
        const float hIm = 0.5f * im[k];
        const float mRe = 0.5f * re[mirror];
        const float mIm = -0.5f * im[mirror];
        const float evenRe = hRe + mRe;
        const float evenIm = hIm + mIm;
        const float diffRe = hRe - mRe;
        const float diffIm = hIm - mIm;
        const float wRe = splitRe[k];
        const float wIm = -splitIm[k];
        const float oddRe = diffRe * wRe - diffIm * wIm;
        const float oddIm = diffRe * wIm + diffIm * wRe;
        zRe[k] = evenRe - oddIm;
        zIm[k] = evenIm + oddRe;
    }
}
VUMO_FX_DISPATCH(splitHalves)

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

RealFft::RealFft(int32_t size)
    : m_size(size), m_half(size / 2), m_reorderSpan(std::min(size / 2, kReorderSpan)),
      m_reorder(size_t(size / 2)), m_passRe(size_t(size / 2)), m_passIm(size_t(size / 2)),
      m_passImInverse(size_t(size / 2)), m_splitRe(size_t(size / 2)), m_splitIm(size_t(size / 2)),
      m_re(size_t(size / 2)), m_im(size_t(size / 2)), m_otherRe(size_t(size / 2)),
      m_otherIm(size_t(size / 2))
{
    assert(size >= 4 && (size & (size - 1)) == 0);
    // The passes that move values leave sub-transform r (of the values r, r + R, r + 2R, ...)
    // with its value k at k R + r; the in-place passes want it at reverse(r) S + k.
    const int32_t span = m_reorderSpan;
    const int32_t count = m_half / span; // R
    for (int32_t i = 0; i < m_half; ++i)
    {
        const auto r = int32_t(reverseBits(uint32_t(i / span), log2Of(count)));
        m_reorder[size_t(i)] = uint32_t((i % span) * count + r);
    }
    // Pass with half-span h (complex values) uses e^(-i pi j / h), j < h, stored from h - 1.
    for (int32_t h = 1; h < m_half; h *= 2)
    {
        for (int32_t j = 0; j < h; ++j)
        {
            const double angle = std::numbers::pi * j / h;
            m_passRe[size_t(h - 1 + j)] = float(std::cos(angle));
            m_passIm[size_t(h - 1 + j)] = float(-std::sin(angle));
            m_passImInverse[size_t(h - 1 + j)] = -m_passIm[size_t(h - 1 + j)];
        }
    }
    for (int32_t k = 0; k < m_half; ++k)
    {
        const double angle = 2.0 * std::numbers::pi * k / size;
        m_splitRe[size_t(k)] = float(std::cos(angle));
        m_splitIm[size_t(k)] = float(-std::sin(angle));
    }
}

RealFft::Values RealFft::halfTransform(const float* inRe, const float* inIm, bool inverse)
{
    const float* wIm = inverse ? m_passImInverse.data() : m_passIm.data();
    const Values buffers[2] = {{m_re.data(), m_im.data()}, {m_otherRe.data(), m_otherIm.data()}};
    const auto other = [&](const float* re) { return buffers[re == buffers[0].re ? 1 : 0]; };
    // Passes below the reorder span read sub-transforms r and r + R/2 (value k of each at
    // k R + r) and write their sums and differences to k R/2 + r and (k + h) R/2 + r: every
    // factor covers a run of R/2 values. They never write into the input.
    Values to = other(inRe);
    for (int32_t h = 1; h < m_reorderSpan; h *= 2)
    {
        const int32_t run = m_half / (2 * h);
        for (int32_t k = 0; k < h; ++k)
        {
            const int32_t in = 2 * k * run;
            butterflies(inRe + in, inIm + in, inRe + in + run, inIm + in + run,
                        m_passRe[size_t(h - 1 + k)], wIm[h - 1 + k], to.re + k * run,
                        to.im + k * run, to.re + (k + h) * run, to.im + (k + h) * run, run);
        }
        inRe = to.re;
        inIm = to.im;
        to = other(to.re);
    }
    gather(inRe, inIm, m_reorder.data(), m_half, to.re, to.im);
    for (int32_t h = m_reorderSpan; h < m_half; h *= 2)
        inPlacePass(to.re, to.im, m_half, h, &m_passRe[size_t(h - 1)], wIm + (h - 1));
    return to;
}

void RealFft::forward(const float* evenSamples, const float* oddSamples, float* re, float* im)
{
    const Values z = halfTransform(evenSamples, oddSamples, false);
    re[0] = z.re[0] + z.im[0];
    im[0] = 0.0f;
    re[m_half] = z.re[0] - z.im[0];
    im[m_half] = 0.0f;
    joinHalves(z.re, z.im, m_splitRe.data(), m_splitIm.data(), m_half, re, im);
}

void RealFft::inverseRealPart(const float* re, const float* im, float* evenSamples,
                              float* oddSamples)
{
    // The real part of the one-sided inverse equals the inverse of the Hermitian spectrum
    // H[k] = Y[k] / 2 (0 < k < size/2) with H[0] = Re Y[0] and H[size/2] = Re Y[size/2].
    // Its even samples are the inverse of E[k] = H[k] + conj H[size/2 - k], its odd samples
    // that of O[k] = (H[k] - conj H[size/2 - k]) e^(2 pi i k / size); both are real, so one
    // half-size transform of E + iO yields them as real and imaginary parts.
    m_re[0] = re[0] + re[m_half];
    m_im[0] = re[0] - re[m_half];
    splitHalves(re, im, m_splitRe.data(), m_splitIm.data(), m_half, m_re.data(), m_im.data());
    const Values z = halfTransform(m_re.data(), m_im.data(), true);
    std::copy_n(z.re, m_half, evenSamples);
    std::copy_n(z.im, m_half, oddSamples);
}

} // namespace wavorn::fx
