// Transport: the timer that follows a pass of the engine and says when it ends.
#include "engineapi/Transport.h"

#include "engineapi/EngineBinding.h"

#include <QEventLoop>

namespace vumo
{

Transport::Transport(EngineBinding& engine, QObject* parent)
    : Transport(Probe{[&engine] { return engine.IsPlaying() != 0; },
                      [&engine] { return engine.GetPosition(); }},
                parent)
{
}

Transport::Transport(Probe probe, QObject* parent) : QObject(parent), m_probe(std::move(probe))
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
    if (!m_probe.playing())
    {
        finish();
        return;
    }
    const int32_t frame = m_start + m_probe.played();
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
