// LoadSettings / SaveSettings: sections "AddIns" and "Settings" under the application "Vumo".
#include "settings/Settings.h"

#include <QSettings>

#include <limits>

namespace vumo
{
namespace
{

const QString kMixerKey = QStringLiteral("AddIns/Audio Mixer");
const QString kSequencerKey = QStringLiteral("AddIns/Midi Sequencer");
const QString kMidiInKey = QStringLiteral("Settings/Midi In Device");
const QString kBufLenKey = QStringLiteral("Settings/Midi In BufLen");
const QString kTrackLenKey = QStringLiteral("Settings/Default Track Length");
const QString kOwnBrowserKey = QStringLiteral("Settings/Own File Browser");

QString readText(QSettings& store, const QString& key, const QString& fallback)
{
    return store.value(key, fallback).toString();
}

// The stored text as a whole number within [low, high], or fallback.
template <typename T> T readNumber(QSettings& store, const QString& key, T fallback)
{
    const QVariant stored = store.value(key);
    if (!stored.isValid())
        return fallback;
    bool ok = false;
    const qlonglong value = stored.toString().trimmed().toLongLong(&ok);
    if (!ok || value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max())
        return fallback;
    return static_cast<T>(value);
}

} // namespace

QString defaultMixerPath()
{
#ifdef Q_OS_WIN
    return QStringLiteral("SNDVOL32.EXE");
#else
    return QStringLiteral("pavucontrol");
#endif
}

QString defaultSequencerPath()
{
#ifdef Q_OS_WIN
    return QStringLiteral("wmplayer.exe");
#else
    return QStringLiteral("rosegarden");
#endif
}

StudioSettings LoadSettings(QSettings& store)
{
    StudioSettings settings;
    settings.mixerPath = defaultMixerPath();
    settings.sequencerPath = defaultSequencerPath();
    settings.midiInDevice = 0;
    settings.defaultTrackMB = 4;
    settings.midiBufLen = 32768;
    settings.ownFileBrowser = false;

    settings.mixerPath = readText(store, kMixerKey, settings.mixerPath);
    settings.sequencerPath = readText(store, kSequencerKey, settings.sequencerPath);
    settings.midiInDevice = readNumber<int32_t>(store, kMidiInKey, settings.midiInDevice);
    settings.midiBufLen = readNumber<int32_t>(store, kBufLenKey, settings.midiBufLen);
    settings.defaultTrackMB = readNumber<int16_t>(store, kTrackLenKey, settings.defaultTrackMB);
    settings.ownFileBrowser = readNumber<int32_t>(store, kOwnBrowserKey, 0) != 0;
    return settings;
}

void SaveSettings(const StudioSettings& settings, QSettings& store)
{
    store.setValue(kMixerKey, settings.mixerPath);
    store.setValue(kSequencerKey, settings.sequencerPath);
    store.setValue(kMidiInKey, QString::number(settings.midiInDevice));
    store.setValue(kBufLenKey, QString::number(settings.midiBufLen));
    store.setValue(kTrackLenKey, QString::number(settings.defaultTrackMB));
    store.setValue(kOwnBrowserKey, QString::number(settings.ownFileBrowser ? 1 : 0));
    store.sync();
}

} // namespace vumo
