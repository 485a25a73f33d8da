// The phase vocoder's analysis and synthesis loop: true bin frequencies from the phase change
// between frames, phases accumulated again on resynthesis, Hann windows and overlap-add. The
// loops over samples and bins are built per processor (VUMO_FX_CLONES) and run a vector at a
// time; each value goes through the same roundings in every build.
#include "PhaseVocoder.h"

#include "FxClones.h"
#include "SpectralMath.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace wavorn::fx
{

namespace
{

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kHalfPi = kPi / 2.0f;
constexpr float kTwoPi = 2.0f * kPi;
constexpr double kFramesPerSecondRatio = 4096.0 / 44100.0; // 0.09287981859410431
constexpr float kToUnit = 1.0f / 32768.0f;

// The engine stores a resynthesised value as x * 32768, limited to +-32767 and truncated.
int16_t toSample(float value)
{
    float scaled = value * 32768.0f;
    if (!(scaled >= -32767.0f)) // also a value that is not a number
        scaled = std::isnan(scaled) ? 0.0f : -32767.0f;
    scaled = std::min(scaled, 32767.0f);
    return int16_t(scaled);
}

// Brings a phase difference into (-pi, pi): q = trunc(d / pi), made even by a step away from
// zero when odd, then d - q pi.
float principalPhase(float d)
{
    const auto q = int32_t(d / kPi);
    const int32_t odd = q & 1;
    return d - float(q + (q > 0 ? odd : -odd)) * kPi;
}

// The same angle within [-pi, pi], so the running phase keeps its precision however long the
// range is.
float withinOneTurn(float phase)
{
    const float turns = phase * (1.0f / kTwoPi);
    const auto whole = int32_t(turns + (turns >= 0.0f ? 0.5f : -0.5f));
    return phase - float(whole) * kTwoPi;
}

// values[m] = samples[4 m] / 32768 for m < available, 0 from there up to count: every other
// frame of one channel.
void VUMO_FX_KERNEL(scaleSamples)(const int16_t* __restrict samples, int32_t available,
                                  int32_t count, float* __restrict values)
{
    for (int32_t m = 0; m < available; ++m)
        values[m] = float(samples[4 * size_t(m)]) * kToUnit;
    for (int32_t m = available; m < count; ++m)
        values[m] = 0.0f;
}
VUMO_FX_DISPATCH(scaleSamples)

// samples[2 i] = the stored value of values[i], i < count: consecutive frames of one channel.
void VUMO_FX_KERNEL(storeSamples)(const float* __restrict values, int32_t count,
                                  int16_t* __restrict samples)
{
    for (int32_t i = 0; i < count; ++i)
        samples[2 * size_t(i)] = toSample(values[i]);
}
VUMO_FX_DISPATCH(storeSamples)

// product[i] = window[i] * values[i]
void VUMO_FX_KERNEL(applyWindow)(const float* __restrict window, const float* __restrict values,
                                 float* __restrict product, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        product[i] = window[i] * values[i];
}
VUMO_FX_DISPATCH(applyWindow)

// sum[i] += window[i] * values[i]
void VUMO_FX_KERNEL(addWindowed)(const float* __restrict window, const float* __restrict values,
                                 float* __restrict sum, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        sum[i] += window[i] * values[i];
}
VUMO_FX_DISPATCH(addWindowed)

// Magnitude and true frequency of every bin from its phase change since the last frame.
void VUMO_FX_KERNEL(analyseBins)(const float* __restrict re, const float* __restrict im,
                                 float* __restrict previousPhase, float* __restrict magnitude,
                                 float* __restrict frequency)
{
    for (int32_t k = 0; k < kSpectralBins; ++k)
    {
        magnitude[k] = 2.0f * std::sqrt(re[k] * re[k] + im[k] * im[k]);
        const float phase = phaseOf(im[k], re[k]);
        // The expected advance per hop is k pi/2; (k mod 4) pi/2 is the same angle.
        const float expected = float(k & 3) * kHalfPi;
        const float deviation = principalPhase(phase - previousPhase[k] - expected);
        previousPhase[k] = phase;
        frequency[k] = float((double(k) + double(deviation) * (2.0 / std::numbers::pi)) *
                             PhaseVocoder::kBinWidth);
    }
}
VUMO_FX_DISPATCH(analyseBins)

// Every bin's synthesis phase advanced from its frequency, and the bin from its magnitude.
void VUMO_FX_KERNEL(synthesiseBins)(const float* __restrict magnitude,
                                    const float* __restrict frequency, float* __restrict phaseSum,
                                    float* __restrict re, float* __restrict im)
{
    for (int32_t k = 0; k < kSpectralBins; ++k)
    {
        // Bin k advances by k pi/2 per hop, plus its offset from the bin centre; the offset is
        // taken in double so a frequency carried over unchanged gives back the same advance.
        const double offset = double(frequency[k]) - double(k) * PhaseVocoder::kBinWidth;
        const auto advance = float(offset * (kFramesPerSecondRatio * std::numbers::pi / 2.0));
        const float phase = withinOneTurn(phaseSum[k] + (float(k & 3) * kHalfPi + advance));
        phaseSum[k] = phase;
        float sine = 0.0f;
        float cosine = 0.0f;
        sinCos(phase, sine, cosine);
        re[k] = magnitude[k] * cosine;
        im[k] = magnitude[k] * sine;
    }
}
VUMO_FX_DISPATCH(synthesiseBins)

} // namespace

PhaseVocoder::PhaseVocoder()
    : m_fft(kFrameSize), m_window(kFrameSize), m_synthesisWindow(kFrameSize),
      m_inputQueue(kFrameSize), m_outputQueue(kHop), m_frame(kFrameSize), m_accumulator(kFrameSize),
      m_re(kSpectralBins), m_im(kSpectralBins), m_previousPhase(kSpectralBins),
      m_phaseSum(kSpectralBins), m_analysisMagnitude(kSpectralBins),
      m_analysisFrequency(kSpectralBins), m_synthesisMagnitude(kSpectralBins),
      m_synthesisFrequency(kSpectralBins)
{
    for (int32_t k = 0; k < kFrameSize; ++k)
    {
        const double hann = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * k / kFrameSize);
        (k % 2 ? m_window.odd : m_window.even)[size_t(k / 2)] = float(hann);
        (k % 2 ? m_synthesisWindow.odd : m_synthesisWindow.even)[size_t(k / 2)] =
            float(hann / kFrameSize);
    }
}

void PhaseVocoder::clear()
{
    for (auto* array : {&m_inputQueue.even, &m_inputQueue.odd, &m_outputQueue, &m_accumulator.even,
                        &m_accumulator.odd, &m_previousPhase, &m_phaseSum})
        std::fill(array->begin(), array->end(), 0.0f);
}

void PhaseVocoder::processChannel(std::span<int16_t> track, int32_t channel, int32_t first,
                                  int32_t last, SpectralOperation operation,
                                  const SpectralParams& params)
{
    const int32_t length = last - first;
    const int32_t lastWritten = last - kLatency - 1;
    if (lastWritten < first + 1)
        return; // a range of 3073 frames or fewer keeps its values
    clear();
    int16_t* samples = track.data() + channel;
    // Step j (0 ... length + 1023) puts frame first + j into the queue (silence past the
    // range) and, from step 4097 on, writes frame first + j - 4096 from the output queue, up
    // to lastWritten. The queue is processed after every 1024 steps; output for frame g thus
    // leaves the output queue 4096 steps after g entered and goes back to g itself.
    const int32_t steps = length + kHop;
    const int32_t endOutput = lastWritten - first + kFrameSize + 1; // first step past the writes
    for (int32_t hop = 0; hop < steps; hop += kHop)
    {
        const int32_t count = std::min(kHop, steps - hop);
        takeInput(samples, first + hop, count, std::clamp(length - hop, 0, count));
        const int32_t from = std::max(hop, kFrameSize + 1);
        const int32_t to = std::min(hop + count, endOutput);
        if (to > from)
            giveOutput(samples + 2 * size_t(first + from - kFrameSize), from - hop, to - from);
        if (count == kHop)
            processFrame(operation, params);
    }
}

// Frames from ... from + count - 1 of the channel into queue places 3072 ... 3072 + count - 1,
// the ones from `available` on as silence.
void PhaseVocoder::takeInput(const int16_t* samples, int32_t from, int32_t count, int32_t available)
{
    const int16_t* x = samples + 2 * size_t(from);
    // Place 3072 + i is even[1536 + i / 2] for even i, odd[1536 + i / 2] for odd i.
    scaleSamples(x, (available + 1) / 2, (count + 1) / 2, m_inputQueue.even.data() + kLatency / 2);
    scaleSamples(x + 2, available / 2, count / 2, m_inputQueue.odd.data() + kLatency / 2);
}

// Output queue places `place` ... place + count - 1 into the channel's samples[0], [2], ...
void PhaseVocoder::giveOutput(int16_t* samples, int32_t place, int32_t count) const
{
    storeSamples(m_outputQueue.data() + place, count, samples);
}

void PhaseVocoder::processFrame(SpectralOperation operation, const SpectralParams& params)
{
    analyse();
    std::fill(m_synthesisMagnitude.begin(), m_synthesisMagnitude.end(), 0.0f);
    std::fill(m_synthesisFrequency.begin(), m_synthesisFrequency.end(), 0.0f);
    if (operation != nullptr)
        operation(AnalysisBins{m_analysisMagnitude, m_analysisFrequency},
                  SynthesisBins{m_synthesisMagnitude, m_synthesisFrequency}, params);
    synthesise();
    // The first hop of the sum is finished; both queues move down by one hop.
    constexpr int32_t kHalfHop = kHop / 2;
    for (int32_t m = 0; m < kHalfHop; ++m)
    {
        m_outputQueue[2 * size_t(m)] = m_accumulator.even[size_t(m)];
        m_outputQueue[2 * size_t(m) + 1] = m_accumulator.odd[size_t(m)];
    }
    for (auto* values :
         {&m_accumulator.even, &m_accumulator.odd, &m_inputQueue.even, &m_inputQueue.odd})
        std::copy(values->begin() + kHalfHop, values->end(), values->begin());
    std::fill(m_accumulator.even.end() - kHalfHop, m_accumulator.even.end(), 0.0f);
    std::fill(m_accumulator.odd.end() - kHalfHop, m_accumulator.odd.end(), 0.0f);
}

void PhaseVocoder::analyse()
{
    constexpr int32_t kHalf = kFrameSize / 2;
    applyWindow(m_window.even.data(), m_inputQueue.even.data(), m_frame.even.data(), kHalf);
    applyWindow(m_window.odd.data(), m_inputQueue.odd.data(), m_frame.odd.data(), kHalf);
    m_fft.forward(m_frame.even.data(), m_frame.odd.data(), m_re.data(), m_im.data());
    analyseBins(m_re.data(), m_im.data(), m_previousPhase.data(), m_analysisMagnitude.data(),
                m_analysisFrequency.data());
}

void PhaseVocoder::synthesise()
{
    synthesiseBins(m_synthesisMagnitude.data(), m_synthesisFrequency.data(), m_phaseSum.data(),
                   m_re.data(), m_im.data());
    // Magnitudes are twice the bin's amplitude, which is right for the bins that stand for a
    // pair of conjugate bins; bin 0 and bin 2048 stand for themselves only.
    for (const int32_t k : {0, kSpectralBins - 1})
    {
        m_re[size_t(k)] *= 0.5f;
        m_im[size_t(k)] *= 0.5f;
    }
    constexpr int32_t kHalf = kFrameSize / 2;
    m_fft.inverseRealPart(m_re.data(), m_im.data(), m_frame.even.data(), m_frame.odd.data());
    addWindowed(m_synthesisWindow.even.data(), m_frame.even.data(), m_accumulator.even.data(),
                kHalf);
    addWindowed(m_synthesisWindow.odd.data(), m_frame.odd.data(), m_accumulator.odd.data(), kHalf);
}

} // namespace wavorn::fx
