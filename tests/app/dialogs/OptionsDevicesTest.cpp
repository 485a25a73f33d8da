// Options on the servers of tests/servers.sh: the MIDI inputs are rtmidi's JACK ports in order.
#include "../StudioFixture.h"
#include "platform/rtmidi/RtMidiDevices.h"
#include "settings/MidiInputs.h"
#include "tests/platform/PlatformTestSupport.h"

#include <RtMidi.h>

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QTest>

using namespace vumo;

class OptionsDevicesTest : public QObject
{
    Q_OBJECT

private slots:
    void midiInputListNamesTheJackPorts()
    {
        qputenv("VUMO_MIDI_BACKEND", "rtmidi");
        if (!platform::rtMidiUsesJack())
        {
            if (platform::test::soundServersRequired())
                QFAIL("no JACK server although the sound servers should be running");
            QSKIP("no JACK server on this machine");
        }
        // Output ports of two other clients: both are MIDI inputs for Vumo.
        RtMidiOut first(RtMidi::UNIX_JACK, "vumo-options-a");
        first.openVirtualPort("out");
        RtMidiOut second(RtMidi::UNIX_JACK, "vumo-options-b");
        second.openVirtualPort("out");

        test::MainWindowFixture f;
        QStringList listed;
        f.ui.dialogs.push_back(
            [&](QDialog& dialog)
            {
                auto* box = dialog.findChild<QComboBox*>(QStringLiteral("cboMidiInDev"));
                for (int i = 0; box != nullptr && i < box->count(); ++i)
                    listed.append(box->itemText(i));
                dialog.close();
            });
        f.window->findChild<QAction*>(QStringLiteral("mnuToolsOptions"))->trigger();

        QCOMPARE(listed, midiInputNames()); // device n is port n
        for (const char* port : {"vumo-options-a:out", "vumo-options-b:out"})
            QVERIFY2(listed.contains(QLatin1String(port)), qPrintable(listed.join(u'|')));
    }
};

QTEST_MAIN(OptionsDevicesTest)
#include "OptionsDevicesTest.moc"
