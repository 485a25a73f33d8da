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

void LoadSettings(ModVumo& mod, QSettings& store)
{
    mod.mixerPath = defaultMixerPath();
    mod.sequencerPath = defaultSequencerPath();
    mod.midiInDevice = 0;
    mod.defaultTrackMB = 4;
    mod.midiBufLen = 32768;
    mod.ownFileBrowser = false;

    mod.mixerPath = readText(store, kMixerKey, mod.mixerPath);
    mod.sequencerPath = readText(store, kSequencerKey, mod.sequencerPath);
    mod.midiInDevice = readNumber<int32_t>(store, kMidiInKey, mod.midiInDevice);
    mod.midiBufLen = readNumber<int32_t>(store, kBufLenKey, mod.midiBufLen);
    mod.defaultTrackMB = readNumber<int16_t>(store, kTrackLenKey, mod.defaultTrackMB);
    mod.ownFileBrowser = readNumber<int32_t>(store, kOwnBrowserKey, 0) != 0;
}

void SaveSettings(const ModVumo& mod, QSettings& store)
{
    store.setValue(kMixerKey, mod.mixerPath);
    store.setValue(kSequencerKey, mod.sequencerPath);
    store.setValue(kMidiInKey, QString::number(mod.midiInDevice));
    store.setValue(kBufLenKey, QString::number(mod.midiBufLen));
    store.setValue(kTrackLenKey, QString::number(mod.defaultTrackMB));
    store.setValue(kOwnBrowserKey, QString::number(mod.ownFileBrowser ? 1 : 0));
    store.sync();
}

} // namespace vumo
