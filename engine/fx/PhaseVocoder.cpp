// The phase vocoder's analysis and synthesis loop: true bin frequencies from the phase change
// between frames, phases accumulated again on resynthesis, Hann windows and overlap-add.
#include "PhaseVocoder.h"

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
    auto q = int32_t(d / kPi);
    if (q & 1)
        q += q > 0 ? 1 : -1;
    return d - float(q) * kPi;
}

// The same angle within [-pi, pi], so the running phase keeps its precision however long the
// range is.
float withinOneTurn(float phase)
{
    const float turns = phase * (1.0f / kTwoPi);
    const auto whole = int32_t(turns + (turns >= 0.0f ? 0.5f : -0.5f));
    return phase - float(whole) * kTwoPi;
}

} // namespace

PhaseVocoder::PhaseVocoder()
    : m_fft(kFrameSize), m_window(kFrameSize), m_synthesisWindow(kFrameSize),
      m_inputQueue(kFrameSize), m_outputQueue(kHop), m_frame(kFrameSize),
      m_spectrum(kFrameSize + 2), m_previousPhase(kSpectralBins), m_phaseSum(kSpectralBins),
      m_accumulator(kFrameSize), m_analysisMagnitude(kSpectralBins),
      m_analysisFrequency(kSpectralBins), m_synthesisMagnitude(kSpectralBins),
      m_synthesisFrequency(kSpectralBins), m_phase(kSpectralBins)
{
    for (int32_t k = 0; k < kFrameSize; ++k)
    {
        const double hann = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * k / kFrameSize);
        m_window[size_t(k)] = float(hann);
        m_synthesisWindow[size_t(k)] = float(hann / kFrameSize);
    }
}

void PhaseVocoder::clear()
{
    for (auto* array :
         {&m_inputQueue, &m_outputQueue, &m_previousPhase, &m_phaseSum, &m_accumulator})
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
    // Each input frame enters the queue at the fill position; the queue is processed whenever
    // it is full. Output for frame g leaves the output queue 4096 steps after g entered, so it
    // is written back to g itself; 1024 silent steps after the range flush the last output.
    int32_t fill = kLatency;
    for (int32_t j = 0; j < length + kHop; ++j)
    {
        const int32_t frame = first + j;
        m_inputQueue[size_t(fill)] =
            j < length ? float(samples[2 * size_t(frame)]) * kToUnit : 0.0f;
        const int32_t target = frame - kFrameSize;
        if (j > kFrameSize && target <= lastWritten)
            samples[2 * size_t(target)] = toSample(m_outputQueue[size_t(fill - kLatency)]);
        if (++fill == kFrameSize)
        {
            processFrame(operation, params);
            fill = kLatency;
        }
    }
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
    std::copy_n(m_accumulator.begin(), kHop, m_outputQueue.begin());
    std::copy(m_accumulator.begin() + kHop, m_accumulator.end(), m_accumulator.begin());
    std::fill(m_accumulator.end() - kHop, m_accumulator.end(), 0.0f);
    std::copy(m_inputQueue.begin() + kHop, m_inputQueue.end(), m_inputQueue.begin());
}

void PhaseVocoder::analyse()
{
    for (int32_t k = 0; k < kFrameSize; ++k)
        m_frame[size_t(k)] = m_window[size_t(k)] * m_inputQueue[size_t(k)];
    m_fft.forward(m_frame, m_spectrum);
    // Magnitude and phase of every bin first (m_phase), then the true frequencies.
    for (int32_t k = 0; k < kSpectralBins; ++k)
    {
        const float re = m_spectrum[2 * size_t(k)];
        const float im = m_spectrum[2 * size_t(k) + 1];
        m_analysisMagnitude[size_t(k)] = 2.0f * std::sqrt(re * re + im * im);
        m_phase[size_t(k)] = phaseOf(im, re);
    }
    for (int32_t k = 0; k < kSpectralBins; ++k)
    {
        const float phase = m_phase[size_t(k)];
        // The expected advance per hop is k pi/2; (k mod 4) pi/2 is the same angle.
        const float expected = float(k & 3) * kHalfPi;
        const float deviation = principalPhase(phase - m_previousPhase[size_t(k)] - expected);
        m_previousPhase[size_t(k)] = phase;
        m_analysisFrequency[size_t(k)] =
            float((double(k) + double(deviation) * (2.0 / std::numbers::pi)) * kBinWidth);
    }
}

void PhaseVocoder::synthesise()
{
    for (int32_t k = 0; k < kSpectralBins; ++k)
    {
        // Bin k advances by k pi/2 per hop, plus its offset from the bin centre; the offset is
        // taken in double so a frequency carried over unchanged gives back the same advance.
        const double offset = double(m_synthesisFrequency[size_t(k)]) - double(k) * kBinWidth;
        const auto advance = float(offset * (kFramesPerSecondRatio * std::numbers::pi / 2.0));
        m_phase[size_t(k)] =
            withinOneTurn(m_phaseSum[size_t(k)] + (float(k & 3) * kHalfPi + advance));
    }
    for (int32_t k = 0; k < kSpectralBins; ++k)
    {
        const float phase = m_phase[size_t(k)];
        m_phaseSum[size_t(k)] = phase;
        float sine = 0.0f;
        float cosine = 0.0f;
        sinCos(phase, sine, cosine);
        const float magnitude = m_synthesisMagnitude[size_t(k)];
        m_spectrum[2 * size_t(k)] = magnitude * cosine;
        m_spectrum[2 * size_t(k) + 1] = magnitude * sine;
    }
    // Magnitudes are twice the bin's amplitude, which is right for the bins that stand for a
    // pair of conjugate bins; bin 0 and bin 2048 stand for themselves only.
    for (const int32_t k : {0, kSpectralBins - 1})
    {
        m_spectrum[2 * size_t(k)] *= 0.5f;
        m_spectrum[2 * size_t(k) + 1] *= 0.5f;
    }
    m_fft.inverseRealPart(m_spectrum, m_frame);
    for (int32_t k = 0; k < kFrameSize; ++k)
        m_accumulator[size_t(k)] += m_synthesisWindow[size_t(k)] * m_frame[size_t(k)];
}

} // namespace wavorn::fx
