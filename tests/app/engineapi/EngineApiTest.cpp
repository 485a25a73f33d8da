// EngineApi: exports bound by name on first call, missing exports, the engine error message.
#include "engineapi/EngineApi.h"
#include "../MainWindowFixture.h"
#include "support/ScriptedUiServices.h"

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
extern "C" int32_t fakeSK1(int32_t start, int32_t length, double step, double gain)
{
    return start + length + static_cast<int32_t>(step * 10) + static_cast<int32_t>(gain * 100);
}

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
                if (qstrcmp(name, "SK1") == 0)
                    return reinterpret_cast<QFunctionPointer>(&fakeSK1);
                return nullptr;
            });
        QCOMPARE(engine.boundCount(), 0); // nothing is bound before the first call
        QVERIFY(asked.isEmpty());
        QCOMPARE(engine.PlayTracks(11, 22), 3);
        QCOMPARE(g_lastStart, 11);
        QCOMPARE(g_lastEnd, 22);
        QCOMPARE(engine.PlayTracks(5, 6), 3);
        QCOMPARE(engine.SK1(1, 2, 0.5, 0.25), 1 + 2 + 5 + 25);
        // Each export is looked up once, on its first call.
        QCOMPARE(asked, (QStringList{"PlayTracks", "SK1"}));
        QCOMPARE(engine.boundCount(), 2);
    }

    void missingExportIsUnavailableAndTheStudioSaysWhy()
    {
        EngineApi engine([](const char*) { return QFunctionPointer{}; });
        QCOMPARE(engine.IsPlaying(), EngineBinding::kUnavailable);
        QCOMPARE(engine.errorText(),
                 QStringLiteral("The engine library wavorn has no export IsPlaying."));
        test::MainWindowFixture f; // an engine without a single export
        f.window->OpenEngine();
        QCOMPARE(f.ui.messages(),
                 QStringList{QStringLiteral("The engine library wavorn has no export OpenLib.")});
        QVERIFY(!f.window->session().isOpen());
    }

    void checkEngineShowsTheExportTheResultAndItsReason_data()
    {
        QTest::addColumn<int>("rc");
        QTest::addColumn<QString>("shown");
        QTest::newRow("device error") << 3 << "Error in SetCurTrack: 3";
        QTest::newRow("no RIFF") << 10
                                 << "Error in SetCurTrack: 10\nThe file has no RIFF header: it "
                                    "is not a wave file.";
        QTest::newRow("8-bit") << 14
                               << "Error in SetCurTrack: 14\nThe file does not hold 16-bit "
                                  "samples.";
        QTest::newRow("no data") << 16
                                 << "Error in SetCurTrack: 16\nThe file holds no sample data.";
        QTest::newRow("no engine")
            << int(EngineBinding::kUnavailable)
            << "Error in SetCurTrack: -2147483648\nThe engine library wavorn is missing or "
               "incomplete.";
    }
    void checkEngineShowsTheExportTheResultAndItsReason()
    {
        QFETCH(int, rc);
        QFETCH(QString, shown);
        ScriptedUiServices ui;
        QVERIFY(!checkEngine(ui, "SetCurTrack", rc));
        QCOMPARE(ui.messages(), QStringList{shown});
        QCOMPARE(ui.shown.first().title, QStringLiteral("Vumo"));
        QVERIFY(checkEngine(ui, "SetCurTrack", 0));
        QCOMPARE(ui.messages().size(), 1);
    }
};

QTEST_MAIN(EngineApiTest)
#include "EngineApiTest.moc"
