// UndoSteps: each track's undo and redo steps, kept as wave files of the frames a change touched.
#include "undo/UndoSteps.h"

#include "engineapi/EngineBinding.h"
#include "files/EndedRuns.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vumo
{
namespace
{

// The engine scales a paste by the track's gains, volume * min(255, pan + 128) / 256 in 1/256
// steps on the right and volume * min(255, 393 - pan) / 256 on the left: at the centre this
// volume gives 258 * 255 / 256 = 256 on both sides, a paste of every sample as it is.
constexpr int32_t kUnityVolume = 258;
constexpr int32_t kCentrePan = 128;
constexpr qint64 kWaveHeaderBytes = 44;
// Load results 0 ... 3 are loaded files; 10 and above refusals; -1 a call that did nothing.
bool loaded(int32_t rc)
{
    return rc >= 0 && rc < 10;
}

QByteArray enginePath(const QString& path)
{
    return QFile::encodeName(path);
}

QString notWritten(const QString& file)
{
    return QStringLiteral("%1 could not be written (is the disk full?)")
        .arg(QDir::toNativeSeparators(file));
}

} // namespace

UndoSteps::UndoSteps(EngineBinding& engine, const QString& parentFolder)
    : m_engine(engine), m_parentFolder(parentFolder)
{
}

UndoSteps::~UndoSteps()
{
    clear();
}

bool UndoSteps::makeFolder(QString* why)
{
    if (!m_folder.isEmpty() && QFileInfo(m_folder).isDir())
        return true;
    // Folders of studios that ended without closing their project (a crash, a kill) hold steps
    // nobody can undo any more.
    files::removeFoldersOfEndedRuns(QFile::encodeName(m_parentFolder).toStdString(), "undo-");
    // One folder per open project and program, so two studios sharing the application folder
    // never take each other's steps.
    const QString name = QStringLiteral("undo-%1-%2")
                             .arg(QCoreApplication::applicationPid())
                             .arg(reinterpret_cast<quintptr>(this), 0, 16);
    const QString path = QDir(m_parentFolder).filePath(name);
    if (!QDir().mkpath(path))
    {
        *why = QStringLiteral("The undo folder %1 could not be made.")
                   .arg(QDir::toNativeSeparators(path));
        return false;
    }
    m_folder = path;
    return true;
}

QString UndoSteps::newFile()
{
    return QDir(m_folder).filePath(QStringLiteral("step%1.wav").arg(++m_serial));
}

void UndoSteps::removeFiles(std::vector<Step>& steps)
{
    for (const Step& s : steps)
    {
        QFile::remove(s.beforeFile);
        if (!s.afterFile.isEmpty())
            QFile::remove(s.afterFile);
    }
    steps.clear();
}

bool UndoSteps::keep(int k, const QString& trackFile, int32_t first, int32_t last,
                     const QString& label, QString* why)
{
    trackFileNamed(k, trackFile);
    if (!makeFolder(why))
        return false;
    Step step{first, last, label, newFile(), QString(), first, last};
    const auto written = [&]
    { return m_engine.CopyTo(first, last, enginePath(step.beforeFile).constData()) == 0; };
    bool kept = takeImage(k, step) || written();
    if (!kept && !m_image.file.isEmpty())
    {
        dropImage(); // an image that could not serve may hold the room the step needs
        kept = written();
    }
    if (!kept)
    {
        QFile::remove(step.beforeFile);
        *why = notWritten(step.beforeFile);
        return false;
    }
    Track& t = m_tracks[k];
    t.file = trackFile;
    removeFiles(t.redo);
    t.undo.push_back(std::move(step));
    return true;
}

void UndoSteps::prepareImage(int k, int32_t trackLength)
{
    const std::optional<uint64_t> changes = m_engine.frameChanges();
    if (!changes || trackLength <= 0 || m_engine.IsPlaying() != 0)
        return; // a pass may be writing a take into the track
    if (!m_image.file.isEmpty() && m_image.k == k && m_image.length == trackLength &&
        m_image.changes == *changes)
        return;
    dropImage();
    QString why;
    if (!makeFolder(&why))
        return;
    const QString file = QDir(m_folder).filePath(QStringLiteral("image.wav"));
    if (m_engine.CopyTo(0, trackLength, enginePath(file).constData()) != 0)
    {
        QFile::remove(file);
        return;
    }
    m_image = {file, k, trackLength, *changes};
}

bool UndoSteps::takeImage(int k, Step& step)
{
    // Only a change over an eighth of the track or more takes it, so that no step's file holds
    // more than eight times the frames it needs; and only while no change came after it.
    const bool holdsTheTrack =
        !m_image.file.isEmpty() && m_image.k == k && m_engine.frameChanges() == m_image.changes;
    if (!holdsTheTrack || 8 * (int64_t(step.last) - step.first) < m_image.length ||
        !QFile::rename(m_image.file, step.beforeFile))
        return false;
    step.keptFirst = 0;
    step.keptLast = m_image.length;
    m_image = {};
    return true;
}

void UndoSteps::dropImage()
{
    if (!m_image.file.isEmpty())
        QFile::remove(m_image.file);
    m_image = {};
}

int32_t UndoSteps::pasteAtUnity(int k, const QString& file, int32_t first, int32_t last,
                                int32_t volume, int32_t pan)
{
    // A step file cut short (or removed) by someone else would paste stale frames: refused.
    if (QFileInfo(file).size() < kWaveHeaderBytes + 4 * (qint64(last) - first))
        return -1;
    m_engine.SetTrackAttr(k, kUnityVolume, kCentrePan);
    const int32_t rc = m_engine.PasteFrom(first, last, enginePath(file).constData(), 0);
    m_engine.SetTrackAttr(k, volume, pan);
    return rc;
}

bool UndoSteps::undo(int k, int32_t volume, int32_t pan, QString* why)
{
    auto it = m_tracks.find(k);
    if (it == m_tracks.end() || it->second.undo.empty())
        return false;
    Step& s = it->second.undo.back();
    // What the undo replaces is kept first: without it there would be no redo.
    if (s.afterFile.isEmpty())
        s.afterFile = newFile();
    if (m_engine.CopyTo(s.first, s.last, enginePath(s.afterFile).constData()) != 0)
    {
        QFile::remove(s.afterFile);
        *why = notWritten(s.afterFile);
        s.afterFile.clear();
        return false;
    }
    if (!loaded(pasteAtUnity(k, s.beforeFile, s.keptFirst, s.keptLast, volume, pan)))
    {
        *why = QStringLiteral("The undo step %1 could not be read back.")
                   .arg(QDir::toNativeSeparators(s.beforeFile));
        return false;
    }
    it->second.redo.push_back(std::move(s));
    it->second.undo.pop_back();
    return true;
}

bool UndoSteps::redo(int k, int32_t volume, int32_t pan, QString* why)
{
    auto it = m_tracks.find(k);
    if (it == m_tracks.end() || it->second.redo.empty())
        return false;
    Step& s = it->second.redo.back();
    if (!loaded(pasteAtUnity(k, s.afterFile, s.first, s.last, volume, pan)))
    {
        *why = QStringLiteral("The redo step %1 could not be read back.")
                   .arg(QDir::toNativeSeparators(s.afterFile));
        return false;
    }
    it->second.undo.push_back(std::move(s));
    it->second.redo.pop_back();
    return true;
}

QString UndoSteps::undoLabel(int k) const
{
    const auto it = m_tracks.find(k);
    return it == m_tracks.end() || it->second.undo.empty() ? QString()
                                                           : it->second.undo.back().label;
}

QString UndoSteps::redoLabel(int k) const
{
    const auto it = m_tracks.find(k);
    return it == m_tracks.end() || it->second.redo.empty() ? QString()
                                                           : it->second.redo.back().label;
}

int UndoSteps::undoCount(int k) const
{
    const auto it = m_tracks.find(k);
    return it == m_tracks.end() ? 0 : int(it->second.undo.size());
}

void UndoSteps::dropTrack(int k)
{
    auto it = m_tracks.find(k);
    if (it == m_tracks.end())
        return;
    removeFiles(it->second.undo);
    removeFiles(it->second.redo);
    m_tracks.erase(it);
}

void UndoSteps::trackFileNamed(int k, const QString& trackFile)
{
    const auto it = m_tracks.find(k);
    if (it != m_tracks.end() && it->second.file != trackFile)
        dropTrack(k);
}

void UndoSteps::trackRemoved(int k)
{
    dropTrack(k);
    dropImage(); // its track number moves
    std::map<int, Track> moved;
    for (auto& [track, steps] : m_tracks)
        moved.emplace(track > k ? track - 1 : track, std::move(steps));
    m_tracks = std::move(moved);
}

void UndoSteps::clear()
{
    dropImage();
    for (auto& entry : m_tracks)
    {
        removeFiles(entry.second.undo);
        removeFiles(entry.second.redo);
    }
    m_tracks.clear();
    if (!m_folder.isEmpty())
        QDir(m_folder).removeRecursively();
    m_folder.clear();
}

} // namespace vumo
