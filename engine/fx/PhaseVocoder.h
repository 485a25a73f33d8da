// The phase vocoder's analysis and synthesis loop: one channel of a stereo range, frames of
// 4096 samples every 1024 samples, with a spectral operation between analysis and synthesis.
#pragma once

#include "Fft.h"
#include "SpectralOps.h"

#include <cstdint>
#include <span>
#include <vector>

namespace wavorn::fx
{

class PhaseVocoder
{
public:
    static constexpr int32_t kFrameSize = 4096;
    static constexpr int32_t kHop = 1024;
    static constexpr int32_t kLatency = kFrameSize - kHop; // 3072 samples
    static constexpr float kBinWidth = 10.7666015625f;     // Hz, 44100 / 4096

    PhaseVocoder(); // allocates every working array once

    // Runs `operation` (null: silence) over one channel (0 left, 1 right) of frames
    // [first, last) of track (interleaved stereo). Frames first + 1 ... last - 3073 take the
    // resynthesised signal of the same frames; frame `first` and the last 3072 frames keep
    // their values, so a range of 3073 frames or fewer is left unchanged. The range must lie
    // inside track.
    void processChannel(std::span<int16_t> track, int32_t channel, int32_t first, int32_t last,
                        SpectralOperation operation, const SpectralParams& params);

private:
    // Samples of one frame or queue kept as its even-numbered and its odd-numbered values,
    // the order the real transforms take them in; sample i is at even[i / 2] or odd[i / 2].
    struct Samples
    {
        std::vector<float> even;
        std::vector<float> odd;
        explicit Samples(int32_t count) : even(size_t(count / 2)), odd(size_t(count / 2)) {}
    };

    void clear();
    void takeInput(const int16_t* samples, int32_t from, int32_t count, int32_t available);
    void giveOutput(int16_t* samples, int32_t from, int32_t count) const;
    void processFrame(SpectralOperation operation, const SpectralParams& params);
    void analyse();
    void synthesise();

    RealFft m_fft;
    Samples m_window;                 // Hann window of the analysis
    Samples m_synthesisWindow;        // the same window, divided by 4096
    Samples m_inputQueue;             // last 4096 input samples, scaled by 1/32768
    std::vector<float> m_outputQueue; // 1024 finished samples of the last frame
    Samples m_frame;                  // windowed frame, then the resynthesised frame
    Samples m_accumulator;            // overlap-add of the resynthesised frames
    std::vector<float> m_re;          // bins 0 ... 2048
    std::vector<float> m_im;
    std::vector<float> m_previousPhase;
    std::vector<float> m_phaseSum; // synthesis phase, kept within one turn
    std::vector<float> m_analysisMagnitude;
    std::vector<float> m_analysisFrequency;
    std::vector<float> m_synthesisMagnitude;
    std::vector<float> m_synthesisFrequency;
};

} // namespace wavorn::fx
