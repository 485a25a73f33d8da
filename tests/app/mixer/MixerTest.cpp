// The mixer window through scripted runs: its rows, Apply, Cancel and the close button.
#include "mixer/frmMix.h"
#include "support/ScriptedUiServices.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QScrollBar>
#include <QTest>

using namespace vumo;
using namespace vumo::mixer;

namespace
{

QList<MixRow> tracks(int count)
{
    QList<MixRow> rows;
    for (int t = 0; t < count; ++t)
        rows.append(
            {QByteArray("Track ") + QByteArray::number(t + 1) + "     ", 10 * t, 128, t % 2});
    return rows;
}

template <class T> T* row(QDialog& d, const char* control, int r)
{
    return d.findChild<T*>(QString::fromLatin1(control) + QString::number(r));
}

} // namespace

class MixerTest : public QObject
{
    Q_OBJECT

private slots:
    void rowsForEveryTrack_data()
    {
        QTest::addColumn<int>("trackCount");
        QTest::newRow("3 tracks") << 3;
        QTest::newRow("17 tracks") << 17;
    }
    void rowsForEveryTrack()
    {
        QFETCH(int, trackCount);
        frmMix w(tracks(trackCount));
        QCOMPARE(w.windowTitle(), QStringLiteral("Mix"));
        for (int r = 0; r < trackCount; ++r)
        {
            QCOMPARE(row<QLabel>(w, "lblTrackName", r)->text(),
                     QStringLiteral("Track %1").arg(r + 1));
            QCOMPARE(row<QScrollBar>(w, "hscVol", r)->value(), 10 * r);
            QCOMPARE(row<QCheckBox>(w, "chkMute", r)->isChecked(), r % 2 == 1);
        }
        QVERIFY(row<QLabel>(w, "lblTrackName", trackCount) == nullptr);
    }

    void titleBytesAreShownDecoded()
    {
        frmMix w({{QByteArray("  Caf\xe9 solo      "), 255, 0, 0}});
        QCOMPARE(row<QLabel>(w, "lblTrackName", 0)->text(), QStringLiteral("Caf\u00e9 solo"));
    }

    // The user moves the bars of the second of three rows, ticks the first row's mute box and
    // clears the second's, then leaves the window one way or another.
    void leaving_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("applied");
        QTest::newRow("Apply") << "cmdApply" << true;
        QTest::newRow("Cancel") << "cmdCancel" << false;
        QTest::newRow("close button") << "close" << false;
    }
    void leaving()
    {
        QFETCH(QString, how);
        QFETCH(bool, applied);
        ScriptedUiServices ui;
        ui.dialogs.push_back(
            [how](QDialog& d)
            {
                row<QScrollBar>(d, "hscVol", 1)->setValue(200);
                row<QScrollBar>(d, "hscPan", 1)->setValue(3);
                row<QCheckBox>(d, "chkMute", 0)->setChecked(true);
                row<QCheckBox>(d, "chkMute", 1)->setChecked(false);
                if (how == QStringLiteral("close"))
                    d.close();
                else
                    d.findChild<QAbstractButton*>(how)->click();
            });
        const QList<MixRow> before = tracks(3);
        const auto result = runMixer(ui, before);
        QCOMPARE(result.has_value(), applied);
        if (!applied)
            return;
        QCOMPARE(result->size(), 3);
        const MixRow& edited = (*result)[1];
        QCOMPARE(edited.volume, 200);
        QCOMPARE(edited.pan, 3);
        QCOMPARE(edited.mute, 0);
        QCOMPARE(edited.title, before[1].title);
        QCOMPARE((*result)[2].volume, before[2].volume);
        QCOMPARE((*result)[0].mute, 1);
    }

    void applyWithoutChangesReturnsTheSameRows()
    {
        ScriptedUiServices ui;
        ui.dialogs.push_back([](QDialog& d)
                             { d.findChild<QAbstractButton*>("cmdApply")->click(); });
        const auto result = runMixer(ui, tracks(2));
        QVERIFY(result.has_value());
        QCOMPARE((*result)[1].volume, 10);
        QCOMPARE((*result)[1].mute, 1);
    }
};

QTEST_MAIN(MixerTest)
#include "MixerTest.moc"
