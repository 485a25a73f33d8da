// Ruler: the time scale above the waveform in minutes and seconds, at any zoom, with its
// labels at round steps that never crowd each other; and the time texts of the status bar.
#pragma once

#include "view/ViewMath.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <vector>

namespace vumo::view
{

class WaveformView;

// One mark of the ruler: a labelled step or a smaller mark between two of them.
struct RulerMark
{
    int32_t x = 0;  // column in the picture
    int64_t ms = 0; // time of the mark
    bool labelled = false;
};

// The step between labelled marks, in ms: the smallest of 1, 2, 5, 10, 20, 50, 100, 200,
// 500 ms, 1, 2, 5, 10, 15, 30 s, 1, 2, 5, 10, 15, 30 min and 1 h whose marks lie at least
// minSpacing columns apart (the largest when none does).
int64_t rulerStepMs(double framesPerColumn, double minSpacing);
// The marks inside the picture for its present zoom window, in order of time.
std::vector<RulerMark> rulerMarks(const ViewGeometry& g, double minSpacing);
// A mark's label, as fine as its step needs: "1:05" for whole seconds, "0:01.5", "0:00.25",
// "0:00.125".
QString rulerLabel(int64_t ms, int64_t stepMs);

// Frames as m:ss.mmm (the milliseconds truncated; the minutes go past 59).
QString timeText(int64_t frames);
// "Start 0:01.000 (44100)   End 0:02.500 (110250)   Length 0:01.500 (66150)".
QString selectionText(int32_t selStart, int32_t selEnd);
// "Position 0:01.000 (44100)".
QString positionText(int32_t frame);

class Ruler : public QWidget
{
    Q_OBJECT

public:
    explicit Ruler(const WaveformView& view, QWidget* parent = nullptr);

    // The least distance between two labels in pixels: the widest label and a gap.
    double labelSpacing() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const WaveformView& m_view;
};

} // namespace vumo::view
