// The engine's trace log: when OpenLib's log flag is set, each step appends an entry to a
// text file, opening and closing it for every entry; an entry that cannot be written is
// dropped. The file is VUMO_LOG when set, else "vumo.log" in the temp folder (on Windows the
// folder GetTempPath names).
#pragma once

#include <cstdint>
#include <string>

namespace wavorn
{

// The log file's path as chosen above.
std::string traceLogPath();
// Appends text (which ends in its own newline) when logging is on.
void logText(const char* text);
// Appends value as eight upper-case hex digits and a carriage return when logging is on.
void logHex(uint32_t value);

} // namespace wavorn
