// The engine's effect table, built from the rows of Effects.def: code to time-domain function,
// and the spectral codes to the spectral engine's operations.
#pragma once

#include "FxMath.h"
#include "SpectralOps.h"

#include <span>

namespace wavorn::fx
{

using FxFunction = void (*)(SampleSpan track, const FxParams& p);

struct FxEntry
{
    int32_t code;
    const char* name; // the dialog name the application shows and writes into effect files
    FxFunction apply;
};

// Every time-domain effect, in code order.
std::span<const FxEntry> fxTable();
// The entry of code, or null when the table lacks it (those codes go to the spectral engine).
const FxEntry* findEffect(int32_t code);
// The spectral engine's operation number for a code no time-domain row claims: code minus the
// first spectral code, modulo 256. Codes outside the spectral rows get a number without an
// operation (the spectral pass then writes silence).
int32_t spectralOperationNumber(int32_t code);

} // namespace wavorn::fx
