// WaveformView: the picture picView that shows the current track and holds the selection.
#pragma once

#include "model/ModVumo.h"
#include "view/Selection.h"
#include "view/TrackRenderer.h"
#include "view/ViewColours.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>

namespace vumo::view
{

// Draws into a persistent image, so the XOR highlight and play cursor survive repaints;
// paintEvent only copies the image to the screen.
class WaveformView : public QWidget
{
    Q_OBJECT

public:
    // mod: track length and tempo; read: the current track's samples (the engine's
    // TrackRead); trackShown: whether a track is loaded (the engine is open).
    WaveformView(const ModVumo& mod, SampleReader read, std::function<bool()> trackShown,
                 QWidget* parent = nullptr);

    // The geometry of the picture as the maths see it now.
    ViewGeometry geometry() const;
    const QImage& picture() const { return m_image; }

    // The view's scales: frames per column at zoom 1, height per sample unit, the zoom factor
    // (1 ... 256) and the first visible frame.
    float tscale() const { return m_tscale; }
    float hscale() const { return m_hscale; }
    int32_t zoom() const { return m_zoom; }
    int32_t trkbegin() const { return m_trkbegin; }
    // The selection the mouse makes and the commands act on.
    Selection& selection() { return m_selection; }
    const Selection& selection() const { return m_selection; }
    // 1 while the mouse button is down in the picture.
    int16_t clipMode() const { return m_clipMode; }
    // The zoom window: zoom factor and first visible frame.
    void setViewWindow(int32_t zoom, int32_t trkbegin);
    // Sets hscale from the picture's height.
    void setHeightScale();

    void DrawTrack();
    // Whether DrawTrack shows the samples: not while no track is chosen (after Delete the
    // engine still holds the deleted track), when only the ticks and centre lines show.
    void setSamplesShown(bool shown) { m_samplesShown = shown; }
    // The overview of the file the buffer holds unchanged, which spares DrawTrack reading every
    // frame; null when the buffer may differ from every overview (edits, no file read yet).
    void setOverview(std::shared_ptr<const TrackOverview> overview)
    {
        m_overview = std::move(overview);
    }
    const TrackOverview* overview() const { return m_overview.get(); }
    void DrawSelection();
    void SelectAll();
    // Sets tscale from the track length and the picture width (when the engine opens).
    void setScaleForTrack();
    // XORs the play cursor line at column x in the current fore colour (twice erases it).
    void drawCursor(int32_t x);

    QSize sizeHint() const override { return {800, 300}; }

signals:
    // The mouse or Select All changed the selection.
    void selectionChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int32_t frameAt(const QMouseEvent* event) const;

    const ModVumo& m_mod;
    SampleReader m_read;
    std::function<bool()> m_trackShown;
    bool m_samplesShown = true;
    float m_tscale = 0.0f;
    float m_hscale = 0.0f;
    int32_t m_zoom = 1;
    int32_t m_trkbegin = 0;
    int16_t m_clipMode = 0;
    Selection m_selection;
    QImage m_image;
    QColor m_foreColor = kRed; // the picture's pen after a redraw
    std::shared_ptr<const TrackOverview> m_overview;
};

} // namespace vumo::view
