// TrackStrip: every track of the project in view beside the waveform, one row each with its
// title, mute state, volume and an overview of its file; a click on a row asks for that track.
#pragma once

#include "model/ModVumo.h"
#include "view/Overview.h"

#include <QWidget>

namespace vumo::view
{

class Overviews;

// The columns of a row, in pixels from the strip's left edge.
struct StripLayout
{
    static constexpr int kTitleLeft = 8;
    static constexpr int kMuteLeft = 80;
    static constexpr int kVolumeLeft = 98;
    static constexpr int kVolumeWidth = 28;
    static constexpr int kOverviewLeft = 132;
    static constexpr int kWidth = 290;
    static constexpr int kMinRowHeight = 16;
    static constexpr int kMaxRowHeight = 56;
};

// The span shown in column c of an overview drawn `columns` wide over a track of trackLength
// frames: the blocks of frames [c L / columns, (c + 1) L / columns).
FrameSpan overviewColumn(const TrackOverview& overview, int64_t trackLength, int column,
                         int columns);

class TrackStrip : public QWidget
{
    Q_OBJECT

public:
    TrackStrip(const ModVumo& mod, Overviews& overviews, QWidget* parent = nullptr);

    // Reads the track table again (titles, mutes, volumes, files), marks row `current` (-1:
    // none) and hands the files to the overviews: a change of a file found now is the
    // studio's own.
    void refresh(int current);
    int current() const { return m_current; }
    int rowCount() const { return m_mod.trackCount; }
    // Row k's rectangle; the row under a point, -1 for none.
    QRect rowRect(int k) const;
    int rowAt(const QPoint& point) const;
    // What row k shows, in words (its tool tip): "t2: muted, volume 100, pan 127".
    QString rowText(int k) const;
    // The file shown in row k, as the engine is handed it.
    QString trackFile(int k) const;

    QSize sizeHint() const override { return {StripLayout::kWidth, 300}; }
    QSize minimumSizeHint() const override { return {StripLayout::kWidth, 60}; }

signals:
    // Row k was clicked.
    void trackClicked(int k);
    // The file of track k was written by another program (its overview is redrawn once it has
    // been read again). Whatever the studio keeps about that file's past (undo steps) no
    // longer matches it.
    void fileChangedOutside(int track, const QString& path);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    int rowHeight() const;
    void paintRow(QPainter& p, int k);
    void paintOverview(QPainter& p, const QRect& box, int k);
    void overviewChanged(const QString& path);
    void changedOutside(const QString& path);

    const ModVumo& m_mod;
    Overviews& m_overviews;
    int m_current = -1;
};

} // namespace vumo::view
