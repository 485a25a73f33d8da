// LoadSettings / SaveSettings: defaults, round trip, values kept as text, bad stored values.
#include "state/Settings.h"

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

    void emptyStoreGivesTheDefaults()
    {
        QSettings store(storePath(), QSettings::IniFormat);
        ModVumo mod;
        mod.midiBufLen = 1;
        mod.defaultTrackMB = 99;
        LoadSettings(mod, store);
        QCOMPARE(mod.mixerPath, defaultMixerPath());
        QCOMPARE(mod.sequencerPath, defaultSequencerPath());
        QCOMPARE(mod.midiInDevice, 0);
        QCOMPARE(mod.midiBufLen, 32768);
        QCOMPARE(mod.defaultTrackMB, int16_t{4});
#ifdef Q_OS_WIN
        QCOMPARE(defaultMixerPath(), QStringLiteral("SNDVOL32.EXE"));
#else
        QCOMPARE(defaultMixerPath(), QStringLiteral("pavucontrol"));
        QCOMPARE(defaultSequencerPath(), QStringLiteral("rosegarden"));
#endif
    }

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
        QFile file(storePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY(text.contains(QStringLiteral("[AddIns]")));
        QVERIFY(text.contains(QStringLiteral("[Settings]")));
        QSettings store(storePath(), QSettings::IniFormat);
        const QStringList keys{"Settings/Midi In BufLen", "Settings/Midi In Device",
                               "Settings/Default Track Length", "AddIns/Audio Mixer",
                               "AddIns/Midi Sequencer"};
        QStringList values;
        for (const QString& key : keys)
            values << store.value(key).toString();
        QCOMPARE(values, (QStringList{"1000", "3", "16", "/opt/mixer", "/opt/seq uencer"}));
        ModVumo loaded;
        LoadSettings(loaded, store);
        QCOMPARE(loaded.mixerPath, saved.mixerPath);
        QCOMPARE(loaded.sequencerPath, saved.sequencerPath);
        QCOMPARE(loaded.midiInDevice, 3);
        QCOMPARE(loaded.midiBufLen, 1000);
        QCOMPARE(loaded.defaultTrackMB, int16_t{16});
    }

    void keyMissingOrNoNumberKeepsTheDefault_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("device");
        QTest::newRow("only one key: the others keep their defaults")
            << QStringLiteral("Settings/Midi In Device") << QStringLiteral("5") << 5;
        QTest::newRow("words") << QStringLiteral("Settings/Midi In BufLen")
                               << QStringLiteral("lots") << 0;
        QTest::newRow("fraction") << QStringLiteral("Settings/Midi In BufLen")
                                  << QStringLiteral("1.5") << 0;
        QTest::newRow("too big for int16")
            << QStringLiteral("Settings/Default Track Length") << QStringLiteral("40000") << 0;
        QTest::newRow("too big for int32")
            << QStringLiteral("Settings/Midi In Device") << QStringLiteral("99999999999") << 0;
    }
    void keyMissingOrNoNumberKeepsTheDefault()
    {
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(int, device);
        {
            QSettings store(storePath(), QSettings::IniFormat);
            store.setValue(key, text);
        }
        QSettings store(storePath(), QSettings::IniFormat);
        ModVumo mod;
        LoadSettings(mod, store);
        QCOMPARE(mod.midiBufLen, 32768);
        QCOMPARE(mod.defaultTrackMB, int16_t{4});
        QCOMPARE(mod.midiInDevice, device);
        QCOMPARE(mod.mixerPath, defaultMixerPath());
    }
};

QTEST_MAIN(SettingsTest)
#include "SettingsTest.moc"
