// Values in units: the effect dialog and the mixer show what a slider's value does, worked out
// here by hand from what each parameter means, and the dialog has no slider for a parameter the
// effect does not use.
#include "dialogs/frmMix.h"
#include "fx/FrmFX.h"
#include "support/ScriptedUiServices.h"

#include <QLabel>
#include <QScrollBar>
#include <QTest>

using namespace vumo;

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
            {1, 1, 16, "×1.00 (0.0 dB)"},  // gain 16/16
            {1, 1, 32, "×2.00 (+6.0 dB)"}, // 20 log 2 = 6.02
            {1, 2, 128, "−6.0 dBFS"},      // limit 16384 of 32768
            {1, 2, 255, "0.0 dBFS"},       // 32640: -0.03 dB
            {1, 3, 0, "L 100 %"},          // left only
            {1, 3, 64, "L 50 %"},          // right at 64/128
            {1, 3, 127, "centre"},         // right at 127/128
            {1, 3, 128, "centre"},         // left at 127/128
            {1, 3, 192, "R 50 %"},         // left at 63/128: 50.8 %
            {1, 3, 255, "R 100 %"},        // right only
            {3, 1, 128, "186 ms"},         // 8192 frames: 185.8 ms
            {3, 1, 1, "1.5 ms"},           // 64 frames
            {3, 1, 0, "0 ms"},
            {3, 2, 128, "×0.50 (−6.0 dB)"}, // feedback 128/256
            {6, 1, 128, "3.43 Hz"},         // 128 steps a frame
            {6, 2, 128, "50 %"},            // depth 128/255
            {2, 1, 255, "0.00 Hz"},         // (255 - 255) steps
            {2, 1, 0, "6.83 Hz"},           // 255 steps
            {2, 2, 128, "5.8 ms"},          // 256 frames
            {7, 1, 2, "172 Hz"},            // 2 * 22050 / 256
            {7, 1, 1, "86.1 Hz"},
            {7, 1, 100, "8.61 kHz"},
            {7, 2, 255, "22.0 kHz"},              // 21964 Hz
            {9, 1, 255, "0.02 ms"},               // one frame
            {14, 1, 255, "0.05 ms"},              // (260 - 255) / 2 = 2 whole frames
            {14, 3, 128, "293 ms"},               // 100 * 129 frames
            {13, 1, 255, "off"},                  // no loop
            {13, 1, 128, "184 ms"},               // 128 * 127 samples = 8128 frames
            {13, 2, 255, "×0.25 (−12.1 dB)"},     // sustain 255/1024
            {20, 1, 0, "left delayed 2.9 ms"},    // 128 frames
            {20, 1, 255, "right delayed 2.9 ms"}, // 127 frames
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

    // (code, which sliders show): "N/A" above a slider is only a caption; an unused parameter
    // has none. An effect without any says so.
    void onlyUsedParametersHaveSliders()
    {
        for (const auto& [code, shown] : {std::pair{3, "111"},
                                          {5, "101"},
                                          {20, "100"},
                                          {21, "110"},
                                          {40, "110"},
                                          {15, "000"},
                                          {99, "111"}})
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
        mixer::frmMix w({{"Bass            ", 255, 128, 0}});
        auto* volume = w.findChild<QScrollBar*>("hscVol0");
        auto* pan = w.findChild<QScrollBar*>("hscPan0");
        QCOMPARE(w.findChild<QLabel*>("lblVolVal0")->text(), QString::fromUtf8("×0.99 (−0.1 dB)"));
        QCOMPARE(w.findChild<QLabel*>("lblPanVal0")->text(), QStringLiteral("centre"));
        for (const auto& [value, text] : {std::pair{128, "×0.50 (−6.1 dB)"}, // 127/256
                                          {0, "×0.00 (−∞ dB)"},
                                          {16, "×0.06 (−24.6 dB)"}}) // 15/256
        {
            volume->setValue(value);
            QCOMPARE(w.findChild<QLabel*>("lblVolVal0")->text(), QString::fromUtf8(text));
        }
        for (const auto& [value, text] : {std::pair{0, "L 49 %"}, // right 128/255
                                          {64, "L 24 %"},         // right 192/255
                                          {127, "centre"},
                                          {138, "centre"},
                                          {200, "R 24 %"},  // left 193/255
                                          {255, "R 45 %"}}) // left 138/255
        {
            pan->setValue(value);
            QCOMPARE(w.findChild<QLabel*>("lblPanVal0")->text(), QString::fromLatin1(text));
        }
    }
};

QTEST_MAIN(UnitsTest)
#include "UnitsTest.moc"
