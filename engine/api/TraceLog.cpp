// The trace log: one append per entry, so the file is complete whenever the engine stops.
#include "TraceLog.h"

#include "Engine.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace wavorn
{

std::string traceLogPath()
{
    if (const char* env = std::getenv("VUMO_LOG"); env && *env)
        return env;
#if defined(_WIN32)
    // The user's temp folder, as a text of the system's code page like every path here; the
    // root of drive C is not writable for most users.
    char folder[MAX_PATH + 1];
    const DWORD n = GetTempPathA(sizeof folder, folder);
    return std::string(n > 0 && n < sizeof folder ? folder : "C:\\") + "vumo.log";
#else
    std::error_code ec;
    const auto dir = std::filesystem::temp_directory_path(ec);
    return ((ec ? std::filesystem::path("/tmp") : dir) / "vumo.log").string();
#endif
}

namespace
{

void append(const char* text)
{
    // Text mode, so a newline becomes the platform's line end, as a text log should.
    if (std::FILE* f = std::fopen(traceLogPath().c_str(), "a"))
    {
        std::fputs(text, f);
        std::fclose(f);
    }
}

} // namespace

void logText(const char* text)
{
    if (engine().logging)
        append(text);
}

void logHex(uint32_t value)
{
    if (!engine().logging)
        return;
    char text[16];
    std::snprintf(text, sizeof text, "%08X\r", unsigned(value));
    append(text);
}

} // namespace wavorn
