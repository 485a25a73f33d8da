// frmVumo's import: Track > Import Audio... and audio files dropped on the window, which
// ImportCommands carries out.
#include "mainwin/frmVumo.h"

#include "commands/ImportCommands.h"
#include "dialogs/FrmMessage.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace vumo
{
namespace
{

// The local files a drag carries; empty when it carries anything else.
QStringList droppedFiles(const QMimeData* data)
{
    QStringList files;
    if (data == nullptr || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls())
    {
        if (!url.isLocalFile())
            return {};
        files << url.toLocalFile();
    }
    return files;
}

} // namespace

void frmVumo::mnuTrackImport()
{
    m_importCommands->mnuTrackImport();
}

void frmVumo::dragEnterEvent(QDragEnterEvent* event)
{
    // Not while a pass, a command or an import runs (the Track menu is locked, the message
    // window up).
    const bool idle = m_actions.value(QStringLiteral("mnuTrack"))->isEnabled() &&
                      !m_message->isVisible() && !m_importCommands->busy();
    if (idle && !droppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmVumo::dropEvent(QDropEvent* event)
{
    const QStringList files = droppedFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    // The import runs once the drop is over, so the program the files came from is not kept
    // waiting.
    QTimer::singleShot(0, this,
                       [this, files]
                       {
                           runCommand(QStringLiteral("mnuTrackImport"),
                                      [this, files] { m_importCommands->importFiles(files); });
                       });
}

} // namespace vumo
