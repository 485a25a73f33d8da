// The table of time-domain effect codes; codes the table lacks go to the spectral engine.
#include "FxTable.h"

#include "Effects.h"

namespace wavorn::fx
{

namespace
{

constexpr FxEntry kFxTable[] = {
    {1, "Amp - Gain", &applyGain},
    {2, "2 Voice Chorus", &applyChorus2},
    {3, "Echo", &applyEcho},
    {4, "Pitch", &applyPitch},
    {5, "Ring", &applyRing},
    {6, "Vibe", &applyVibe},
    {7, "Band Pass", &applyBandPass},
    {8, "Compression", &applyCompression},
    {9, "Low Pass", &applyLowPass},
    {10, "Hi Pass", &applyHighPass},
    {11, "Bounce Pan", &applyBouncePan},
    {12, "Distortion", &applyDistortion},
    {13, "Resonate", &applyResonator},
    {14, "Noise Reduc", &applyNoiseReduction},
    {15, "Mirror", &applyMirror},
    {16, "3 Voice Chorus", &applyChorus3},
    {17, "Wah", &applyWah},
    {18, "Negate", &applyNegate},
    {19, "Reverse", &applyReverse},
    {20, "Shift", &applyShift},
    {21, "Reverse Note", &applyReverseNote},
    {22, "Fade Note", &applyFadeNote},
    {23, "Reflect Note", &applyReflectNote},
    {24, "Pitch Note", &applyPitchNote},
    {25, "Monotonize", &applyMonotonize},
};

} // namespace

std::span<const FxEntry> fxTable()
{
    return kFxTable;
}

const FxEntry* findEffect(int32_t code)
{
    for (const FxEntry& entry : kFxTable)
        if (entry.code == code)
            return &entry;
    return nullptr;
}

} // namespace wavorn::fx
