// The chain window over the real engine (libwavorn) and its virtual devices: Apply, Audition,
// the capacity and the list commands.
#include "fx/frmFXList.h"
#include "support/ScriptedUiServices.h"

#include "wavorn.h"

#include <QAbstractButton>
#include <QDataStream>
#include <QDialog>
#include <QFile>
#include <QListWidget>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

using namespace vumo;
using namespace vumo::fx;

namespace
{

constexpr int32_t kTrackFrames = 600000; // the output block: far longer than the excerpt

// The engine's exports; FilterGraph's operations are logged.
struct RealEngine : FxEngine
{
    std::vector<int32_t> graphOps;

    int32_t FXIt(int32_t code, int32_t first, int32_t last, int32_t p1, int32_t p2,
                 int32_t p3) override
    {
        return ::FXIt(code, first, last, p1, p2, p3);
    }
    int32_t FilterGraph(int32_t op, int32_t first, int32_t last) override
    {
        graphOps.push_back(op);
        return ::FilterGraph(op, first, last);
    }
    int32_t TrackRead(int32_t i) override { return ::TrackRead(i); }
    int32_t TrackWrite(int32_t i, int32_t v) override { return ::TrackWrite(i, v); }
    int32_t IsPlaying() override { return ::IsPlaying(); }
    int32_t GetPosition() override { return ::GetPosition(); }
    int32_t SetTrackAttr(int32_t t, int32_t v, int32_t p) override
    {
        return ::SetTrackAttr(t, v, p);
    }
};

// The track's test signal: a ramp that repeats every 2000 frames, right = -left.
int16_t signalAt(int32_t sampleIndex)
{
    const int v = (sampleIndex / 2) % 2000 - 1000;
    return int16_t(sampleIndex % 2 == 0 ? v : -v);
}

bool writeTrack(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QDataStream out(&f);
    out.setByteOrder(QDataStream::LittleEndian);
    const quint32 dataBytes = quint32(kTrackFrames) * 4;
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(2) << quint32(44100) << quint32(176400)
        << quint16(4) << quint16(16);
    out.writeRawData("data", 4);
    out << dataBytes;
    for (int32_t i = 0; i < 2 * kTrackFrames; ++i)
        out << qint16(signalAt(i));
    return out.status() == QDataStream::Ok;
}

void click(QWidget& w, const char* name)
{
    w.findChild<QAbstractButton*>(QString::fromLatin1(name))->click();
}

std::function<void(QDialog&)> okWith(int v1 = -1, int v2 = -1)
{
    return [=](QDialog& d)
    {
        if (v1 >= 0)
            d.findChild<QScrollBar*>(QStringLiteral("HScroll1"))->setValue(v1);
        if (v2 >= 0)
            d.findChild<QScrollBar*>(QStringLiteral("HScroll2"))->setValue(v2);
        click(d, "OKButton");
    };
}

// Adds the available effect named name, answering its dialog with script.
void add(frmFXList& w, ScriptedUiServices& ui, const char* name,
         std::function<void(QDialog&)> script = okWith())
{
    auto* available = w.findChild<QListWidget*>(QStringLiteral("lstAvailable"));
    available->setCurrentItem(available->findItems(QString::fromLatin1(name), Qt::MatchExactly)[0]);
    ui.dialogs.push_back(std::move(script));
    click(w, "cmdAdd");
}

QStringList chosen(frmFXList& w)
{
    QStringList names;
    auto* list = w.findChild<QListWidget*>(QStringLiteral("lstFX"));
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

} // namespace

class FxListTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init() { QCOMPARE(::Undo(), 0); } // the track as its file holds it
    void oneGainEntryDoublesTheMiddle();
    void auditionPlaysTheExcerptAndLeavesTheTrack_data();
    void auditionPlaysTheExcerptAndLeavesTheTrack();
    void listCommandsKeepTheChainInOrder();
    void theEighteenthEntryIsRefused();

private:
    QTemporaryDir m_dir;
    RealEngine m_engine;
    EffectSetting m_setting;
};

void FxListTest::initTestCase()
{
    qputenv("VUMO_AUDIO_BACKEND", "virtual");
    qputenv("VUMO_VIRTUAL_SPEED", "20");
    qputenv("VUMO_VIRTUAL_OUTPUT", m_dir.filePath(QStringLiteral("out.wav")).toLocal8Bit());
    const QByteArray track = m_dir.filePath(QStringLiteral("track.wav")).toLocal8Bit();
    QVERIFY(writeTrack(QString::fromLocal8Bit(track)));
    QCOMPARE(::OpenLib(kTrackFrames, 0), 0);
    QCOMPARE(::ClearTracks(), 0);
    QCOMPARE(::SetTrackInfo(0, track.constData()), 0);
    QCOMPARE(::SetTrackAttr(0, 255, 128), 0);
    QCOMPARE(::SetCurTrack(0, 1), 0);
}

void FxListTest::cleanupTestCase()
{
    ::CloseLib();
}

void FxListTest::oneGainEntryDoublesTheMiddle()
{
    ScriptedUiServices ui;
    frmFXList w(m_engine, ui, m_setting, {10000, 60000, 0, 255, 128});
    add(w, ui, "Gain");
    m_engine.graphOps.clear();
    click(w, "cmdApply");
    QCOMPARE(w.result(), int(QDialog::Accepted));
    QCOMPARE(m_engine.graphOps, (std::vector<int32_t>{1, 2}));
    // Processed plus unprocessed: about twice the track in the middle; outside, the track.
    for (int32_t frame : {30001, 35500, 39999})
        for (int32_t s : {2 * frame, 2 * frame + 1})
        {
            const double ratio = ::TrackRead(s) / double(signalAt(s));
            QVERIFY2(ratio > 1.9 && ratio < 2.1, qPrintable(QString::number(ratio)));
        }
    QCOMPARE(::TrackRead(2 * 9999), int32_t(signalAt(2 * 9999)));
    QCOMPARE(::TrackRead(2 * 60000 + 1), int32_t(signalAt(2 * 60000 + 1)));
    QVERIFY(ui.messages().isEmpty());
}

void FxListTest::auditionPlaysTheExcerptAndLeavesTheTrack_data()
{
    QTest::addColumn<int32_t>("frames");
    QTest::addColumn<bool>("plays");
    QTest::newRow("262144 frames: too short") << 262144 << false;
    QTest::newRow("262146 frames") << 262146 << true;
}

void FxListTest::auditionPlaysTheExcerptAndLeavesTheTrack()
{
    QFETCH(int32_t, frames);
    QFETCH(bool, plays);
    ScriptedUiServices ui;
    constexpr int32_t selStart = 1000;
    frmFXList w(m_engine, ui, m_setting, {selStart, selStart + frames, 0, 255, 128});
    add(w, ui, "Echo");
    add(w, ui, "Reverse");
    m_engine.graphOps.clear();
    click(w, "cmdAudition");
    if (!plays)
    {
        QVERIFY(m_engine.graphOps.empty());
        return;
    }
    QCOMPARE(m_engine.graphOps, (std::vector<int32_t>{1, 2, 3, 5, 6, 3, 4}));
    QCOMPARE(w.AudStart, selStart + 131073 - 65535);
    QCOMPARE(w.AudEnd, selStart + 131073 + 65535);
    for (int32_t i = 0; i < 2 * kTrackFrames; ++i)
        if (::TrackRead(i) != signalAt(i))
            QFAIL(qPrintable(QStringLiteral("sample %1 changed").arg(i)));
    // The wait lasted until the excerpt was played, and the rest of the output block was not
    // (the virtual output's file holds what it played).
    const qint64 played = (QFile(m_dir.filePath(QStringLiteral("out.wav"))).size() - 44) / 4;
    QVERIFY2(played >= 131070 && played < kTrackFrames, qPrintable(QString::number(played)));
    QVERIFY(ui.messages().isEmpty());
}

void FxListTest::listCommandsKeepTheChainInOrder()
{
    ScriptedUiServices ui;
    frmFXList w(m_engine, ui, m_setting, {0, 5000, 0, 255, 128});
    add(w, ui, "Echo");
    add(w, ui, "Band Pass", okWith(200, 100));
    add(w, ui, "Wah", [](QDialog& d) { d.reject(); }); // cancelled: not added
    add(w, ui, "FFT Bow");
    QCOMPARE(chosen(w), (QStringList{"Echo", "Band Pass", "FFT Bow"}));
    QCOMPARE(w.chain().entries[1], (ChainEntry{100, 200, 0, 128, 0, 7}));

    auto* list = w.findChild<QListWidget*>(QStringLiteral("lstFX"));
    list->setCurrentRow(0);
    click(w, "cmdUp"); // first entry: nothing
    list->setCurrentRow(2);
    click(w, "cmdDown"); // last entry: nothing
    QCOMPARE(chosen(w), (QStringList{"Echo", "Band Pass", "FFT Bow"}));
    click(w, "cmdUp");
    QCOMPARE(chosen(w), (QStringList{"Echo", "FFT Bow", "Band Pass"}));
    QCOMPARE(list->currentRow(), 1);
    QCOMPARE(w.chain().entries[2].code, 7);
    click(w, "cmdDelete");
    QCOMPARE(chosen(w), (QStringList{"Echo", "Band Pass"}));
    QCOMPARE(w.chain().count, 2);

    // Edit: the dialog opens on the entry's values; OK stores the new ones, band pass ordered.
    int shownLow = -1;
    ui.dialogs.push_back(
        [&](QDialog& d)
        {
            shownLow = d.findChild<QScrollBar*>(QStringLiteral("HScroll1"))->value();
            okWith(250, 30)(d);
        });
    list->setCurrentRow(1);
    emit list->itemDoubleClicked(list->item(1));
    QCOMPARE(shownLow, 100);
    QCOMPARE(w.chain().entries[1], (ChainEntry{30, 250, 0, 128, 0, 7}));

    // Saved and loaded back through the window; a failed load keeps the chain and the list.
    const QString path = m_dir.filePath(QStringLiteral("two.mfx"));
    ui.files = {path, m_dir.filePath(QStringLiteral("missing.mfx")), path};
    click(w, "cmdSave");
    const EffectChain saved = w.chain();
    click(w, "cmdLoad");
    QCOMPARE(ui.messages().size(), 1);
    click(w, "cmdLoad");
    QCOMPARE(w.chain(), saved);
    QCOMPARE(chosen(w), (QStringList{"Echo", "Band Pass"}));

    // The close button acts as Cancel and runs nothing.
    m_engine.graphOps.clear();
    w.show();
    w.close();
    QCOMPARE(w.result(), int(QDialog::Rejected));
    QVERIFY(m_engine.graphOps.empty());
}

void FxListTest::theEighteenthEntryIsRefused()
{
    ScriptedUiServices ui;
    frmFXList w(m_engine, ui, m_setting, {0, 5000, 0, 255, 128});
    for (int i = 0; i < 17; ++i)
        add(w, ui, "Gain");
    QCOMPARE(w.chain().count, 17);
    const int dialogs = int(ui.texts(Shown::Kind::Dialog).size());
    add(w, ui, "Echo");
    QCOMPARE(w.chain().count, 17);
    QCOMPARE(int(ui.texts(Shown::Kind::Dialog).size()), dialogs); // no dialog shown
    QCOMPARE(ui.messages(), QStringList{"The chain is full: it holds 17 effects."});
    QCOMPARE(chosen(w).size(), 17);
}

QTEST_MAIN(FxListTest)
#include "FxListTest.moc"
