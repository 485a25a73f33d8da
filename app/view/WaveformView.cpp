// WaveformView: drawing, zoom window and mouse selection of the picture picView.
#include "view/WaveformView.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace vumo::view
{

WaveformView::WaveformView(const ModVumo& mod, SampleReader read, std::function<bool()> trackShown,
                           QWidget* parent)
    : QWidget(parent), m_mod(mod), m_read(std::move(read)), m_trackShown(std::move(trackShown)),
      m_image(1, 1, QImage::Format_RGB32)
{
    setObjectName(QStringLiteral("picView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 120);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_image.fill(kBackground);
}

ViewGeometry WaveformView::geometry() const
{
    ViewGeometry g;
    g.tscale = m_tscale;
    g.zoom = m_zoom;
    g.trkbegin = m_trkbegin;
    g.trackLength = m_mod.trackLength;
    g.width = m_image.width();
    g.height = m_image.height();
    return g;
}

void WaveformView::DrawTrack()
{
    TrackPicture pic;
    pic.geometry = geometry();
    pic.hscale = m_hscale;
    pic.tempo = m_mod.tempo;
    pic.selStart = m_selection.selStart;
    pic.selEnd = m_selection.selEnd;
    pic.overview = m_overview.get();
    renderTrack(m_image, pic, m_samplesShown ? m_read : SampleReader{});
    m_foreColor = kRed;
    update();
}

void WaveformView::DrawSelection()
{
    xorSelection(m_image, geometry(), m_selection.selStart, m_selection.selEnd);
    update();
}

void WaveformView::SelectAll()
{
    DrawSelection();
    m_selection.selStart = 0;
    m_selection.selEnd = m_mod.trackLength - 2;
    m_clipMode = 0;
    DrawSelection();
    emit selectionChanged();
}

void WaveformView::setScaleForTrack()
{
    m_tscale = static_cast<float>(static_cast<double>(m_mod.trackLength) / m_image.width());
}

void WaveformView::setViewWindow(int32_t zoom, int32_t trkbegin)
{
    m_zoom = zoom;
    m_trkbegin = trkbegin;
}

void WaveformView::setHeightScale()
{
    m_hscale = static_cast<float>(height() / 131072.0);
}

void WaveformView::drawCursor(int32_t x)
{
    xorLine(m_image, x, m_foreColor);
    update();
}

void WaveformView::paintEvent(QPaintEvent* /*event*/)
{
    QPainter p(this);
    p.drawImage(0, 0, m_image);
}

void WaveformView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (size() == m_image.size())
        return;
    // The picture takes the widget's size; its scales follow so a track always fills it.
    m_image = QImage(size(), QImage::Format_RGB32);
    m_hscale = static_cast<float>(m_image.height() / 131072.0);
    if (m_trackShown && m_trackShown())
        setScaleForTrack();
    DrawTrack();
}

int32_t WaveformView::frameAt(const QMouseEvent* event) const
{
    // A drag beyond the picture's edges selects up to the frame of the first or last column.
    const double lastColumn = m_image.width() - 1;
    const double x = std::clamp(roundEven(event->position().x()), 0.0, lastColumn);
    return XToSample(x, geometry());
}

void WaveformView::mousePressEvent(QMouseEvent* event)
{
    m_clipMode = 1;
    DrawSelection();
    m_selection.selStart = m_selection.selEnd = frameAt(event);
    DrawSelection();
    emit selectionChanged();
}

void WaveformView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_clipMode != 1)
        return;
    DrawSelection();
    m_selection.selEnd = frameAt(event);
    DrawSelection();
    emit selectionChanged();
}

void WaveformView::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_clipMode != 1)
        return;
    const int32_t p = frameAt(event);
    m_selection.selEnd = p;
    if (p < m_selection.selStart)
    {
        m_selection.selEnd = m_selection.selStart;
        m_selection.selStart = p;
    }
    m_clipMode = 0;
    emit selectionChanged();
}

} // namespace vumo::view
