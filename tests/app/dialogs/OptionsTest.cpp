// The Options dialog: upside-down bars, defaults, OK and Cancel, the program choices.
#include "../MainWindowFixture.h"
#include "dialogs/frmOptions.h"
#include "settings/Settings.h"
#include "support/ScriptedUiServices.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace vumo;
using vumo::test::child;

class OptionsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<QSettings> m_store;

    static ModVumo defaults(QSettings& store)
    {
        ModVumo mod;
        LoadSettings(mod, store);
        return mod;
    }

private slots:
    void init()
    {
        QFile::remove(m_dir.filePath(QStringLiteral("o.ini")));
        m_store = std::make_unique<QSettings>(m_dir.filePath(QStringLiteral("o.ini")),
                                              QSettings::IniFormat);
    }

    void opensWithTheDefaultSettingsOnUpsideDownBars()
    {
        ModVumo mod = defaults(*m_store);
        ScriptedUiServices ui;
        frmOptions dialog(mod, ui, {QStringLiteral("In A"), QStringLiteral("In B")}, *m_store);
        QCOMPARE(child<QScrollBar>(dialog, "vscMEG")->value(), 252);
        QCOMPARE(child<QScrollBar>(dialog, "vscMidiBufLen")->value(), 128);
        QCOMPARE(child<QScrollBar>(dialog, "vscTempo")->value(), 156);
        QCOMPARE(child<QLineEdit>(dialog, "txtTempo")->text(), QStringLiteral("100"));
        QCOMPARE(child<QComboBox>(dialog, "cboMidiInDev")->count(), 2);
        QCOMPARE(child<QComboBox>(dialog, "cboMidiInDev")->currentIndex(), 0);
    }

    void bars_data()
    {
        QTest::addColumn<QString>("bar");
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char* tag, const char* bar, int value, const char* shown)
        {
            QTest::newRow(tag) << QString::fromLatin1(bar)
                               << QString::fromLatin1(bar).replace(0, 3, "txt") << value
                               << QString::fromLatin1(shown);
        };
        row("tempo top", "vscTempo", 0, "256");
        row("tempo bottom", "vscTempo", 255, "1");
        row("track length top", "vscMEG", 0, "256");
        row("track length bottom", "vscMEG", 255, "1");
        row("buffer top", "vscMidiBufLen", 0, "65536");
        row("buffer bottom", "vscMidiBufLen", 255, "256");
        row("buffer middle", "vscMidiBufLen", 200, "14336");
    }
    void bars()
    {
        QFETCH(QString, bar);
        QFETCH(QString, box);
        QFETCH(int, value);
        QFETCH(QString, shown);
        ModVumo mod = defaults(*m_store);
        ScriptedUiServices ui;
        frmOptions dialog(mod, ui, {}, *m_store);
        child<QScrollBar>(dialog, bar.toLatin1().constData())->setValue(value);
        QCOMPARE(child<QLineEdit>(dialog, box.toLatin1().constData())->text(), shown);
    }

    void okStoresSettingsAndTheProjectTempo()
    {
        ModVumo mod = defaults(*m_store);
        ScriptedUiServices ui;
        frmOptions dialog(mod, ui, {QStringLiteral("In A"), QStringLiteral("In B")}, *m_store);
        child<QScrollBar>(dialog, "vscMEG")->setValue(240);
        child<QLineEdit>(dialog, "txtTempo")->setText(QStringLiteral("90"));
        child<QComboBox>(dialog, "cboMidiInDev")->setCurrentIndex(1);
        child<QLineEdit>(dialog, "txtMixer")->setText(QStringLiteral("/usr/bin/mixer"));
        child<QPushButton>(dialog, "cmdOK")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(mod.defaultTrackMB, int16_t{16});
        QCOMPARE(mod.tempo, 90);
        QCOMPARE(mod.midiInDevice, 1);
        QCOMPARE(mod.mixerPath, QStringLiteral("/usr/bin/mixer"));
        // The tempo is a project value; the rest reach the settings store (its keys: tst_settings).
        QVERIFY(!m_store->contains(QStringLiteral("Settings/Tempo")));
        ModVumo stored;
        LoadSettings(stored, *m_store);
        QCOMPARE((QList<int>{stored.defaultTrackMB, stored.midiInDevice}), (QList<int>{16, 1}));
        QCOMPARE(stored.mixerPath, QStringLiteral("/usr/bin/mixer"));
    }

    void handTypedBufferLengthIsKeptAsTyped()
    {
        ModVumo mod = defaults(*m_store);
        ScriptedUiServices ui;
        {
            frmOptions dialog(mod, ui, {}, *m_store);
            child<QLineEdit>(dialog, "txtMidiBufLen")->setText(QStringLiteral("1000"));
            child<QPushButton>(dialog, "cmdOK")->click();
        }
        QCOMPARE(mod.midiBufLen, 1000);
        QCOMPARE(m_store->value(QStringLiteral("Settings/Midi In BufLen")).toString(),
                 QStringLiteral("1000"));
        frmOptions again(mod, ui, {}, *m_store);
        QCOMPARE(child<QLineEdit>(again, "txtMidiBufLen")->text(), QStringLiteral("1000"));
        QCOMPARE(child<QScrollBar>(again, "vscMidiBufLen")->value(), 256 - 3);
    }

    void textThatIsNoNumberOrDeviceBeyondTheListLeavesTheValue()
    {
        ModVumo mod = defaults(*m_store);
        mod.tempo = 120;
        mod.midiInDevice = 2;
        ScriptedUiServices ui;
        frmOptions dialog(mod, ui, {QStringLiteral("In A"), QStringLiteral("In B")}, *m_store);
        QCOMPARE(child<QComboBox>(dialog, "cboMidiInDev")->currentIndex(), -1);
        child<QLineEdit>(dialog, "txtTempo")->setText(QStringLiteral("fast"));
        child<QLineEdit>(dialog, "txtMidiBufLen")->setText(QStringLiteral(""));
        child<QPushButton>(dialog, "cmdOK")->click();
        QCOMPARE(mod.tempo, 120);
        QCOMPARE(mod.midiBufLen, 32768);
        QCOMPARE(mod.midiInDevice, 2);
    }

    void cancelChangesNothing()
    {
        ModVumo mod = defaults(*m_store);
        ScriptedUiServices ui;
        frmOptions dialog(mod, ui, {}, *m_store);
        child<QScrollBar>(dialog, "vscTempo")->setValue(10);
        child<QLineEdit>(dialog, "txtMixer")->setText(QStringLiteral("x"));
        child<QPushButton>(dialog, "cmdCancel")->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(mod.tempo, 100);
        QCOMPARE(mod.mixerPath, defaultMixerPath());
        QVERIFY(m_store->allKeys().isEmpty());
    }

    void browseButtonsAskForAProgram_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("box");
        QTest::newRow("sequencer") << QStringLiteral("cmdBrowseMidi") << QStringLiteral("txtMidi");
        QTest::newRow("mixer") << QStringLiteral("cmdBrowseMixer") << QStringLiteral("txtMixer");
    }
    void browseButtonsAskForAProgram()
    {
        QFETCH(QString, button);
        QFETCH(QString, box);
        ModVumo mod = defaults(*m_store);
        ScriptedUiServices ui;
        ui.files.push_back(QStringLiteral("/opt/tool.exe"));
        frmOptions dialog(mod, ui, {}, *m_store);
        child<QPushButton>(dialog, button.toLatin1().constData())->click();
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown.first().text, QStringLiteral("*.exe"));
        QCOMPARE(ui.shown.first().detail, QStringLiteral("Open"));
        QCOMPARE(child<QLineEdit>(dialog, box.toLatin1().constData())->text(),
                 QStringLiteral("/opt/tool.exe"));
        // Cancelling the file dialog empties the box.
        child<QPushButton>(dialog, button.toLatin1().constData())->click();
        QCOMPARE(child<QLineEdit>(dialog, box.toLatin1().constData())->text(), QString());
    }
};

QTEST_MAIN(OptionsTest)
#include "OptionsTest.moc"
