// Create Cab and OpenCabinet.
#include "commands/CabinetCommands.h"

#include "cabinet/ProjectCabinet.h"
#include "dialogs/FrmChain.h"
#include "services/UiServices.h"

#include <QDir>

namespace vumo
{

CabinetCommands::CabinetCommands(UiServices& ui, const QString& appFolder, QWidget* parent)
    : m_ui(ui), m_appFolder(appFolder), m_parent(parent)
{
}

CabinetCommands::~CabinetCommands()
{
    if (m_window && !m_window->running())
        delete m_window;
}

FrmChain* CabinetCommands::newWindow()
{
    if (m_window && !m_window->running())
        delete m_window;
    m_window = new FrmChain(m_ui, m_parent);
    if (!m_runner.isEmpty())
        m_window->setRunner(m_runner);
    return m_window;
}

bool CabinetCommands::createCab(const QString& projectPath, const project::ProjectData& project)
{
    if (projectPath.isEmpty())
        return false;
    const QString error = cab::writeCreateFiles(m_appFolder, projectPath, project);
    if (!error.isEmpty())
    {
        m_ui.message(error, MsgIcon::Critical);
        return false;
    }
    FrmChain* window = newWindow();
    window->setWindowTitle(QStringLiteral("Creating ") +
                           QDir::toNativeSeparators(cab::cabinetPathFor(m_appFolder, project)));
    QObject::connect(window, &FrmChain::chainEnded, window,
                     [this, window](bool ok)
                     {
                         if (!ok)
                             m_ui.message(QStringLiteral("The cabinet could not be created: ") +
                                              window->failure(),
                                          MsgIcon::Critical);
                     });
    window->start(m_appFolder);
    window->show();
    return true;
}

QString CabinetCommands::openCabinet(const QString& path)
{
    QString base;
    const QString error = cab::writeOpenFiles(m_appFolder, path, base);
    if (!error.isEmpty())
    {
        m_ui.message(error, MsgIcon::Critical);
        return {};
    }
    FrmChain* window = newWindow();
    window->setWindowTitle(QStringLiteral("Opening ") + QDir::toNativeSeparators(path));
    // Nothing else may start while the cabinet opens: the window stays until the chain ends.
    window->setWindowModality(Qt::ApplicationModal);
    window->start(m_appFolder);
    window->show();
    // The chain has ended when its runner has exited; the marker file it removes says nothing.
    window->waitUntilEnded();
    window->hide();
    if (!window->succeeded())
    {
        cab::removeOpenFiles(m_appFolder);
        m_ui.message(QStringLiteral("The cabinet could not be opened: ") + window->failure(),
                     MsgIcon::Critical);
        return {};
    }
    const cab::OpenedCabinet opened = cab::finishOpen(window->projectPath(), window->relocations());
    if (!opened.error.isEmpty())
    {
        m_ui.message(opened.error, MsgIcon::Critical);
        return {};
    }
    if (!opened.relocated.isEmpty())
        m_ui.message(QStringLiteral("These tracks were restored beside the project, because "
                                    "their folders do not exist here, another track names the "
                                    "same file, or you kept the files there:\n") +
                         opened.relocated.join(QLatin1Char('\n')),
                     MsgIcon::Information);
    if (!opened.missingTracks.isEmpty())
        m_ui.message(QStringLiteral("The cabinet did not restore these track files:\n") +
                         opened.missingTracks.join(QLatin1Char('\n')),
                     MsgIcon::Exclamation);
    return opened.projectPath;
}

} // namespace vumo
