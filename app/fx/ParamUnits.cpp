// Parameter units: the texts of a value in its unit.
#include "fx/ParamUnits.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace vumo::fx
{
namespace
{

const std::string kMinus = "\xE2\x88\x92"; // U+2212, the typographic minus
const std::string kTimes = "\xC3\x97";     // U+00D7
const std::string kInfinity = "\xE2\x88\x9E";

constexpr double kFullScale = 32768.0;
constexpr double kRadiansPerStep = 1.0 / 262144.0; // 2^-18

template <typename... Args> std::string format(const char* pattern, Args... args)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, args...);
    return text;
}

// "+6.0", "0.0", "−6.0", "−∞" decibels of a ratio of amplitudes.
std::string decibels(double ratio)
{
    if (ratio <= 0.0)
        return kMinus + kInfinity;
    const double tenths = std::round(200.0 * std::log10(ratio));
    if (tenths == 0.0)
        return "0.0";
    return (tenths > 0.0 ? "+" : kMinus) + format("%.1f", std::fabs(tenths) / 10.0);
}

// x of the unit: whole frames for the times, exact otherwise.
double unitValue(const ParamUnit& unit, int32_t value)
{
    const int64_t top = int64_t(unit.scale) * value + unit.offset;
    const int64_t divisor = unit.divisor != 0 ? unit.divisor : 1;
    if (unit.kind == UnitKind::Millis || unit.kind == UnitKind::LoopMillis)
        return double(top / divisor);
    return double(top) / double(divisor);
}

std::string effectPanText(int32_t value)
{
    const int32_t p = value & 0xFF;
    if (p >= 128)
        return panText((255 - p) / 128.0, 1.0);
    return panText(1.0, p / 128.0);
}

std::string shiftText(int32_t value)
{
    const int32_t delay = 128 - value;
    if (delay == 0)
        return "none";
    const std::string side = delay > 0 ? "left" : "right";
    return side + " delayed " + timeText(std::abs(delay) / kFramesPerSecond);
}

} // namespace

std::string gainText(double factor)
{
    return kTimes + format("%.2f", factor) + " (" + decibels(factor) + " dB)";
}

std::string panText(double left, double right)
{
    const double louder = std::max(left, right);
    const double quieter = std::min(left, right);
    const int percent = louder > 0.0 ? int(100.0 * (1.0 - quieter / louder) + 1e-9) : 0;
    if (percent == 0)
        return "centre";
    return (left > right ? "L " : "R ") + std::to_string(percent) + " %";
}

std::string timeText(double seconds)
{
    const double ms = 1000.0 * seconds;
    if (ms == 0.0)
        return "0 ms";
    if (ms >= 1000.0)
        return format("%.2f s", seconds);
    return format(ms >= 10.0 ? "%.0f ms" : ms >= 1.0 ? "%.1f ms" : "%.2f ms", ms);
}

std::string hertzText(double hertz)
{
    if (hertz >= 1000.0)
        return format(hertz >= 10000.0 ? "%.1f kHz" : "%.2f kHz", hertz / 1000.0);
    return format(hertz >= 100.0 ? "%.0f Hz" : hertz >= 10.0 ? "%.1f Hz" : "%.2f Hz", hertz);
}

std::string unitText(const ParamUnit& unit, int32_t value)
{
    const double x = unitValue(unit, value);
    switch (unit.kind)
    {
    case UnitKind::None:
        return {};
    case UnitKind::Factor:
        return gainText(x);
    case UnitKind::Percent:
        return format("%.0f %%", 100.0 * x);
    case UnitKind::LoopMillis:
        if (x == 0.0)
            return "off";
        [[fallthrough]];
    case UnitKind::Millis:
        return timeText(x / kFramesPerSecond);
    case UnitKind::RateHertz:
        return hertzText(x * kRadiansPerStep * kFramesPerSecond / (2.0 * std::numbers::pi));
    case UnitKind::Hertz:
        return hertzText(x);
    case UnitKind::LevelDbfs:
        return decibels(x / kFullScale) + " dBFS";
    case UnitKind::Pan:
        return effectPanText(value);
    case UnitKind::Shift:
        return shiftText(value);
    }
    return {};
}

} // namespace vumo::fx
