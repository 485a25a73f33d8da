// EditCommands: the Edit menu on the selection of the current track.
#include "commands/EditCommands.h"

#include "commands/ImportCommands.h"
#include "commands/StudioWindow.h"
#include "commands/TrackTable.h"
#include "engineapi/EngineBinding.h"
#include "engineapi/EngineSession.h"
#include "files/SafeWrite.h"
#include "files/WaveSampleFormat.h"
#include "model/ProjectModel.h"
#include "platform/WaveHeader.h"
#include "platform/files/RegularFile.h"
#include "services/UiServices.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vumo
{
namespace
{

constexpr qint64 kCopyChunkBytes = qint64(1) << 20;

QByteArray enginePath(const QString& path)
{
    return QFile::encodeName(path);
}

bool sameFile(const QString& a, const QString& b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

// Copies source over target through the safe writer: a part file beside target, renamed over it
// only when the copy is complete. Only a regular file a track can take is copied: a FIFO or a
// device would stall the window for good or never end. Returns why it failed, or an empty text.
QString replaceWithCopy(const QString& source, const QString& target)
{
    const platform::OpenedFile in = platform::openRegularFile(QFile::encodeName(source).constData(),
                                                              platform::kMaxTrackFileBytes);
    if (!in.file)
        return QString::fromLocal8Bit(platform::refusalText(in, platform::kMaxTrackFileBytes));
    files::SafeFileWriter out(target);
    if (QString why = out.open(); !why.isEmpty())
        return why;
    QByteArray chunk(kCopyChunkBytes, Qt::Uninitialized);
    for (;;)
    {
        const size_t got = std::fread(chunk.data(), 1, size_t(chunk.size()), in.file.get());
        if (std::ferror(in.file.get()))
            return QString::fromLocal8Bit(std::strerror(errno)); // the part goes with out
        if (got == 0)
            break;
        if (QString why = out.write(chunk.constData(), qint64(got)); !why.isEmpty())
            return why;
    }
    return out.commit();
}

} // namespace

EditCommands::EditCommands(const ProjectModel& model, EngineSession& session, UiServices& ui,
                           StudioWindow& window, const QString& clipFile)
    : m_model(model), m_session(session), m_ui(ui), m_window(window), m_clipFile(clipFile)
{
}

bool EditCommands::canEdit()
{
    return engineReady(m_session, m_ui) &&
           trackSelected(m_window.chosenTrack(), m_model.mod().trackCount, m_ui);
}

bool EditCommands::keepSelection(const QString& label)
{
    return m_window.keepStep(m_window.selection().selStart, m_window.selection().selEnd, label);
}

void EditCommands::engineFrame(const QString& message, const char* exportName, bool redraw,
                               const std::function<int32_t(EngineBinding&)>& call,
                               const QString& loadedFile)
{
    m_window.showMessage(message);
    checkLoad(m_ui, exportName, call(m_session.engine()), loadedFile);
    if (redraw)
        m_window.DrawTrack();
    m_window.hideMessage();
}

QString EditCommands::chooseWave()
{
    return m_ui.browseForFile(QStringLiteral("*.wav"), QStringLiteral("Open"));
}

void EditCommands::mnuEditCut()
{
    if (!canEdit() || !keepSelection(QStringLiteral("Cut")))
        return;
    // The engine silences the range even when the clipboard could not be written: redraw.
    engineFrame(QStringLiteral("Cutting To ..."), "CutTo", true,
                [this](EngineBinding& e)
                {
                    return e.CutTo(m_window.selection().selStart, m_window.selection().selEnd,
                                   enginePath(m_clipFile).constData());
                });
}

void EditCommands::mnuEditCopy()
{
    if (!canEdit())
        return;
    engineFrame(QStringLiteral("Copying ..."), "CopyTo", false,
                [this](EngineBinding& e)
                {
                    return e.CopyTo(m_window.selection().selStart, m_window.selection().selEnd,
                                    enginePath(m_clipFile).constData());
                });
}

void EditCommands::pasteClipboard(int32_t mode, const QString& message)
{
    if (!canEdit() || !QFileInfo::exists(m_clipFile) ||
        !keepSelection(mode == kStraight ? QStringLiteral("Paste") : QStringLiteral("Merge")))
        return;
    engineFrame(
        message, "PasteFrom", true,
        [this, mode](EngineBinding& e)
        {
            return e.PasteFrom(m_window.selection().selStart, m_window.selection().selEnd,
                               enginePath(m_clipFile).constData(), mode);
        },
        m_clipFile);
}

void EditCommands::mnuEditPaste()
{
    pasteClipboard(kStraight, QStringLiteral("Performing Paste ..."));
}

void EditCommands::mnuEditMerge()
{
    pasteClipboard(kMerged, QStringLiteral("Merging ..."));
}

void EditCommands::mnuEditCopyTo()
{
    if (!canEdit())
        return;
    // The file dialog's Save mode takes a new name and asks before an existing file is
    // replaced (its Open mode would drop a name of no existing file).
    const QString name = m_ui.browseForFile(QStringLiteral("*.wav"), QStringLiteral("Save as"));
    if (name.isEmpty())
        return;
    engineFrame(QStringLiteral("Copying To ..."), "CopyTo", false,
                [this, &name](EngineBinding& e)
                {
                    return e.CopyTo(m_window.selection().selStart, m_window.selection().selEnd,
                                    enginePath(name).constData());
                });
}

void EditCommands::mnuEditCopyFrom()
{
    const QString name = chooseWave();
    if (name.isEmpty() || sameFile(name, m_clipFile))
        return;
    using Conversion = ImportCommands::Conversion;
    const Conversion c =
        m_import ? m_import->offerConversion(
                       name, m_clipFile, QString(),
                       QStringLiteral("Convert it to 16-bit 44100 Hz into the clipboard?"),
                       m_import->trackFrames())
                 : Conversion::NotNeeded;
    // Pasted later, a file the loader refuses would fail: without its conversion the
    // clipboard stays as it was.
    const QString refused = files::sampleFormatRefusal(name);
    if (c == Conversion::NotNeeded && !refused.isEmpty())
        m_ui.message(refused + QStringLiteral("\nThe clipboard is unchanged."),
                     MsgIcon::Exclamation);
    else if (c == Conversion::NotNeeded || c == Conversion::UseAsIs)
        copyIntoClipboard(name);
}

void EditCommands::copyIntoClipboard(const QString& name)
{
    m_window.showMessage(QStringLiteral("Copying From ..."));
    if (const QString why = replaceWithCopy(name, m_clipFile); !why.isEmpty())
        m_ui.message(QStringLiteral("%1 could not be copied to the clipboard: %2\nThe clipboard "
                                    "is unchanged.")
                         .arg(name, why),
                     MsgIcon::Exclamation);
    m_window.hideMessage();
}

void EditCommands::PasteFromFile(int32_t mode)
{
    if (!canEdit())
        return;
    const QString name = chooseWave();
    if (name.isEmpty())
        return;
    QString pasted = name;
    if (m_import)
    {
        using Conversion = ImportCommands::Conversion;
        const QString scratch = m_import->pasteScratchFile();
        const Conversion c = m_import->offerConversion(
            name, scratch, QString(),
            QStringLiteral("Convert it to 16-bit 44100 Hz and paste that?"),
            m_import->trackFrames());
        if (c == Conversion::Stop)
            return;
        if (c == Conversion::Converted)
            pasted = scratch;
    }
    if (!keepSelection(QStringLiteral("Paste From")))
    {
        if (pasted != name)
            QFile::remove(pasted);
        return;
    }
    engineFrame(
        QStringLiteral("Performing Paste ..."), "PasteFrom", true,
        [this, &pasted, mode](EngineBinding& e)
        {
            return e.PasteFrom(m_window.selection().selStart, m_window.selection().selEnd,
                               enginePath(pasted).constData(), mode);
        },
        name);
    if (pasted != name)
        QFile::remove(pasted);
}

void EditCommands::mnuEditUndo()
{
    if (!canEdit())
        return;
    // Everything since the track's file was last written is dropped: Enter keeps it.
    if (m_ui.ask(QStringLiteral("Are you sure you want to undo all changes to this track up to "
                                "the last save or track change?"),
                 Buttons::YesNo, Answer::No) != Answer::Yes)
        return;
    if (!m_window.keepStep(0, m_model.mod().trackLength, QStringLiteral("Revert to Saved")))
        return;
    const int32_t rc = m_session.engine().Undo();
    const int k = m_window.chosenTrack();
    checkLoad(m_ui, "Undo", rc, k >= 0 ? m_model.mod().tracks[k].fileName.trimmed() : QString());
    m_window.DrawTrack();
}

} // namespace vumo
