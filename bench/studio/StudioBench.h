// What the studio's timing programs share: the offscreen platform without its notes about window
// features (they would drown the figures), and the median of a set of runs.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace vumo::bench
{

// Call before the QApplication is made.
inline void useQuietOffscreen()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext&, const QString& text)
        {
            if (type != QtWarningMsg && type != QtDebugMsg && type != QtInfoMsg)
                std::fprintf(stderr, "%s\n", qPrintable(text));
        });
}

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace vumo::bench
