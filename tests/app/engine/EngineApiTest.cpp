// EngineApi: exports bound by name on first call, missing exports, the engine error message.
#include "engine/EngineApi.h"
#include "services/ScriptedUiServices.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTest>

using namespace vumo;

namespace
{

// Stand-ins for a few exports, with the exports' own C signatures.
int32_t g_lastStart = 0;
int32_t g_lastEnd = 0;
extern "C" int32_t fakePlayTracks(int32_t start, int32_t end)
{
    g_lastStart = start;
    g_lastEnd = end;
    return 3;
}
extern "C" int32_t fakeTrackRead(int32_t index)
{
    return index * 2;
}
extern "C" int32_t fakeSK1(int32_t start, int32_t length, double step, double gain)
{
    return start + length + static_cast<int32_t>(step * 10) + static_cast<int32_t>(gain * 100);
}
extern "C" int32_t fakeAnything()
{
    return 0;
}

const QStringList kAllExports = {
    "OpenLib",      "CloseLib",     "ClearTracks",     "SetTrackInfo",  "SetTrackAttr",
    "SetCurTrack",  "PlayTracks",   "RecordTrack",     "StopTracks",    "IsPlaying",
    "GetPosition",  "TrackRead",    "TrackWrite",      "SaveAsWave",    "CopyTo",
    "CutTo",        "PasteFrom",    "SaveEdits",       "Undo",          "FXIt",
    "FilterGraph",  "PlayMidi",     "AddMidi",         "MidiPlaying",   "GetMidiTimer",
    "StopMidi",     "OpenMidiPlay", "CloseMidiPlay",   "CmdMidi",       "OpenMidiRec",
    "CloseMidiRec", "RecordMidi",   "GetRecordLength", "GetRecordData", "StopMidiRec",
    "SK1",          "LoadSK1"};

} // namespace

class EngineApiTest : public QObject
{
    Q_OBJECT

private slots:
    void callReachesTheExportFoundByName()
    {
        QStringList asked;
        EngineApi engine(
            [&](const char* name) -> QFunctionPointer
            {
                asked.append(QString::fromLatin1(name));
                if (qstrcmp(name, "PlayTracks") == 0)
                    return reinterpret_cast<QFunctionPointer>(&fakePlayTracks);
                if (qstrcmp(name, "TrackRead") == 0)
                    return reinterpret_cast<QFunctionPointer>(&fakeTrackRead);
                if (qstrcmp(name, "SK1") == 0)
                    return reinterpret_cast<QFunctionPointer>(&fakeSK1);
                return nullptr;
            });
        QCOMPARE(engine.boundCount(), 0); // nothing is bound before the first call
        QVERIFY(asked.isEmpty());
        QCOMPARE(engine.PlayTracks(11, 22), 3);
        QCOMPARE(g_lastStart, 11);
        QCOMPARE(g_lastEnd, 22);
        QCOMPARE(engine.TrackRead(21), 42);
        QCOMPARE(engine.TrackRead(5), 10);
        QCOMPARE(engine.SK1(1, 2, 0.5, 0.25), 1 + 2 + 5 + 25);
        // Each export is looked up once, on its first call.
        QCOMPARE(asked, (QStringList{"PlayTracks", "TrackRead", "SK1"}));
        QCOMPARE(engine.boundCount(), 3);
    }

    void everyExportIsBoundByItsOwnName()
    {
        QStringList asked;
        EngineApi engine(
            [&](const char* name)
            {
                asked.append(QString::fromLatin1(name));
                return reinterpret_cast<QFunctionPointer>(&fakeAnything);
            });
        engine.OpenLib(1, 0);
        engine.CloseLib();
        engine.ClearTracks();
        engine.SetTrackInfo(0, "a");
        engine.SetTrackAttr(0, 1, 2);
        engine.SetCurTrack(0, -1);
        engine.PlayTracks(0, 1);
        engine.RecordTrack(0, 1, 0);
        engine.StopTracks(0, 1, 0);
        engine.IsPlaying();
        engine.GetPosition();
        engine.TrackRead(0);
        engine.TrackWrite(0, 0);
        engine.SaveAsWave(0, 1, "a");
        engine.CopyTo(0, 1, "a");
        engine.CutTo(0, 1, "a");
        engine.PasteFrom(0, 1, "a", 0);
        engine.SaveEdits();
        engine.Undo();
        engine.FXIt(1, 0, 1, 0, 0, 0);
        engine.FilterGraph(1, 0, 1);
        engine.PlayMidi();
        engine.AddMidi(0, 0);
        engine.MidiPlaying();
        engine.GetMidiTimer();
        engine.StopMidi();
        engine.OpenMidiPlay(16);
        engine.CloseMidiPlay();
        engine.CmdMidi(0x90, 60, 100);
        engine.OpenMidiRec(16, 0);
        engine.CloseMidiRec();
        engine.RecordMidi();
        engine.GetRecordLength();
        engine.GetRecordData(0);
        engine.StopMidiRec();
        engine.SK1(0, 1, 1.0, 1.0);
        engine.LoadSK1("a");
        QCOMPARE(asked, kAllExports);
        QCOMPARE(engine.boundCount(), 37);
    }

    void missingExportReturnsMinusOneAndSaysWhich()
    {
        EngineApi engine([](const char*) { return QFunctionPointer{}; });
        QCOMPARE(engine.IsPlaying(), EngineApi::kMissingExport);
        QVERIFY(engine.errorText().contains(QStringLiteral("IsPlaying")));
        QCOMPARE(engine.boundCount(), 0);
    }

    void checkEngineShowsTheExportAndResult()
    {
        ScriptedUiServices ui;
        QVERIFY(!checkEngine(ui, "PlayTracks", 3));
        QCOMPARE(ui.messages(), QStringList{QStringLiteral("Error in PlayTracks: 3")});
        QCOMPARE(ui.shown.first().title, QStringLiteral("Vumo"));
        QVERIFY(!checkEngine(ui, "CloseLib", -1));
        QCOMPARE(ui.messages().last(), QStringLiteral("Error in CloseLib: -1"));
        QVERIFY(checkEngine(ui, "PlayTracks", 0));
        QCOMPARE(ui.messages().size(), 2);
    }

    void realLibraryBesideTheProgramAnswers()
    {
        const QString library =
            QCoreApplication::applicationDirPath() + QStringLiteral("/libwavorn.so");
        if (!QFileInfo::exists(library))
            QSKIP("libwavorn.so is not built in this build folder");
        EngineApi engine;
        // A track length of 0 is refused with 11 before anything is opened.
        QCOMPARE(engine.OpenLib(0, 0), 11);
        QCOMPARE(engine.CloseLib(), -1); // never opened
        QVERIFY(engine.errorText().isEmpty());
    }
};

QTEST_MAIN(EngineApiTest)
#include "EngineApiTest.moc"
