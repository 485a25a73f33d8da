// EngineSession: the engine's open and closed state.
#include "engineapi/EngineSession.h"

#include "engineapi/EngineBinding.h"

namespace vumo
{

int32_t EngineSession::open(int32_t trackLength)
{
    m_premixSource.clear();
    const int32_t rc = m_engine.OpenLib(trackLength, 0);
    m_open = rc == 0;
    if (!m_open)
        m_engine.CloseLib();
    return rc;
}

int32_t EngineSession::close()
{
    m_open = false;
    m_premixSource.clear();
    return m_engine.CloseLib();
}

} // namespace vumo
