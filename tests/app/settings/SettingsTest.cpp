// LoadSettings / SaveSettings: defaults, round trip, values kept as text, bad stored values.
#include "settings/Settings.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace vumo;

class SettingsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString storePath() const { return m_dir.filePath(QStringLiteral("vumo.ini")); }

private slots:
    void init() { QFile::remove(storePath()); }

    void savedSettingsComeBackStoredAsTextInTheirSections()
    {
        ModVumo saved;
        saved.mixerPath = QStringLiteral("/opt/mixer");
        saved.sequencerPath = QStringLiteral("/opt/seq uencer");
        saved.midiInDevice = 3;
        saved.midiBufLen = 1000;
        saved.defaultTrackMB = 16;
        {
            QSettings store(storePath(), QSettings::IniFormat);
            SaveSettings(saved, store);
        }
        QSettings store(storePath(), QSettings::IniFormat);
        QStringList values;
        for (const char* key :
             {"Settings/Midi In BufLen", "Settings/Midi In Device", "Settings/Default Track Length",
              "AddIns/Audio Mixer", "AddIns/Midi Sequencer"})
            values << store.value(QString::fromLatin1(key)).toString();
        QCOMPARE(values, (QStringList{"1000", "3", "16", "/opt/mixer", "/opt/seq uencer"}));
        ModVumo loaded;
        LoadSettings(loaded, store);
        QCOMPARE(loaded.mixerPath, saved.mixerPath);
        QCOMPARE(loaded.sequencerPath, saved.sequencerPath);
        QCOMPARE((QList<int>{loaded.midiInDevice, loaded.midiBufLen, loaded.defaultTrackMB}),
                 (QList<int>{3, 1000, 16}));
    }

    // A missing key or a stored text that is no number in range keeps the default.
    void keyMissingOrNoNumberKeepsTheDefault_data()
    {
        QTest::addColumn<QString>("key"); // empty: an empty store
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("device");
        const auto row = [](const char* tag, const char* key, const char* text, int device)
        { QTest::newRow(tag) << QString::fromLatin1(key) << QString::fromLatin1(text) << device; };
        row("empty store", "", "", 0);
        row("only one key: the others keep their defaults", "Settings/Midi In Device", "5", 5);
        row("words", "Settings/Midi In BufLen", "lots", 0);
        row("fraction", "Settings/Midi In BufLen", "1.5", 0);
        row("too big for int16", "Settings/Default Track Length", "40000", 0);
        row("too big for int32", "Settings/Midi In Device", "99999999999", 0);
    }
    void keyMissingOrNoNumberKeepsTheDefault()
    {
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(int, device);
        QSettings store(storePath(), QSettings::IniFormat);
        if (!key.isEmpty())
            store.setValue(key, text);
        ModVumo mod;
        mod.midiBufLen = 1;
        mod.defaultTrackMB = 99;
        LoadSettings(mod, store);
        QCOMPARE((QList<int>{mod.midiInDevice, mod.midiBufLen, mod.defaultTrackMB}),
                 (QList<int>{device, 32768, 4}));
        QCOMPARE(mod.mixerPath, defaultMixerPath());
        QCOMPARE(mod.sequencerPath, defaultSequencerPath());
    }
};

QTEST_MAIN(SettingsTest)
#include "SettingsTest.moc"
