// FxEngine: the engine calls the effect dialog and the chain window make, as one small
// interface, so they can run over the real engine or a test double.
#pragma once

#include <cstdint>

namespace vumo::fx
{

class FxEngine
{
public:
    virtual ~FxEngine() = default;
    virtual int32_t FXIt(int32_t code, int32_t firstFrame, int32_t lastFrame, int32_t p1,
                         int32_t p2, int32_t p3) = 0;
    virtual int32_t FilterGraph(int32_t operation, int32_t firstFrame, int32_t lastFrame) = 0;
    virtual int32_t TrackRead(int32_t sampleIndex) = 0;
    virtual int32_t TrackWrite(int32_t sampleIndex, int32_t value) = 0;
    virtual int32_t IsPlaying() = 0;
    virtual int32_t GetPosition() = 0;
    virtual int32_t SetTrackAttr(int32_t track, int32_t volume, int32_t pan) = 0;
};

// An FxEngine over any object with the exports as member functions of the same names (the
// studio's engine table).
template <typename Api> class FxEngineOver : public FxEngine
{
public:
    explicit FxEngineOver(Api& api) : m_api(api) {}
    int32_t FXIt(int32_t code, int32_t firstFrame, int32_t lastFrame, int32_t p1, int32_t p2,
                 int32_t p3) override
    {
        return m_api.FXIt(code, firstFrame, lastFrame, p1, p2, p3);
    }
    int32_t FilterGraph(int32_t operation, int32_t firstFrame, int32_t lastFrame) override
    {
        return m_api.FilterGraph(operation, firstFrame, lastFrame);
    }
    int32_t TrackRead(int32_t sampleIndex) override { return m_api.TrackRead(sampleIndex); }
    int32_t TrackWrite(int32_t sampleIndex, int32_t value) override
    {
        return m_api.TrackWrite(sampleIndex, value);
    }
    int32_t IsPlaying() override { return m_api.IsPlaying(); }
    int32_t GetPosition() override { return m_api.GetPosition(); }
    int32_t SetTrackAttr(int32_t track, int32_t volume, int32_t pan) override
    {
        return m_api.SetTrackAttr(track, volume, pan);
    }

private:
    Api& m_api;
};

} // namespace vumo::fx
