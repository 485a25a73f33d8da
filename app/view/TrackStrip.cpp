// TrackStrip: the rows of the track strip, their overviews and the click that asks for a track.
#include "view/TrackStrip.h"

#include "view/Overviews.h"
#include "view/ViewColours.h"

#include <QFile>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace vumo::view
{
namespace
{

const QColor kCurrentRow{214, 228, 248};
const QColor kCurrentMark{40, 96, 200};
const QColor kOverviewBack{0, 0, 0};
const QColor kMutedWave{120, 120, 120};
const QColor kMuteOn{200, 40, 40};

} // namespace

FrameSpan overviewColumn(const TrackOverview& overview, int64_t trackLength, int column,
                         int columns)
{
    if (columns <= 0 || trackLength <= 0)
        return {};
    const int64_t first = trackLength * column / columns;
    const int64_t end = std::max(trackLength * (column + 1) / columns, first + 1);
    return overview.span(first / kOverviewBlockFrames, (end - 1) / kOverviewBlockFrames);
}

TrackStrip::TrackStrip(const ModVumo& mod, Overviews& overviews, QWidget* parent)
    : QWidget(parent), m_mod(mod), m_overviews(overviews)
{
    setObjectName(QStringLiteral("trackStrip"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    setMinimumWidth(StripLayout::kWidth);
    connect(&m_overviews, &Overviews::updated, this, &TrackStrip::overviewChanged);
    connect(&m_overviews, &Overviews::changedOutside, this, &TrackStrip::changedOutside);
}

QString TrackStrip::trackFile(int k) const
{
    if (k < 0 || k >= m_mod.trackCount)
        return {};
    return QFile::decodeName(m_mod.tracks[size_t(k)].fileName.text());
}

QString TrackStrip::rowText(int k) const
{
    if (k < 0 || k >= m_mod.trackCount)
        return {};
    const TrackRecord& t = m_mod.tracks[size_t(k)];
    return QStringLiteral("%1: %2volume %3, pan %4")
        .arg(t.title.trimmed(), t.mute == 1 ? QStringLiteral("muted, ") : QString())
        .arg(t.volume)
        .arg(t.pan);
}

void TrackStrip::refresh(int current)
{
    m_current = current;
    QStringList files;
    for (int k = 0; k < m_mod.trackCount; ++k)
        if (const QString file = trackFile(k); !file.isEmpty())
            files << file;
    m_overviews.follow(files);
    update();
}

int TrackStrip::rowHeight() const
{
    const int rows = std::max<int>(m_mod.trackCount, 1);
    return std::clamp(height() / rows, StripLayout::kMinRowHeight, StripLayout::kMaxRowHeight);
}

QRect TrackStrip::rowRect(int k) const
{
    const int h = rowHeight();
    return {0, k * h, width(), h};
}

int TrackStrip::rowAt(const QPoint& point) const
{
    const int k = point.y() / rowHeight();
    return point.y() >= 0 && k < m_mod.trackCount ? k : -1;
}

void TrackStrip::overviewChanged(const QString& path)
{
    for (int k = 0; k < m_mod.trackCount; ++k)
        if (trackFile(k) == path)
            update(rowRect(k));
}

void TrackStrip::changedOutside(const QString& path)
{
    for (int k = 0; k < m_mod.trackCount; ++k)
        if (trackFile(k) == path)
            emit fileChangedOutside(k, path);
}

void TrackStrip::paintEvent(QPaintEvent* /*event*/)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    for (int k = 0; k < m_mod.trackCount; ++k)
        paintRow(p, k);
}

void TrackStrip::paintRow(QPainter& p, int k)
{
    const TrackRecord& t = m_mod.tracks[size_t(k)];
    const QRect row = rowRect(k).adjusted(0, 0, 0, -1);
    const bool current = k == m_current;
    if (current)
    {
        p.fillRect(row, kCurrentRow);
        p.fillRect(row.left(), row.top(), 4, row.height(), kCurrentMark);
    }
    p.setPen(isEnabled() ? palette().color(QPalette::WindowText) : palette().color(QPalette::Mid));
    QFont font = p.font();
    font.setBold(current);
    p.setFont(font);
    const QRect title(StripLayout::kTitleLeft, row.top(),
                      StripLayout::kMuteLeft - StripLayout::kTitleLeft - 2, row.height());
    p.drawText(title, Qt::AlignVCenter | Qt::AlignLeft,
               p.fontMetrics().elidedText(t.title.trimmed(), Qt::ElideRight, title.width()));
    font.setBold(true);
    p.setFont(font);
    // The mute box: a filled "M" when the track is left out of the mix.
    const QRect mute(StripLayout::kMuteLeft, row.center().y() - 7, 14, 14);
    const bool muted = t.mute == 1;
    p.fillRect(mute, muted ? kMuteOn : palette().color(QPalette::Base));
    p.setPen(muted ? Qt::white : palette().color(QPalette::Mid));
    p.drawRect(mute.adjusted(0, 0, -1, -1));
    p.drawText(mute, Qt::AlignCenter, QStringLiteral("M"));
    // The volume as a bar, 0 to 255.
    const QRect volume(StripLayout::kVolumeLeft, row.center().y() - 3, StripLayout::kVolumeWidth,
                       6);
    p.fillRect(volume, palette().color(QPalette::Base));
    p.fillRect(volume.adjusted(0, 0, -volume.width() + volume.width() * t.volume / 255, 0),
               kCurrentMark);
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(volume.adjusted(0, 0, -1, -1));
    paintOverview(p,
                  QRect(StripLayout::kOverviewLeft, row.top() + 2,
                        width() - StripLayout::kOverviewLeft - 4, row.height() - 4),
                  k);
}

void TrackStrip::paintOverview(QPainter& p, const QRect& box, int k)
{
    p.fillRect(box, kOverviewBack);
    const int centre = box.center().y();
    p.fillRect(box.left(), centre, box.width(), 1, kBlue);
    const auto overview = m_overviews.find(trackFile(k));
    if (!overview || box.width() <= 0)
        return; // still being read
    if (!overview->failure.isEmpty())
    {
        p.setPen(kMutedWave);
        p.drawText(box, Qt::AlignCenter, QStringLiteral("no samples"));
        return;
    }
    const QColor colour = m_mod.tracks[size_t(k)].mute == 1 ? kMutedWave : kRed;
    const double half = box.height() / 2.0;
    const int64_t length = m_mod.trackLength > 0 ? m_mod.trackLength : overview->frames;
    for (int c = 0; c < box.width(); ++c)
    {
        const FrameSpan s = overviewColumn(*overview, length, c, box.width());
        const int high = std::max(s.highL, s.highR);
        const int low = std::min(s.lowL, s.lowR);
        if (!s.any || (high == 0 && low == 0))
            continue;
        const int top = centre - int(high * half / 32768.0);
        const int bottom = centre - int(low * half / 32768.0);
        p.fillRect(box.left() + c, top, 1, std::max(bottom - top, 1), colour);
    }
}

void TrackStrip::mousePressEvent(QMouseEvent* event)
{
    const int k = rowAt(event->position().toPoint());
    if (k >= 0 && event->button() == Qt::LeftButton)
        emit trackClicked(k);
}

bool TrackStrip::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const int k = rowAt(help->pos());
    if (k < 0)
    {
        QToolTip::hideText();
        return true;
    }
    QToolTip::showText(help->globalPos(), rowText(k) + u'\n' + trackFile(k), this, rowRect(k));
    return true;
}

} // namespace vumo::view
