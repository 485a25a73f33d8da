// The effect (".sfx") and chain (".mfx") files byte for byte; the F&X dispatch (values, presets,
// band-pass order, 1024-frame minimum, the fade) and the chain window over the stand-in engine.
#include "fx/EffectCatalog.h"
#include "fx/EffectChain.h"
#include "fx/EffectDispatch.h"
#include "fx/EffectSetting.h"
#include "fx/FrmFX.h"
#include "fx/FxEngine.h"
#include "fx/frmFXList.h"
#include "support/FakeEngine.h"
#include "support/ScriptedUiServices.h"
#include "support/TestFiles.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

using namespace vumo;
using namespace vumo::fx;
using namespace vumo::test;

namespace
{

// The stand-in engine; TrackRead and TrackWrite use `samples`, each GetPosition is 40000 on.
struct Engine : FakeEngine
{
    FxEngineOver<EngineBinding> fx{*this};
    std::vector<int16_t> samples;
    int32_t position = 0;

    Engine()
    {
        answer = [this](const QString& name, const QString& call) -> int32_t
        {
            const QStringList a = call.section(u'(', 1).chopped(1).split(u',');
            const int i = a.value(0).toInt();
            const bool inside = i >= 0 && size_t(i) < samples.size();
            if (name == QStringLiteral("TrackRead"))
                return inside ? samples[size_t(i)] : -1;
            if (name == QStringLiteral("TrackWrite") && inside)
                samples[size_t(i)] = int16_t(a.value(1).toInt());
            if (name == QStringLiteral("GetPosition"))
                return position += 40000;
            return results.value(name, 0);
        };
    }
    // The effect and work-buffer calls, in order.
    QStringList graph() const
    {
        return calls.filter(QRegularExpression(QStringLiteral("^(FXIt|FilterGraph)\\(")));
    }
};

using Script = std::function<void(QDialog&)>;
using Samples = QList<QPair<int, int>>; // (sample index, value)

void click(QWidget& w, const char* name)
{
    w.findChild<QAbstractButton*>(QString::fromLatin1(name))->click();
}

QScrollBar* bar(QWidget& d, int n)
{
    return d.findChild<QScrollBar*>(QStringLiteral("HScroll%1").arg(n));
}

Script sliders(int v1, int v2)
{
    return [=](QDialog& d)
    { bar(d, 1)->setValue(v1), bar(d, 2)->setValue(v2), click(d, "OKButton"); };
}

// Loads the effect file queued in the UI services, then presses button.
Script loadThen(const char* button)
{
    return [=](QDialog& d) { click(d, "cmdLoad"), click(d, button); };
}

QString writePreset(const QString& path, int32_t code, int32_t v1, int32_t v2, int16_t cancelled)
{
    EffectSetting s;
    fillDefaults(s, code);
    std::tie(s.value1, s.value2, s.cancelled) = std::tuple(v1, v2, cancelled);
    return putFile(path, effectFileBytes(s)) ? path : QString();
}

// The chain window over a selection of the track, on the stand-in engine.
struct ChainWindow
{
    Engine engine;
    ScriptedUiServices ui;
    EffectSetting setting;
    frmFXList w;
    QListWidget& list = *w.findChild<QListWidget*>(QStringLiteral("lstFX"));

    explicit ChainWindow(ChainTarget target) : w(engine.fx, ui, setting, target) {}

    // Adds the available effect named name, answering its dialog with script.
    void add(
        const char* name, Script script = [](QDialog& d) { click(d, "OKButton"); })
    {
        auto* available = w.findChild<QListWidget*>(QStringLiteral("lstAvailable"));
        available->setCurrentItem(
            available->findItems(QString::fromLatin1(name), Qt::MatchExactly)[0]);
        ui.dialogs.push_back(std::move(script));
        click(w, "cmdAdd");
    }
    QStringList chosen() const
    {
        QStringList names;
        for (int i = 0; i < list.count(); ++i)
            names << list.item(i)->text();
        return names;
    }
};

EffectChain twoEntryChain()
{
    return {"0.9x", 2, {{{10, 20, 7, 30, -9, 3}, {300, -1, 0, 128, 0, 25}}}};
}

} // namespace

class FxTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    // The echo's defaults saved from the open dialog (cancelled flag -1) are these bytes; a save
    // into a missing folder or over a folder is reported, leaving no part file (a chain's too).
    void dialogSavesTheRecordBytesOrReportsTheFault()
    {
        const QByteArray echo =
            QByteArray::fromHex("0400") + "Echo" + QByteArray::fromHex("80000000") +
            QByteArray::fromHex("0400") + "Rate" + QByteArray::fromHex("80000000") +
            QByteArray::fromHex("0700") + "Sustain" + QByteArray::fromHex("80000000") +
            QByteArray::fromHex("0300") + "Pan" + QByteArray::fromHex("ffff");
        const QString folder = m_dir.filePath(QStringLiteral("taken.sfx"));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/inside")));
        for (const auto& [path, bytes] : {std::pair{m_dir.filePath("echo.sfx"), echo},
                                          {m_dir.filePath("none/a.sfx"), QByteArray()},
                                          {folder, QByteArray()}})
        {
            EffectSetting s;
            QVERIFY(fillDefaults(s, 3));
            ScriptedUiServices ui;
            ui.files.push_back(path);
            FrmFX dialog(3, s, ui);
            click(dialog, "cmdSave");
            QCOMPARE(ui.shown[0].detail, QStringLiteral("Save as")); // the file choice
            QCOMPARE(ui.shown.size(), bytes.isNull() ? 2 : 1);       // then the fault only
            QCOMPARE(ui.messages().size(), bytes.isNull() ? 1 : 0);
            QVERIFY(!QFile::exists(path + QStringLiteral(".tmp")));
            QString error;
            if (bytes.isNull())
                QVERIFY(!saveChainFile(path, EffectChain{}, error));
            else
                QCOMPARE(fileBytes(path), bytes);
        }
    }

    void chainRoundTripKeepsReservedWordsAndTheFileTail()
    {
        const QString path = m_dir.filePath(QStringLiteral("chain.mfx"));
        QString error;
        // An empty chain is the version and a zero count.
        QVERIFY(saveChainFile(path, EffectChain{}, error));
        QCOMPARE(fileBytes(path), QByteArray("1.00\0\0", 6));
        EffectChain loaded = twoEntryChain();
        QVERIFY(loadChainFile(path, loaded, error));
        QCOMPARE(loaded, EffectChain{});

        // Written over the start of a longer file: the rest of the file stays.
        QVERIFY(putFile(path, QByteArray(100, 'x')));
        QVERIFY(saveChainFile(path, twoEntryChain(), error));
        const QByteArray bytes = fileBytes(path);
        QCOMPARE(bytes.size(), 100);
        QCOMPARE(bytes.mid(54), QByteArray(46, 'x'));
        QCOMPARE(bytes.mid(6, 24), QByteArray::fromHex("0a000000140000000700000"
                                                       "01e000000f7ffffff03000000"));
        QVERIFY(loadChainFile(path, loaded, error));
        QCOMPARE(loaded, twoEntryChain());
    }

    // (a chain file, else an effect file; the bytes, null for no file; the fault named).
    void refusedFilesLeaveTheRecord()
    {
        EffectSetting gain;
        fillDefaults(gain, 1);
        const QByteArray whole = effectFileBytes(gain);
        const QString tooLong = QStringLiteral("declares a text longer than the bytes left");
        const QString path = m_dir.filePath(QStringLiteral("bad"));
        for (const auto& [chain, bytes, fault] :
             {std::tuple{false, QByteArray(), QStringLiteral("cannot be opened")},
              {false, QByteArray(""), "too short"},
              {false, whole.chopped(1), "too short"},                     // the last byte missing
              {false, whole.chopped(7), "too short"},                     // no caption3
              {false, QByteArray::fromHex("0001") + "Echo1234", tooLong}, // a name of 256 in 10
              {false, whole.left(16) + QByteArray::fromHex("ffff") + "Gain", tooLong},
              {true, QByteArray(), "cannot be opened"},
              {true, QByteArray("1.00\0", 5), "too short"},
              {true, QByteArray("1.00\x12\0", 6) + QByteArray(18 * 24, '\0'), "holds 18 effects"},
              {true, QByteArray("1.00\xff\xff", 6), "holds -1 effects"},
              {true, chainFileBytes(twoEntryChain()).left(6 + 24 + 23), "its 2 effects"}})
        {
            QFile::remove(path);
            if (!bytes.isNull())
                QVERIFY(putFile(path, bytes));
            EffectSetting s;
            fillDefaults(s, 7);
            s.cancelled = -1;
            const EffectSetting before = s;
            EffectChain c = twoEntryChain();
            QString error;
            QVERIFY(!(chain ? loadChainFile(path, c, error) : loadEffectFile(path, s, error)));
            QVERIFY2(error.contains(fault), qPrintable(error));
            QCOMPARE(s, before);
            QCOMPARE(c, twoEntryChain());
        }
    }

    // (effect, frames from 5000, preset, script, the FXIt call): band pass 200/100 runs as
    // 100/200; 1025 frames run, 1024 not; Cancel after loading a preset saved with OK runs nothing.
    void dispatchRunsWhatTheDialogSays()
    {
        const QString okFlag = writePreset(m_dir.filePath("ok.sfx"), 3, 16, 255, 0);
        for (const auto& [code, frames, preset, script, expected] :
             {std::tuple{7, 2000, QString(), sliders(200, 100), "FXIt(7,5000,7000,100,200,128)"},
              {3, 1025, QString(), sliders(1, 2), "FXIt(3,5000,6025,1,2,128)"},
              {3, 1024, QString(), sliders(1, 2), ""},
              {3, 2000, okFlag, loadThen("CancelButton"), ""}})
        {
            Engine engine;
            ScriptedUiServices ui;
            if (!preset.isEmpty())
                ui.files.push_back(preset);
            ui.dialogs.push_back(script);
            QStringList shown; // the message window and the redraw, in order
            const FxStudioHooks hooks{[&](const QString& t) { shown << t; },
                                      [&] { shown << QStringLiteral("hidden"); },
                                      [&] { shown << QStringLiteral("redrawn"); }};
            EffectSetting setting;
            const bool ran =
                dispatchEffect(code, setting, {5000, 5000 + frames}, engine.fx, ui, hooks);
            QCOMPARE(engine.graph(), *expected ? QStringList{expected} : QStringList());
            QCOMPARE(ran, *expected != 0);
            QCOMPARE(shown, (ran ? QStringList{"Applying Effects ...", "redrawn", "hidden"}
                                 : QStringList()));
            QVERIFY(ui.messages().isEmpty());
        }
    }

    // (value2, value1 being 0; selStart; the level of every sample; (sample index, value)...):
    // 2048 frames of 8192: N = 4096 and sample offset k gets 8192 * k * (255/256) / 4096.
    void fadeScalesEverySampleOfTheSelection_data()
    {
        QTest::addColumn<QList<int>>("fade");
        QTest::addColumn<Samples>("expected");
        QTest::newRow("0/0 silences, the left sample of frame selEnd too")
            << QList<int>{0, 100, 8192}
            << Samples{{199, 8192}, {200, 0}, {4295, 0}, {4296, 0}, {4297, 8192}};
        QTest::newRow("0/255 rises linearly, halves to even")
            << QList<int>{255, 100, 8192}
            << Samples{{200, 0},     {201, 2},     {264, 128},  {392, 382},
                       {4295, 8158}, {4296, 8160}, {4297, 8192}};
        QTest::newRow("halves to even below zero")
            << QList<int>{255, 100, -8192}
            << Samples{{201, -2}, {264, -128}, {392, -382}, {4296, -8160}};
        QTest::newRow("a selection to the track's end")
            << QList<int>{255, 4000 - 2048, 8192} << Samples{{7999, 8158}};
    }
    void fadeScalesEverySampleOfTheSelection()
    {
        QFETCH(QList<int>, fade);
        QFETCH(Samples, expected);
        Engine engine;
        engine.samples.assign(2 * 4000, int16_t(fade[2]));
        ScriptedUiServices ui;
        ui.dialogs.push_back(sliders(0, fade[0]));
        EffectSetting setting;
        QVERIFY(dispatchEffect(kFadeCode, setting, {fade[1], fade[1] + 2048}, engine.fx, ui, {}));
        for (const auto& [index, value] : expected)
            QCOMPARE(engine.samples[size_t(index)], int16_t(value));
        QVERIFY(engine.graph().isEmpty());
        QVERIFY(ui.messages().isEmpty());
    }

    // Audition runs the chain over 65535 frames either side of the selection's middle, plays
    // the mix and puts the track back; a selection of 262144 frames or less is too short.
    void auditionRunsTheChainOverTheExcerptAndRestoresIt()
    {
        for (const int32_t frames : {262144, 262146})
        {
            ChainWindow c({1000, 1000 + frames, 0, 255, 128});
            c.engine.results.insert(QStringLiteral("IsPlaying"), 1);
            c.add("Echo");
            click(c.w, "cmdAudition");
            if (frames == 262144)
            {
                QVERIFY(c.engine.graph().isEmpty());
                continue;
            }
            QCOMPARE(c.w.AudStart, 1000 + 131073 - 65535);
            QCOMPARE(c.w.AudEnd, 1000 + 131073 + 65535);
            const QString range = QStringLiteral("%1,%2").arg(c.w.AudStart).arg(c.w.AudEnd);
            QStringList expected;
            for (const int op : {1, 0, 2, 3, 5, 6, 3, 4})
                expected << (op == 0 ? "FXIt(3," + range + ",128,128,128)"
                                     : QStringLiteral("FilterGraph(%1,").arg(op) + range + ")");
            QCOMPARE(c.engine.graph(), expected);
            // The excerpt played to its end (131070 frames: the fourth position) before the stop.
            QCOMPARE(c.engine.callsOf("GetPosition").size(), 4);
            QVERIFY(c.ui.messages().isEmpty());
        }
    }

    void listCommandsKeepTheChainInOrder()
    {
        ChainWindow c({10000, 60000, 2, 200, 100});
        c.add("Echo");
        c.add("Band Pass", sliders(200, 100));
        c.add("Wah", [](QDialog& d) { d.reject(); }); // cancelled: not added
        c.add("FFT Bow");
        QCOMPARE(c.chosen(), (QStringList{"Echo", "Band Pass", "FFT Bow"}));
        QCOMPARE(c.w.chain().entries[1], (ChainEntry{100, 200, 0, 128, 0, 7}));

        c.list.setCurrentRow(2);
        click(c.w, "cmdUp");
        QCOMPARE(c.chosen(), (QStringList{"Echo", "FFT Bow", "Band Pass"}));
        QCOMPARE(c.list.currentRow(), 1);
        QCOMPARE(c.w.chain().entries[2].code, 7);
        click(c.w, "cmdDelete");
        QCOMPARE(c.chosen(), (QStringList{"Echo", "Band Pass"}));
        QCOMPARE(c.w.chain().count, 2);

        // Edit: OK stores the new values, band pass ordered.
        c.ui.dialogs.push_back(sliders(250, 30));
        c.list.setCurrentRow(1);
        emit c.list.itemDoubleClicked(c.list.item(1));
        QCOMPARE(c.w.chain().entries[1], (ChainEntry{30, 250, 0, 128, 0, 7}));

        // Apply runs each entry in order over the work buffer and mixes the result back.
        click(c.w, "cmdApply");
        QCOMPARE(c.w.result(), int(QDialog::Accepted));
        QCOMPARE(c.engine.callsOf("SetTrackAttr"), QStringList{"SetTrackAttr(2,200,100)"});
        QCOMPARE(c.engine.graph(),
                 (QStringList{"FilterGraph(1,10000,60000)", "FXIt(3,10000,60000,128,128,128)",
                              "FXIt(7,10000,60000,30,250,128)", "FilterGraph(2,10000,60000)"}));
        QVERIFY(c.ui.messages().isEmpty());
    }

    void theEighteenthEntryIsRefused()
    {
        ChainWindow c({0, 5000, 0, 255, 128});
        for (int i = 0; i < 17; ++i)
            c.add("Gain");
        c.add("Echo");
        QCOMPARE(c.w.chain().count, 17);
        QCOMPARE(c.chosen().size(), 17);
        QCOMPARE(c.ui.texts(Shown::Kind::Dialog).size(), 17); // no dialog shown for the 18th
        QCOMPARE(c.ui.messages(), QStringList{"The chain is full: it holds 17 effects."});
    }
};

QTEST_MAIN(FxTest)
#include "FxTest.moc"
