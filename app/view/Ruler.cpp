// Ruler: the steps, marks and labels of the time scale, and the status bar's time texts.
#include "view/Ruler.h"

#include "view/WaveformView.h"

#include <QPainter>

#include <cmath>

namespace vumo::view
{
namespace
{

constexpr double kFramesPerMs = 44.1;

// Labelled steps in ms, each with the number of parts its smaller marks cut it into.
struct Step
{
    int64_t ms;
    int parts;
};
constexpr Step kSteps[] = {
    {1, 1},      {2, 2},      {5, 5},       {10, 5},      {20, 2},     {50, 5},
    {100, 5},    {200, 2},    {500, 5},     {1000, 5},    {2000, 2},   {5000, 5},
    {10000, 5},  {15000, 3},  {30000, 3},   {60000, 4},   {120000, 4}, {300000, 5},
    {600000, 5}, {900000, 3}, {1800000, 3}, {3600000, 4},
};

// The least distance between two smaller marks, in columns.
constexpr double kMinMarkSpacing = 4.0;

const Step& stepFor(double framesPerColumn, double minSpacing)
{
    for (const Step& s : kSteps)
        if (double(s.ms) * kFramesPerMs / framesPerColumn >= minSpacing)
            return s;
    return kSteps[std::size(kSteps) - 1];
}

double framesPerColumn(const ViewGeometry& g)
{
    return g.zoom > 1 ? g.tscale / g.zoom : g.tscale;
}

} // namespace

int64_t rulerStepMs(double framesPerColumn, double minSpacing)
{
    return stepFor(framesPerColumn, minSpacing).ms;
}

std::vector<RulerMark> rulerMarks(const ViewGeometry& g, double minSpacing)
{
    std::vector<RulerMark> marks;
    const double fpc = framesPerColumn(g);
    if (!(fpc > 0) || g.width < 1)
        return marks;
    const Step& step = stepFor(fpc, minSpacing);
    // The smaller marks only when they stand apart; else the labelled ones alone.
    const int parts =
        double(step.ms / step.parts) * kFramesPerMs / fpc >= kMinMarkSpacing ? step.parts : 1;
    const double markMs = double(step.ms) / parts;
    const double lastColumn = roundEven(g.width - 1);
    const double firstMs = g.trkbegin / kFramesPerMs;
    const double lastMs = (g.trkbegin + fpc * lastColumn) / kFramesPerMs;
    for (int64_t i = int64_t(std::ceil(firstMs / markMs)); double(i) * markMs <= lastMs; ++i)
    {
        const int64_t ms = int64_t(std::llround(double(i) * markMs));
        const double x = roundEven((double(ms) * kFramesPerMs - g.trkbegin) / fpc);
        if (x < 0 || x > lastColumn)
            continue;
        marks.push_back({int32_t(x), ms, i % parts == 0});
    }
    return marks;
}

QString rulerLabel(int64_t ms, int64_t stepMs)
{
    const QString whole =
        QStringLiteral("%1:%2").arg(ms / 60000).arg((ms / 1000) % 60, 2, 10, QLatin1Char('0'));
    const int digits = stepMs % 1000 == 0 ? 0 : stepMs % 100 == 0 ? 1 : stepMs % 10 == 0 ? 2 : 3;
    if (digits == 0)
        return whole;
    const int64_t fraction = (ms % 1000) / int64_t(std::pow(10, 3 - digits));
    return whole + QStringLiteral(".%1").arg(fraction, digits, 10, QLatin1Char('0'));
}

QString timeText(int64_t frames)
{
    const int64_t ms = frames * 1000 / 44100;
    return QStringLiteral("%1:%2.%3")
        .arg(ms / 60000)
        .arg((ms / 1000) % 60, 2, 10, QLatin1Char('0'))
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

QString selectionText(int32_t selStart, int32_t selEnd)
{
    auto part = [](const char* name, int64_t frames)
    { return QStringLiteral("%1 %2 (%3)").arg(QLatin1String(name), timeText(frames)).arg(frames); };
    return part("Start", selStart) + QStringLiteral("   ") + part("End", selEnd) +
           QStringLiteral("   ") + part("Length", int64_t(selEnd) - selStart);
}

QString positionText(int32_t frame)
{
    return QStringLiteral("Position %1 (%2)").arg(timeText(frame)).arg(frame);
}

Ruler::Ruler(const WaveformView& view, QWidget* parent) : QWidget(parent), m_view(view)
{
    setObjectName(QStringLiteral("picRuler"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

double Ruler::labelSpacing() const
{
    return fontMetrics().horizontalAdvance(QStringLiteral("00:00.000")) + 12;
}

QSize Ruler::sizeHint() const
{
    return {200, fontMetrics().height() + 8};
}

void Ruler::paintEvent(QPaintEvent* /*event*/)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const ViewGeometry g = m_view.geometry();
    // The selection as a band, where the picture highlights it.
    const Selection& sel = m_view.selection();
    const int xs = SampleToX(sel.selStart, g);
    const int xe = SampleToX(sel.selEnd, g);
    if (g.tscale > 0)
        p.fillRect(QRect(std::min(xs, xe), height() - 5, std::abs(xe - xs) + 1, 5),
                   QColor(16, 96, 64));
    p.setPen(palette().color(QPalette::WindowText));
    p.drawLine(0, height() - 1, width(), height() - 1);
    const double spacing = labelSpacing();
    const int64_t stepMs = rulerStepMs(g.zoom > 1 ? g.tscale / g.zoom : g.tscale, spacing);
    for (const RulerMark& m : rulerMarks(g, spacing))
    {
        const int top = m.labelled ? height() / 2 : height() - 4;
        p.drawLine(m.x, top, m.x, height() - 1);
        if (m.labelled)
            p.drawText(QRect(m.x + 3, 0, int(spacing), height() / 2 + 4),
                       Qt::AlignLeft | Qt::AlignVCenter, rulerLabel(m.ms, stepMs));
    }
}

} // namespace vumo::view
