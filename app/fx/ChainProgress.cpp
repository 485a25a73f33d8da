// ChainProgress: the progress picture of the chain window.
#include "fx/ChainProgress.h"

#include <QPainter>

namespace vumo::fx
{

int progressRight(int k, int count, int innerWidth)
{
    const int w = innerWidth / (count + 1);
    return k * w + w;
}

ChainProgress::ChainProgress(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setMinimumHeight(16);
}

void ChainProgress::clear()
{
    m_right = -1;
    repaint();
}

void ChainProgress::step(int k, int count)
{
    m_right = progressRight(k, count, contentsRect().width());
    repaint();
}

void ChainProgress::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    const QRect inner = contentsRect();
    QPainter p(this);
    p.fillRect(inner, Qt::white);
    if (m_right >= 0)
        p.fillRect(QRect(inner.topLeft(), QPoint(inner.left() + m_right, inner.bottom() - 1)),
                   Qt::black);
}

} // namespace vumo::fx
