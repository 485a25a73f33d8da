// The F&X menu path over a fake engine: the dialog's values, presets, the band-pass order, the
// 1024-frame minimum and the studio's own fade.
#include "fx/EffectCatalog.h"
#include "fx/EffectDispatch.h"
#include "support/ScriptedUiServices.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLabel>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <vector>

using namespace vumo;
using namespace vumo::fx;

namespace
{

using Call = std::array<int32_t, 6>; // FXIt's code, first, last, p1, p2, p3

// A track of samples in memory; FXIt calls are only recorded.
struct FakeEngine : FxEngine
{
    std::vector<int16_t> samples;
    std::vector<Call> calls;

    int32_t FXIt(int32_t code, int32_t first, int32_t last, int32_t p1, int32_t p2,
                 int32_t p3) override
    {
        calls.push_back({code, first, last, p1, p2, p3});
        return 0;
    }
    int32_t FilterGraph(int32_t, int32_t, int32_t) override { return 0; }
    int32_t TrackRead(int32_t i) override
    {
        return i >= 0 && size_t(i) < samples.size() ? samples[size_t(i)] : -1;
    }
    int32_t TrackWrite(int32_t i, int32_t v) override
    {
        if (i < 0 || size_t(i) >= samples.size())
            return -1;
        samples[size_t(i)] = int16_t(v);
        return 0;
    }
    int32_t IsPlaying() override { return 0; }
    int32_t GetPosition() override { return 0; }
    int32_t SetTrackAttr(int32_t, int32_t, int32_t) override { return 0; }
};

using Script = std::function<void(QDialog&)>;
using Samples = QList<QPair<int, int>>; // (sample index, value)

void click(QDialog& d, const char* name)
{
    d.findChild<QAbstractButton*>(QString::fromLatin1(name))->click();
}

Script sliders(int v1, int v2, const char* button = "OKButton")
{
    return [=](QDialog& d)
    {
        d.findChild<QScrollBar*>(QStringLiteral("HScroll1"))->setValue(v1);
        d.findChild<QScrollBar*>(QStringLiteral("HScroll2"))->setValue(v2);
        click(d, button);
    };
}

// Loads the effect file queued in the UI services, then presses button.
Script loadThen(const char* button)
{
    return [=](QDialog& d)
    {
        click(d, "cmdLoad");
        click(d, button);
    };
}

QString writePreset(const QString& path, int32_t code, int32_t v1, int32_t v2, int16_t cancelled)
{
    EffectSetting s;
    fillDefaults(s, code);
    s.value1 = v1;
    s.value2 = v2;
    s.cancelled = cancelled;
    QString error;
    if (!saveEffectFile(path, s, error))
        qFatal("%s", qPrintable(error));
    return path;
}

} // namespace

Q_DECLARE_METATYPE(Script)
Q_DECLARE_METATYPE(std::vector<Call>)

class FxDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void dispatchRunsWhatTheDialogSays_data();
    void dispatchRunsWhatTheDialogSays();
    void loadedPresetShowsItsOwnNameAndCaptions();
    void fadeScalesEverySampleOfTheSelection_data();
    void fadeScalesEverySampleOfTheSelection();

private:
    QTemporaryDir m_dir;
};

void FxDialogTest::dispatchRunsWhatTheDialogSays_data()
{
    QTest::addColumn<int32_t>("code");
    QTest::addColumn<int32_t>("frames");
    QTest::addColumn<QString>("preset"); // an effect file the script loads, or empty
    QTest::addColumn<Script>("script");
    QTest::addColumn<std::vector<Call>>("expected");
    const QString echoBand = writePreset(m_dir.filePath("echo.sfx"), 3, 200, 100, -1);
    const QString gain = writePreset(m_dir.filePath("gain.sfx"), 1, 16, 255, -1);
    const QString okFlag = writePreset(m_dir.filePath("ok.sfx"), 1, 16, 255, 0);
    constexpr int32_t s = 5000; // selStart
    QTest::newRow("band pass 200/100 runs as 100/200")
        << 7 << 2000 << QString() << sliders(200, 100)
        << std::vector<Call>{{7, s, s + 2000, 100, 200, 128}};
    QTest::newRow("band pass values loaded under Echo keep their order")
        << 7 << 2000 << echoBand << loadThen("OKButton")
        << std::vector<Call>{{7, s, s + 2000, 200, 100, 128}};
    QTest::newRow("Amp - Gain preset in the Echo dialog runs the echo")
        << 3 << 2000 << gain << loadThen("OKButton")
        << std::vector<Call>{{3, s, s + 2000, 16, 255, 128}};
    QTest::newRow("1025 frames run") << 3 << 1025 << QString() << sliders(1, 2)
                                     << std::vector<Call>{{3, s, s + 1025, 1, 2, 128}};
    QTest::newRow("1024 frames do not")
        << 3 << 1024 << QString() << sliders(1, 2) << std::vector<Call>{};
    QTest::newRow("Cancel") << 3 << 2000 << QString() << sliders(1, 2, "CancelButton")
                            << std::vector<Call>{};
    QTest::newRow("Cancel after loading a file saved with OK's flag")
        << 3 << 2000 << okFlag << loadThen("CancelButton") << std::vector<Call>{};
}

void FxDialogTest::dispatchRunsWhatTheDialogSays()
{
    QFETCH(int32_t, code);
    QFETCH(int32_t, frames);
    QFETCH(QString, preset);
    QFETCH(Script, script);
    QFETCH(std::vector<Call>, expected);
    FakeEngine engine;
    ScriptedUiServices ui;
    if (!preset.isEmpty())
        ui.files.push_back(preset);
    ui.dialogs.push_back(script);
    QStringList shown;
    int redraws = 0;
    const FxStudioHooks hooks{[&](const QString& t) { shown << t; },
                              [&] { shown << QStringLiteral("hidden"); }, [&] { ++redraws; }};
    EffectSetting setting;
    const bool ran = dispatchEffect(code, setting, {5000, 5000 + frames}, engine, ui, hooks);
    QCOMPARE(engine.calls, expected);
    QCOMPARE(ran, !expected.empty());
    const QStringList messageWindow{"Applying Effects ...", "hidden"};
    QCOMPARE(shown, ran ? messageWindow : QStringList());
    QCOMPARE(redraws, ran ? 1 : 0);
    QVERIFY(ui.messages().isEmpty());
}

void FxDialogTest::loadedPresetShowsItsOwnNameAndCaptions()
{
    ScriptedUiServices ui;
    ui.files.push_back(writePreset(m_dir.filePath("gain2.sfx"), 1, 300, -5, -1));
    QString title, label1, value1, value2;
    ui.dialogs.push_back(
        [&](QDialog& d)
        {
            click(d, "cmdLoad");
            title = d.windowTitle();
            label1 = d.findChild<QLabel*>(QStringLiteral("Label1"))->text();
            value1 = d.findChild<QLabel*>(QStringLiteral("lblRVal"))->text();
            value2 = d.findChild<QLabel*>(QStringLiteral("lblDVal"))->text();
            click(d, "CancelButton");
        });
    FakeEngine engine;
    EffectSetting setting;
    dispatchEffect(3, setting, {0, 5000}, engine, ui, {});
    QCOMPARE(title, QStringLiteral("FX - Amp - Gain"));
    QCOMPARE(label1, QStringLiteral("Gain"));
    // Values outside the sliders' range are shown clamped; the record keeps the file's.
    QCOMPARE(value1, QStringLiteral("255"));
    QCOMPARE(value2, QStringLiteral("0"));
    QCOMPARE(setting.value1, 300);
    QVERIFY(setting.isCancelled());
    QVERIFY(engine.calls.empty());
}

void FxDialogTest::fadeScalesEverySampleOfTheSelection_data()
{
    QTest::addColumn<int>("end"); // value2 (value1 is 0)
    QTest::addColumn<int32_t>("selStart");
    QTest::addColumn<int>("level");        // every sample of the track
    QTest::addColumn<Samples>("expected"); // (sample index, value)
    // 2048 frames of 8192: N = 4096 and sample offset k gets 8192 * k * (255/256) / 4096.
    QTest::newRow("0/0 silences, the left sample of frame selEnd too")
        << 0 << 100 << 8192 << Samples{{199, 8192}, {200, 0}, {4295, 0}, {4296, 0}, {4297, 8192}};
    QTest::newRow("0/255 rises linearly, halves to even")
        << 255 << 100 << 8192 << Samples{{200, 0},     {201, 2},     {264, 128},  {392, 382},
                                         {4295, 8158}, {4296, 8160}, {4297, 8192}};
    QTest::newRow("halves to even below zero")
        << 255 << 100 << -8192 << Samples{{201, -2}, {264, -128}, {392, -382}, {4296, -8160}};
    QTest::newRow("a selection to the track's end")
        << 255 << 4000 - 2048 << 8192 << Samples{{7999, 8158}};
}

void FxDialogTest::fadeScalesEverySampleOfTheSelection()
{
    QFETCH(int, end);
    QFETCH(int32_t, selStart);
    QFETCH(int, level);
    QFETCH(Samples, expected);
    FakeEngine engine;
    engine.samples.assign(2 * 4000, int16_t(level));
    ScriptedUiServices ui;
    ui.dialogs.push_back(sliders(0, end));
    EffectSetting setting;
    QVERIFY(dispatchEffect(kFadeCode, setting, {selStart, selStart + 2048}, engine, ui, {}));
    for (const auto& [index, value] : expected)
        QCOMPARE(engine.samples[size_t(index)], int16_t(value));
    QVERIFY(engine.calls.empty());
    QVERIFY(ui.messages().isEmpty());
}

QTEST_MAIN(FxDialogTest)
#include "FxDialogTest.moc"
