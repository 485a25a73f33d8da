// vumo_chain_screenshot: runs the cabinet chain of a made-up two-track project in the chain
// window and saves the window as a PNG once the chain has ended.
// Usage: vumo_chain_screenshot <file.png>  (vumo-chain must be beside the program)
#include "cabinet/CabinetScript.h"
#include "dialogs/FrmChain.h"
#include "files/FileWrite.h"
#include "support/ScriptedUiServices.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString file = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    vumo::cab::CabinetProject project{"My Song", folder + "/My Song.vum", {}};
    vumo::cab::writeFileBeside(project.projectFile, "VUM", 3);
    for (int k = 0; k < 2; ++k)
    {
        // A canonical header and 2000 silent frames.
        std::string wave("RIFF\x64\x1f\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xac\0\0\x10\xb1\x02\0"
                         "\x04\0\x10\0data\x40\x1f\0\0",
                         44);
        wave.append(8000, '\0');
        project.trackFiles.push_back(folder + "/My Song-t" + std::to_string(k + 1) + ".wav");
        vumo::cab::writeFileBeside(project.trackFiles.back(), wave.data(), wave.size());
    }
    vumo::cab::writeLines(folder + "/vumocab.bat", vumo::cab::createChainLines(project));
    vumo::cab::writeLines(folder + "/unshortn.bat", vumo::cab::restoreChainLines(project));
    vumo::cab::writeLines(folder + "/vumo.ddf", vumo::cab::directiveLines(project));

    vumo::ScriptedUiServices ui;
    vumo::FrmChain window(ui);
    window.setWindowTitle(QStringLiteral("Creating ") +
                          QDir::toNativeSeparators(dir.filePath("My Song/My Song.cab")));
    QObject::connect(&window, &vumo::FrmChain::chainEnded, &app,
                     [&](bool)
                     {
                         QTimer::singleShot(200,
                                            [&]
                                            {
                                                window.grab().save(file);
                                                app.quit();
                                            });
                     });
    window.show();
    window.start(dir.path());
    return app.exec() == 0 && window.succeeded() ? 0 : 1;
}
