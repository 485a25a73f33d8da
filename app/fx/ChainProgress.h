// ChainProgress: the chain window's progress picture (picProgress), a black box growing from
// the left as the chain's effects are done.
#pragma once

#include <QFrame>

namespace vumo::fx
{

// The right edge of the box after step k of a chain of count effects (step 0: the unprocessed
// copy taken): w = innerWidth / (count + 1), whole, and the box reaches k * w + w.
int progressRight(int k, int count, int innerWidth);

class ChainProgress : public QFrame
{
    Q_OBJECT

public:
    explicit ChainProgress(QWidget* parent = nullptr);

    void clear();
    // Draws the box for step k of count at once (the work that follows blocks the window).
    void step(int k, int count);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_right = -1;
};

} // namespace vumo::fx
