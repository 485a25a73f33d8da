// The table of time-domain effect codes: code, dialog name, function.
#pragma once

#include "FxMath.h"

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

// Every time-domain effect, in code order 1 ... 25.
std::span<const FxEntry> fxTable();
// The entry of code, or null when the table lacks it (those codes go to the spectral engine).
const FxEntry* findEffect(int32_t code);

} // namespace wavorn::fx
