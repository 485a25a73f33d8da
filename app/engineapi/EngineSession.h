// EngineSession: whether the engine is open for the project, and the two calls that open and
// close it. Commands ask the session instead of keeping a flag of their own.
#pragma once

#include <QByteArray>

#include <cstdint>

namespace vumo
{

class EngineBinding;

class EngineSession
{
public:
    explicit EngineSession(EngineBinding& engine) : m_engine(engine) {}

    EngineBinding& engine() const { return m_engine; }
    // True from a successful OpenLib to the next CloseLib (bInitLib).
    bool isOpen() const { return m_open; }
    // OpenLib for tracks of trackLength frames; a refused open is closed again at once and
    // leaves the session closed. Returns OpenLib's result.
    int32_t open(int32_t trackLength);
    // CloseLib; the session is closed afterwards whatever the result. Returns CloseLib's result.
    int32_t close();

    // What the engine's premix of the other tracks was built from at the last reloading track
    // switch (their files and gains); empty when unknown (the engine opened or closed since).
    const QByteArray& premixSource() const { return m_premixSource; }
    void setPremixSource(const QByteArray& source) { m_premixSource = source; }

private:
    EngineBinding& m_engine;
    bool m_open = false;
    QByteArray m_premixSource;
};

} // namespace vumo
