// Values in units: the effect dialog and the mixer show what a slider's value does, worked out
// here by hand from what each parameter means, and the dialog has no slider for a parameter the
// effect does not use; the mixer window's rows, Apply and close button.
#include "dialogs/frmMix.h"
#include "fx/FrmFX.h"
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

const char* const kUnitLabels[] = {"lblRUnit", "lblDUnit", "lblPUnit"};

// The text beside slider `param` (1 ... 3) of code's dialog once the user moved it to value.
QString shownUnit(int32_t code, int param, int value)
{
    fx::EffectSetting s;
    fillDefaults(s, code);
    ScriptedUiServices ui;
    fx::FrmFX dialog(code, s, ui);
    dialog.findChild<QScrollBar*>(QStringLiteral("HScroll%1").arg(param))->setValue(value);
    return dialog.findChild<QLabel*>(kUnitLabels[param - 1])->text();
}

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

class UnitsTest : public QObject
{
    Q_OBJECT

private slots:
    // (code, parameter, value, text): 44100 frames a second, 32768 full scale, an oscillator
    // step of 2^-18 rad per frame is 44100 / (2^19 pi) Hz.
    void effectValuesShowInTheirUnits()
    {
        const struct
        {
            int32_t code;
            int param;
            int value;
            const char* text;
        } rows[] = {
            {1, 1, 16, "×1.00 (0.0 dB)"},   // gain 16/16
            {1, 1, 32, "×2.00 (+6.0 dB)"},  // 20 log 2 = 6.02
            {1, 2, 128, "−6.0 dBFS"},       // limit 16384 of 32768
            {1, 3, 0, "L 100 %"},           // left only
            {1, 3, 127, "centre"},          // right at 127/128
            {1, 3, 192, "R 50 %"},          // left at 63/128: 50.8 %
            {3, 1, 128, "186 ms"},          // 8192 frames: 185.8 ms
            {3, 2, 128, "×0.50 (−6.0 dB)"}, // feedback 128/256
            {6, 1, 128, "3.43 Hz"},         // 128 steps a frame
            {6, 2, 128, "50 %"},            // depth 128/255
            {2, 1, 0, "6.83 Hz"},           // 255 steps
            {2, 2, 128, "5.8 ms"},          // 256 frames
            {7, 1, 2, "172 Hz"},            // 2 * 22050 / 256
            {7, 1, 100, "8.61 kHz"},
            {7, 2, 255, "22.0 kHz"},           // 21964 Hz
            {9, 1, 255, "0.02 ms"},            // one frame
            {14, 1, 255, "0.05 ms"},           // (260 - 255) / 2 = 2 whole frames
            {14, 3, 128, "293 ms"},            // 100 * 129 frames
            {13, 1, 255, "off"},               // no loop
            {13, 1, 128, "184 ms"},            // 128 * 127 samples = 8128 frames
            {13, 2, 255, "×0.25 (−12.1 dB)"},  // sustain 255/1024
            {20, 1, 0, "left delayed 2.9 ms"}, // 128 frames
            {20, 1, 128, "none"},
            {21, 2, 64, "−6.0 dBFS"},        // note on above 256 * 64
            {40, 1, 64, "×0.25 (−12.0 dB)"}, // start volume 64/256
            {28, 3, 128, "×0.50 (−6.0 dB)"}, // high gain 128/256
            {12, 1, 128, ""},                // a curve: no clean unit
            {29, 2, 5, ""},                  // a key
        };
        for (const auto& r : rows)
        {
            const QString seen = shownUnit(r.code, r.param, r.value);
            QVERIFY2(seen == QString::fromUtf8(r.text),
                     qPrintable(QStringLiteral("code %1 P%2 = %3 shows %4")
                                    .arg(r.code)
                                    .arg(r.param)
                                    .arg(r.value)
                                    .arg(seen)));
        }
    }

    // (code, which sliders show): an unused parameter has none; an effect without any says so.
    void onlyUsedParametersHaveSliders()
    {
        for (const auto& [code, shown] :
             {std::pair{3, "111"}, {5, "101"}, {21, "110"}, {15, "000"}, {99, "111"}})
        {
            fx::EffectSetting s;
            fillDefaults(s, code);
            ScriptedUiServices ui;
            fx::FrmFX dialog(code, s, ui);
            dialog.show();
            QString seen;
            for (int i = 1; i <= 3; ++i)
            {
                const bool bar =
                    dialog.findChild<QScrollBar*>(QStringLiteral("HScroll%1").arg(i))->isVisible();
                QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("Label%1").arg(i))->isVisible(),
                         bar);
                seen += bar ? u'1' : u'0';
            }
            QCOMPARE(seen, QString::fromLatin1(shown));
            QCOMPARE(dialog.findChild<QLabel*>("lblNoSettings")->isVisible(), seen == "000");
        }
    }

    // Volume: the engine's gain volume * 255 / 256 (truncated) in 1/256 steps. Pan: the side
    // factors min(255, 393 - pan) and min(255, pan + 128), the quieter side's cut in percent.
    void mixerShowsGainAndPosition()
    {
        frmMix w({{"Bass            ", 255, 128, 0}});
        auto* volume = w.findChild<QScrollBar*>("hscVol0");
        auto* pan = w.findChild<QScrollBar*>("hscPan0");
        QCOMPARE(w.findChild<QLabel*>("lblVolVal0")->text(), QString::fromUtf8("×0.99 (−0.1 dB)"));
        QCOMPARE(w.findChild<QLabel*>("lblPanVal0")->text(), QStringLiteral("centre"));
        for (const auto& [value, text] : {std::pair{128, "×0.50 (−6.1 dB)"}, // 127/256
                                          {16, "×0.06 (−24.6 dB)"}})         // 15/256
        {
            volume->setValue(value);
            QCOMPARE(w.findChild<QLabel*>("lblVolVal0")->text(), QString::fromUtf8(text));
        }
        for (const auto& [value, text] : {std::pair{0, "L 49 %"}, // right 128/255
                                          {127, "centre"},
                                          {200, "R 24 %"},  // left 193/255
                                          {255, "R 45 %"}}) // left 138/255
        {
            pan->setValue(value);
            QCOMPARE(w.findChild<QLabel*>("lblPanVal0")->text(), QString::fromLatin1(text));
        }
    }

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

    // Bars and mute boxes changed (or not), then Apply or the close button.
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

QTEST_MAIN(UnitsTest)
#include "UnitsTest.moc"
