// vumo_fx_screenshot: shows the effect dialog (Echo, or the effect of the code given, as the F&X
// menu opens it) or the chain window (a chain of four effects, half run) and saves it as a PNG.
// Usage: vumo_fx_screenshot <file.png> fx [code] | fxlist
#include "fx/ChainProgress.h"
#include "fx/FrmFX.h"
#include "fx/frmFXList.h"
#include "support/ScriptedUiServices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QListWidget>
#include <QTimer>

namespace
{

// Nothing runs while the windows are only shown.
struct IdleEngine : vumo::fx::FxEngine
{
    int32_t FXIt(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) override { return 0; }
    int32_t FilterGraph(int32_t, int32_t, int32_t) override { return 0; }
    int32_t TrackRead(int32_t) override { return 0; }
    int32_t TrackWrite(int32_t, int32_t) override { return 0; }
    int32_t IsPlaying() override { return 0; }
    int32_t GetPosition() override { return 0; }
    int32_t SetTrackAttr(int32_t, int32_t, int32_t) override { return 0; }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 3)
        return 2;
    const QString file = QString::fromLocal8Bit(argv[1]);
    const QString which = QString::fromLocal8Bit(argv[2]);
    vumo::ScriptedUiServices ui;
    IdleEngine engine;
    vumo::fx::EffectSetting setting;
    std::unique_ptr<QDialog> window;
    if (which == QStringLiteral("fx"))
    {
        const int32_t code = argc > 3 ? QString::fromLocal8Bit(argv[3]).toInt() : 3;
        vumo::fx::fillDefaults(setting, code);
        if (code == 3)
        {
            setting.value1 = 96;
            setting.value2 = 170;
        }
        window = std::make_unique<vumo::fx::FrmFX>(code, setting, ui);
    }
    else
    {
        auto list = std::make_unique<vumo::fx::frmFXList>(engine, ui, setting,
                                                          vumo::fx::ChainTarget{0, 441000});
        auto* available = list->findChild<QListWidget*>(QStringLiteral("lstAvailable"));
        for (const char* name : {"Band Pass", "Chorus 2 Voices", "Echo", "FFT Bass Boost"})
        {
            available->setCurrentItem(
                available->findItems(QString::fromLatin1(name), Qt::MatchExactly).value(0));
            ui.dialogs.push_back([](QDialog& d) { d.accept(); });
            list->findChild<QAbstractButton*>(QStringLiteral("cmdAdd"))->click();
        }
        list->findChild<QListWidget*>(QStringLiteral("lstFX"))->setCurrentRow(2);
        available->setCurrentRow(14);
        window = std::move(list);
    }
    window->show();
    QTimer::singleShot(300,
                       [&]
                       {
                           if (auto* p = window->findChild<vumo::fx::ChainProgress*>())
                               p->step(2, 4);
                           window->grab().save(file);
                           app.quit();
                       });
    return app.exec();
}
