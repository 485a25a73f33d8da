// vumo_mixer_screenshot: shows the mixer over a made-up project of six tracks and saves it as a
// PNG. Usage: vumo_mixer_screenshot <file.png>
#include "dialogs/frmMix.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString file = QString::fromLocal8Bit(argv[1]);
    const QList<vumo::mixer::MixRow> rows = {
        {"Drums           ", 230, 128, 0}, {"Bass            ", 200, 100, 0},
        {"Rhythm Guitar   ", 150, 40, 0},  {"Lead Guitar     ", 180, 210, 0},
        {"Vocals          ", 240, 128, 0}, {"Scratch Vocal   ", 120, 128, 1},
    };
    vumo::mixer::frmMix window(rows);
    window.show();
    QTimer::singleShot(300,
                       [&]
                       {
                           window.grab().save(file);
                           app.quit();
                       });
    return app.exec();
}
