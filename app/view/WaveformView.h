// WaveformView: the picture picView that shows the current track and holds the selection.
#pragma once

#include "state/FrmVumoVars.h"
#include "state/ModVumo.h"
#include "view/TrackRenderer.h"

#include <QImage>
#include <QWidget>

namespace vumo::view
{

// Draws into a persistent image, so the XOR highlight and play cursor survive repaints;
// paintEvent only copies the image to the screen.
class WaveformView : public QWidget
{
    Q_OBJECT

public:
    // mod: selection, track length and tempo; vars: zoom, scales, first frame, mouse flag;
    // read: the current track's samples (the engine's TrackRead).
    WaveformView(ModVumo& mod, FrmVumoVars& vars, SampleReader read, QWidget* parent = nullptr);

    // The geometry of the picture as the maths see it now.
    ViewGeometry geometry() const;
    const QImage& picture() const { return m_image; }

    void DrawTrack();
    void DrawSelection();
    void SelectAll();
    // Sets tscale from the track length and the picture width (when the engine opens).
    void setScaleForTrack();
    // XORs the play cursor line at column x in the current fore colour (twice erases it).
    void drawCursor(int32_t x);

    QSize sizeHint() const override { return {800, 300}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int32_t frameAt(const QMouseEvent* event) const;

    ModVumo& m_mod;
    FrmVumoVars& m_vars;
    SampleReader m_read;
    QImage m_image;
    QColor m_foreColor = kRed; // the picture's pen after a redraw
};

} // namespace vumo::view
