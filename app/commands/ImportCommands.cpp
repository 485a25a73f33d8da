// ImportCommands: Import Audio, dropped files and the conversion offer for wave files.
#include "commands/ImportCommands.h"

#include "commands/ImportProgressDialog.h"
#include "commands/StudioWindow.h"
#include "commands/TrackTable.h"
#include "engineapi/EngineSession.h"
#include "files/WaveSampleFormat.h"
#include "model/ProjectModel.h"
#include "platform/WaveHeader.h"
#include "project/ProjectFile.h"
#include "services/UiServices.h"
#include "settings/AppFolder.h"
#include "tracks/TrackFiles.h"
#include "tracks/TrackImport.h"

#include <QDir>
#include <QFileInfo>
#include <QScopedValueRollback>

#include <algorithm>

namespace vumo
{
namespace
{

// The files the Import Audio dialog lists; any other name typed there is tried all the same.
const QString kImportPattern = QStringLiteral(
    "*.wav;*.flac;*.mp3;*.ogg;*.oga;*.opus;*.m4a;*.aac;*.aif;*.aiff;*.wma;*.mp2;*.ac3;*.mka");

// Decodes source into target on a worker thread, its progress shown over parent.
tracks::ImportResult convertWithProgress(QWidget* parent, const QString& label,
                                         const QString& source, const QString& target,
                                         int64_t maxFrames)
{
    ImportProgressDialog progress(parent, label.arg(QFileInfo(source).fileName()));
    return progress.run([&](const tracks::ImportProgress& report)
                        { return tracks::importAudio(source, target, maxFrames, report); });
}

// A file name without control characters, simplified: the new track's title (cut to 16 bytes
// when stored); "t" and the track number for a name with nothing left.
QString importTitle(const QString& file, int k)
{
    QString title = QFileInfo(file).completeBaseName();
    for (QChar& c : title)
        if (!c.isPrint())
            c = u' ';
    title = title.simplified();
    return title.isEmpty() ? tracks::newTrackTitle('t', k) : title;
}

QString limitText()
{
    return QStringLiteral("The project already holds %1 tracks, the most it can have.")
        .arg(kMaxTracks);
}

QString limitMessage(const QStringList& notImported)
{
    QStringList names;
    for (const QString& file : notImported)
        names << QFileInfo(file).fileName();
    return limitText() + QStringLiteral("\nNot imported: ") + names.join(QStringLiteral(", "));
}

QString cutMessage(const QString& file, const tracks::ImportResult& r)
{
    const QString name = QDir::toNativeSeparators(file);
    const QString length = tracks::secondsText(r.frames);
    if (r.cutFrames < 0)
        return QStringLiteral("%1 is longer than the project's tracks of %2 s: it was cut there.")
            .arg(name, length);
    return QStringLiteral("%1 is %2 s longer than the project's tracks of %3 s: its last %2 s "
                          "were left out.")
        .arg(name, tracks::secondsText(r.cutFrames), length);
}

// A file no track and nothing on disk uses yet (a dangling link counts as used).
bool nameTaken(const ModVumo& mod, const QString& path)
{
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink())
        return true;
    for (int j = 0; j < mod.trackCount; ++j)
        if (mod.tracks[j].fileName.trimmed() == path)
            return true;
    return false;
}

// base + ".wav", else base + "-2.wav", "-3.wav" ...: the first name not taken that a track
// record can hold; empty when there is none.
QString freeName(const ModVumo& mod, const QString& base)
{
    QString path = base + QStringLiteral(".wav");
    for (int n = 2; nameTaken(mod, path); ++n)
        path = QStringLiteral("%1-%2.wav").arg(base).arg(n);
    return project::checkTrackPath(path).isEmpty() ? path : QString();
}

} // namespace

ImportCommands::ImportCommands(ProjectModel& model, EngineSession& session, UiServices& ui,
                               StudioWindow& window, const QString& appFolder)
    : m_model(model), m_mod(model.mod()), m_session(session), m_ui(ui), m_window(window),
      m_appFolder(appFolder)
{
}

int64_t ImportCommands::trackFrames() const
{
    return m_mod.trackLength > 0 ? m_mod.trackLength : int64_t(platform::kLongestTrackFrames);
}

QString ImportCommands::pasteScratchFile() const
{
    return joinPath(m_appFolder, QStringLiteral("converted-paste.wav"));
}

// ---- Import Audio ----------------------------------------------------------------------------

bool ImportCommands::canImport()
{
    if (!engineReady(m_session, m_ui))
        return false;
    if (m_mod.trackCount < kMaxTracks)
        return true;
    m_ui.message(limitText(), MsgIcon::Exclamation);
    return false;
}

void ImportCommands::mnuTrackImport()
{
    if (m_busy || !canImport())
        return;
    const QString file = m_ui.browseForFile(kImportPattern, QStringLiteral("Open"));
    if (!file.isEmpty())
        importFiles({file});
}

void ImportCommands::importFiles(const QStringList& files)
{
    if (m_busy || files.isEmpty() || !engineReady(m_session, m_ui))
        return;
    const QScopedValueRollback<bool> busy(m_busy, true);
    for (qsizetype i = 0; i < files.size(); ++i)
    {
        if (m_mod.trackCount >= kMaxTracks)
        {
            m_ui.message(limitMessage(files.mid(i)), MsgIcon::Exclamation);
            return;
        }
        if (!importOne(files[i]))
            return;
    }
}

bool ImportCommands::importOne(const QString& file)
{
    const int k = m_mod.trackCount;
    const QString path = newImportFileName(k);
    if (path.isEmpty())
        return false;
    const tracks::ImportResult r = convertWithProgress(
        m_window.dialogParent(), QStringLiteral("Importing %1 ..."), file, path, trackFrames());
    if (r.cancelled)
        return false;
    if (!r.error.isEmpty())
    {
        m_ui.message(r.error, MsgIcon::Exclamation);
        return true;
    }
    addImportedTrack(k, file, path);
    if (r.cut)
        m_ui.message(cutMessage(file, r), MsgIcon::Information);
    return true;
}

QString ImportCommands::newImportFileName(int k)
{
    // Named as Add names its files, with "-i": never one of theirs, never an existing file.
    const QString first =
        tracks::newTrackFileName(m_appFolder, m_mod.projTitle.trimmed(), 'i', k).chopped(4);
    const QString path = freeName(m_mod, first);
    if (path.isEmpty())
        m_ui.message(project::checkTrackPath(first + QStringLiteral(".wav")), MsgIcon::Critical);
    return path;
}

void ImportCommands::addImportedTrack(int k, const QString& file, const QString& path)
{
    TrackRecord t;
    t.reserved.assignBytes(QByteArray(6, '\0'));
    t.pan = 127;
    t.volume = 255;
    t.mute = 0;
    t.fileName.assign(path);
    t.title.assign(importTitle(file, k));
    if (m_model.addTrack(t))
        m_window.LoadTrack(k);
}

// ---- the conversion offer --------------------------------------------------------------------

ImportCommands::Conversion
ImportCommands::offerConversion(const QString& file, const QString& target, const QString& heading,
                                const QString& question, int64_t maxFrames)
{
    const QString need = files::conversionNeed(file);
    if (need.isEmpty())
        return Conversion::NotNeeded;
    const bool refused = !files::sampleFormatRefusal(file).isEmpty();
    if (m_ui.ask(heading + need + u'\n' + question) != Answer::Yes)
        return refused ? Conversion::Stop : Conversion::UseAsIs;
    const QScopedValueRollback<bool> busy(m_busy, true);
    const tracks::ImportResult r = convertWithProgress(
        m_window.dialogParent(), QStringLiteral("Converting %1 ..."), file, target, maxFrames);
    if (!r.error.isEmpty())
        m_ui.message(r.error, MsgIcon::Exclamation);
    return r.error.isEmpty() && !r.cancelled ? Conversion::Converted : Conversion::Stop;
}

int32_t ImportCommands::convertOnLoad(int k, int32_t rc)
{
    const bool refused = rc >= 12 && rc <= 14;
    const bool takenAsIs = rc >= 1 && rc <= 3; // not stereo, or another rate
    const QString file = m_mod.tracks[k].fileName.trimmed();
    if ((!refused && !takenAsIs) || (takenAsIs && m_keptAsIs.contains(file)))
        return rc;
    // Beside the file, or in the application folder when a name there would be too long.
    const QFileInfo info(file);
    QString target =
        freeName(m_mod, joinPath(info.absolutePath(),
                                 info.completeBaseName() + QStringLiteral("-converted")));
    if (target.isEmpty())
        target = freeName(m_mod, joinPath(m_appFolder, info.completeBaseName().left(40) +
                                                           QStringLiteral("-converted")));
    if (target.isEmpty())
        return rc;
    const QString heading =
        refused ? QStringLiteral("Error in SetCurTrack: %1\n").arg(rc) : QString();
    switch (offerConversion(file, target, heading,
                            QStringLiteral("Convert it to 16-bit 44100 Hz into %1 for this track? "
                                           "The file itself stays as it is.")
                                .arg(QDir::toNativeSeparators(target)),
                            trackFrames()))
    {
    case Conversion::NotNeeded:
        return rc;
    case Conversion::UseAsIs:
        m_keptAsIs.insert(file);
        return rc;
    case Conversion::Stop:
        return 0;
    case Conversion::Converted:
        break;
    }
    FixedText<128> converted;
    converted.assign(target);
    m_model.setTrackNames(k, m_mod.tracks[k].title, converted);
    return switchToTrack(m_session, m_mod, m_ui, k, -1);
}

} // namespace vumo
