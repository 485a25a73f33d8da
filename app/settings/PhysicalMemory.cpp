// PhysicalMemory: total and available physical memory from the platform.
#include "settings/PhysicalMemory.h"

#include <QFile>
#include <QRegularExpression>

#include <cmath>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif
#if defined(Q_OS_WIN)
#include <windows.h>
#endif

namespace vumo
{
namespace
{

uint64_t kibValue(const QString& text, const QString& key, bool& found)
{
    const QRegularExpression line(QStringLiteral("^%1:\\s*(\\d+)\\s*kB").arg(key),
                                  QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = line.match(text);
    found = m.hasMatch();
    return found ? m.captured(1).toULongLong() * 1024u : 0u;
}

} // namespace

MemoryStatus parseMemInfo(const QString& text)
{
    MemoryStatus s;
    bool found = false;
    s.totalBytes = kibValue(text, QStringLiteral("MemTotal"), found);
    s.availableBytes = kibValue(text, QStringLiteral("MemAvailable"), found);
    if (!found)
        s.availableBytes = kibValue(text, QStringLiteral("MemFree"), found);
    return s;
}

MemoryStatus physicalMemory()
{
#if defined(Q_OS_WIN)
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    if (GlobalMemoryStatusEx(&status))
        return {status.ullTotalPhys, status.ullAvailPhys};
    return {};
#else
    QFile info(QStringLiteral("/proc/meminfo"));
    if (info.open(QIODevice::ReadOnly | QIODevice::Text))
    {
        const MemoryStatus s = parseMemInfo(QString::fromLatin1(info.readAll()));
        if (s.totalBytes > 0)
            return s;
    }
    MemoryStatus s;
#if defined(_SC_PHYS_PAGES) && defined(_SC_PAGESIZE)
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0)
        s.totalBytes = static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize);
#if defined(_SC_AVPHYS_PAGES)
    const long freePages = sysconf(_SC_AVPHYS_PAGES);
    if (freePages > 0 && pageSize > 0)
        s.availableBytes = static_cast<uint64_t>(freePages) * static_cast<uint64_t>(pageSize);
#endif
#endif
    return s;
#endif
}

int64_t bytesToRoundedMB(uint64_t bytes)
{
    return static_cast<int64_t>(std::nearbyint(static_cast<double>(bytes) / 1048576.0));
}

} // namespace vumo
