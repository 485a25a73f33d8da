// What vumo-fx knows about each effect code: the dialog name, what P1 to P3 mean, the dialog's
// default values and whether the effect may be applied in pieces of the range.
#pragma once

#include <cstdint>
#include <span>

namespace vumo::fxtool
{

struct EffectInfo
{
    int32_t code;
    const char* name;
    const char* p1; // meaning of each parameter, or "-" when unused
    const char* p2;
    const char* p3;
    int32_t defaults[3];
    // True when every frame's result depends on that frame alone, so applying the effect to
    // consecutive pieces of the range gives the same samples as one call (progress in pieces).
    bool perFrame;
};

// Codes 1 ... 32 in order.
std::span<const EffectInfo> effectCatalog();
// The entry for code, or null.
const EffectInfo* findEffectInfo(int32_t code);

} // namespace vumo::fxtool
