// Reading the audio backend setting, shared by the Linux and the Windows selection: the
// platform's real backend, the virtual devices, or auto.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>

namespace platform
{

enum class BackendChoice
{
    Real,
    Virtual,
    Auto
};

// realName or "virtual" in any letter case in VUMO_AUDIO_BACKEND; unset, "auto" and anything
// else mean auto. Read at every call.
inline BackendChoice audioBackendChoice(const char* realName)
{
    const char* text = std::getenv("VUMO_AUDIO_BACKEND");
    std::string value = text != nullptr ? text : "";
    std::transform(value.begin(), value.end(), value.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (value == realName)
        return BackendChoice::Real;
    if (value == "virtual")
        return BackendChoice::Virtual;
    return BackendChoice::Auto;
}

} // namespace platform
