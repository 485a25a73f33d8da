// ProjectModel: the project (modVumo) as an object that tells its changes. The track controls
// and the commands (and the mixer) edit a track's gains through it and follow each other.
#pragma once

#include "model/ModVumo.h"

#include <QObject>

namespace vumo
{

class ProjectModel : public QObject
{
    Q_OBJECT

public:
    explicit ProjectModel(ModVumo& mod, QObject* parent = nullptr) : QObject(parent), m_mod(mod) {}

    ModVumo& mod() const { return m_mod; }

    // Sets track k's volume, pan and mute; trackGainsChanged tells a change. A track outside
    // the table is left alone.
    void setTrackGains(int k, int16_t volume, int16_t pan, int16_t mute);
    void setVolume(int k, int value);
    void setPan(int k, int value);
    void setMute(int k, bool on);

signals:
    void trackGainsChanged(int track);

private:
    ModVumo& m_mod;
};

} // namespace vumo
