// Parameter units: what a slider value of 0 ... 255 means in units a musician reads (a gain as a
// factor and in dB, a time in ms, a rate or frequency in Hz, a level in dBFS, a pan position).
// The effect rows give each parameter one (engine/fx/Effects.def); the mixer's texts use the
// same wording. Plain C++, shared by the studio and vumo-fx.
#pragma once

#include <cstdint>
#include <string>

namespace vumo::fx
{

inline constexpr double kFramesPerSecond = 44100.0;

enum class UnitKind : uint8_t
{
    None,       // no clean unit: the number alone
    Factor,     // x is a gain factor: "×0.50 (−6.0 dB)"
    Percent,    // x is a share of the whole: "50 %"
    Millis,     // x frames, truncated to a whole frame: "186 ms"
    LoopMillis, // as Millis, but 0 frames turn the effect off: "off"
    RateHertz,  // x * 2^-18 radians per frame of an oscillator: "3.43 Hz"
    Hertz,      // x Hz
    LevelDbfs,  // x is a sample level, 32768 being full scale: "−6.0 dBFS"
    Pan,        // the effect's channel weights: 0 left only, 128 both, 255 right only
    Shift,      // below 128 the left channel is delayed by 128 - P frames, above the right
};

// x = (scale * P + offset) / divisor for the parameter's value P.
struct ParamUnit
{
    UnitKind kind = UnitKind::None;
    int32_t scale = 1;
    int32_t offset = 0;
    int32_t divisor = 1;
};

// The units of the effect rows, named after the meanings they express.
constexpr ParamUnit gain(int32_t divisor) // gain P/divisor
{
    return {UnitKind::Factor, 1, 0, divisor};
}
constexpr ParamUnit share(int32_t divisor) // depth P/divisor
{
    return {UnitKind::Percent, 1, 0, divisor};
}
constexpr ParamUnit frames(int32_t scale, int32_t offset = 0, int32_t divisor = 1)
{
    return {UnitKind::Millis, scale, offset, divisor};
}
constexpr ParamUnit loopFrames(int32_t scale, int32_t offset)
{
    return {UnitKind::LoopMillis, scale, offset, 1};
}
constexpr ParamUnit rate(int32_t scale, int32_t offset = 0) // (scale*P + offset)/2^18 rad/frame
{
    return {UnitKind::RateHertz, scale, offset, 1};
}
constexpr ParamUnit hertz(int32_t scale, int32_t divisor)
{
    return {UnitKind::Hertz, scale, 0, divisor};
}
constexpr ParamUnit level(int32_t scale) // sample level scale*P
{
    return {UnitKind::LevelDbfs, scale, 0, 1};
}
inline constexpr ParamUnit kPanUnit{UnitKind::Pan};
inline constexpr ParamUnit kShiftUnit{UnitKind::Shift};
inline constexpr ParamUnit kNoUnit{};

// The value in its unit, or "" for a parameter without one. UTF-8.
std::string unitText(const ParamUnit& unit, int32_t value);

// The wording shared with the mixer.
// "×1.00 (0.0 dB)", "×2.00 (+6.0 dB)", "×0.00 (−∞ dB)".
std::string gainText(double factor);
// A pan position from the weights of the two sides: the louder side, and how far the quieter
// one is turned down, in whole percent rounded toward the centre: "L 40 %", "centre", "R 100 %".
std::string panText(double left, double right);
// "0.02 ms", "5.8 ms", "186 ms", "1.25 s".
std::string timeText(double seconds);
// "3.43 Hz", "34.5 Hz", "172 Hz", "2.76 kHz", "22.0 kHz".
std::string hertzText(double hertz);

} // namespace vumo::fx
