// The mixer window through scripted runs: its rows, Apply and the close button.
#include "dialogs/frmMix.h"
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

// Track t: volume 10 t, centre pan, muted when t is odd; the first title is Latin-1 and padded.
QList<MixRow> tracks(int count)
{
    QList<MixRow> rows{{QByteArray("  Caf\xe9 solo      "), 0, 128, 0}};
    for (int t = 1; t < count; ++t)
        rows.append({"Track " + QByteArray::number(t + 1) + "     ", 10 * t, 128, t % 2});
    return rows;
}

// Volume, pan and mute of every row, in order.
QList<int> mix(const QList<MixRow>& rows)
{
    QList<int> out;
    for (const MixRow& r : rows)
        out << r.volume << r.pan << r.mute;
    return out;
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
    void rowsForEveryTrack()
    {
        frmMix w(tracks(17));
        QCOMPARE(row<QLabel>(w, "lblTrackName", 0)->text(), QStringLiteral("Caf\u00e9 solo"));
        for (int r = 1; r < 17; ++r)
        {
            QCOMPARE(row<QLabel>(w, "lblTrackName", r)->text(),
                     QStringLiteral("Track %1").arg(r + 1));
            QCOMPARE(row<QScrollBar>(w, "hscVol", r)->value(), 10 * r);
            QCOMPARE(row<QCheckBox>(w, "chkMute", r)->isChecked(), r % 2 == 1);
        }
        QVERIFY(row<QLabel>(w, "lblTrackName", 17) == nullptr);
    }

    // The user moves the second of three rows' bars, ticks the first row's mute box and clears
    // the second's (or changes nothing), then leaves by Apply or the close button (Cancel:
    // tst_projectmodel).
    void leaving()
    {
        for (const auto& [how, edit] :
             {std::pair{"cmdApply", true}, {"cmdApply", false}, {"close", true}})
        {
            ScriptedUiServices ui;
            ui.dialogs.push_back(
                [how = how, edit = edit](QDialog& d)
                {
                    if (edit)
                    {
                        row<QScrollBar>(d, "hscVol", 1)->setValue(200);
                        row<QScrollBar>(d, "hscPan", 1)->setValue(3);
                        row<QCheckBox>(d, "chkMute", 0)->setChecked(true);
                        row<QCheckBox>(d, "chkMute", 1)->setChecked(false);
                    }
                    if (QByteArray(how) == "close")
                        d.close();
                    else
                        d.findChild<QAbstractButton*>(how)->click();
                });
            const auto result = runMixer(ui, tracks(3));
            QCOMPARE(result.has_value(), QByteArray(how) == "cmdApply");
            if (result)
                QCOMPARE(mix(*result),
                         (edit ? QList<int>{0, 128, 1, 200, 3, 0, 20, 128, 0} : mix(tracks(3))));
            if (result)
                QCOMPARE((*result)[1].title, tracks(3)[1].title);
        }
    }
};

QTEST_MAIN(MixerTest)
#include "MixerTest.moc"
