// The engine's effect table: the rows of Effects.def as code to function. Codes the
// time-domain rows lack go to the spectral engine, which runs the spectral rows' operations.
#include "FxTable.h"

#include "Effects.h"

#include <algorithm>
#include <array>

namespace wavorn::fx
{

namespace
{

struct SpectralRow
{
    int32_t code;
    SpectralOperation operation;
};

constexpr FxEntry kTimeRows[] = {
#define VUMO_EFFECT(code, function, source, name, ...) {code, name, &function},
#define VUMO_SPECTRAL_EFFECT(...)
#define VUMO_STUDIO_EFFECT(...)
#include "Effects.def"
#undef VUMO_EFFECT
#undef VUMO_SPECTRAL_EFFECT
#undef VUMO_STUDIO_EFFECT
};

constexpr SpectralRow kSpectralRows[] = {
#define VUMO_EFFECT(...)
#define VUMO_SPECTRAL_EFFECT(code, operation, ...) {code, &operation},
#define VUMO_STUDIO_EFFECT(...)
#include "Effects.def"
#undef VUMO_EFFECT
#undef VUMO_SPECTRAL_EFFECT
#undef VUMO_STUDIO_EFFECT
};

constexpr auto kFxTable = []
{
    std::array<FxEntry, std::size(kTimeRows)> table{};
    std::copy(std::begin(kTimeRows), std::end(kTimeRows), table.begin());
    std::sort(table.begin(), table.end(),
              [](const FxEntry& a, const FxEntry& b) { return a.code < b.code; });
    return table;
}();

constexpr int32_t kFirstSpectralCode =
    std::min_element(std::begin(kSpectralRows), std::end(kSpectralRows),
                     [](const SpectralRow& a, const SpectralRow& b) { return a.code < b.code; })
        ->code;

// The spectral codes run on from the first without a gap, each once: then operation number n
// runs the row of code kFirstSpectralCode + n.
constexpr bool spectralCodesAreConsecutive()
{
    std::array<bool, std::size(kSpectralRows)> taken{};
    for (const SpectralRow& row : kSpectralRows)
    {
        const int32_t slot = row.code - kFirstSpectralCode;
        if (slot >= int32_t(taken.size()) || taken[size_t(slot)])
            return false;
        taken[size_t(slot)] = true;
    }
    return kFirstSpectralCode >= 1 && kFirstSpectralCode + int32_t(taken.size()) <= 256;
}
static_assert(spectralCodesAreConsecutive(), "Effects.def: spectral codes 1 ... 255, consecutive");

constexpr auto kOperations = []
{
    std::array<SpectralOperation, std::size(kSpectralRows)> operations{};
    for (const SpectralRow& row : kSpectralRows)
        operations[size_t(row.code - kFirstSpectralCode)] = row.operation;
    return operations;
}();

// FXIt sees only the low 8 bits of a code; a code is claimed by one row only.
constexpr bool timeDomainCodesAreSound()
{
    for (size_t i = 0; i < kFxTable.size(); ++i)
    {
        const int32_t code = kFxTable[i].code;
        const bool spectral =
            code >= kFirstSpectralCode && code < kFirstSpectralCode + int32_t(kOperations.size());
        if (code < 1 || code > 255 || spectral || (i > 0 && kFxTable[i - 1].code == code))
            return false;
    }
    return true;
}
static_assert(timeDomainCodesAreSound(), "Effects.def: time-domain codes 1 ... 255, each once");

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

int32_t spectralOperationNumber(int32_t code)
{
    return (code - kFirstSpectralCode) & 0xFF;
}

SpectralOperation spectralOperation(int32_t operation)
{
    if (operation < 0 || operation >= int32_t(kOperations.size()))
        return nullptr;
    return kOperations[size_t(operation)];
}

} // namespace wavorn::fx
