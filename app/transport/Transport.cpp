// Transport: the timer that follows a pass of the engine.
#include "transport/Transport.h"

#include "engineapi/EngineBinding.h"

#include <QEventLoop>

namespace vumo
{

Transport::Transport(EngineBinding& engine, QObject* parent) : QObject(parent), m_engine(engine)
{
    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, &Transport::tick);
}

void Transport::follow(int32_t start, int32_t end)
{
    if (m_running)
        finish();
    m_start = start;
    m_end = end;
    m_running = true;
    emit started();
    m_timer.start();
    tick(); // the first look is at once: an empty selection ends here
}

void Transport::stop()
{
    if (m_running)
        finish();
}

void Transport::waitForFinished()
{
    if (!m_running)
        return;
    QEventLoop loop;
    connect(this, &Transport::finished, &loop, &QEventLoop::quit);
    loop.exec();
}

void Transport::tick()
{
    if (!m_running)
        return;
    if (m_engine.IsPlaying() == 0)
    {
        finish();
        return;
    }
    const int32_t frame = m_start + m_engine.GetPosition();
    emit position(frame);
    if (m_end <= frame)
        finish();
}

void Transport::finish()
{
    m_timer.stop();
    m_running = false;
    emit finished();
}

} // namespace vumo
