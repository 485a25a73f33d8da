// PhysicalMemory: the machine's total and available physical memory, for the memory check of
// the Project Settings dialog and the main window's memory label.
#pragma once

#include <QString>

#include <cstdint>

namespace vumo
{

struct MemoryStatus
{
    uint64_t totalBytes = 0;     // physical memory of the machine
    uint64_t availableBytes = 0; // physical memory free for new allocations
};

// Reads /proc/meminfo (MemTotal, MemAvailable) where it exists, else asks sysconf for the
// physical pages; a figure that cannot be found is 0.
MemoryStatus physicalMemory();

// The figures of a /proc/meminfo text ("MemTotal:  16318480 kB" lines); MemFree stands in for
// a missing MemAvailable (kernels before 3.14).
MemoryStatus parseMemInfo(const QString& text);

// Bytes as whole MB (1048576 bytes), rounded to the nearest, halves to even.
int64_t bytesToRoundedMB(uint64_t bytes);

} // namespace vumo
