// Overviews: the cache of track overviews, their background computation and the watch for
// other programs' writes.
#include "view/Overviews.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace vumo::view
{
namespace
{

// Overviews of files no longer shown are kept for a while (a project opened again): at most
// this many entries in all.
constexpr int kMaxEntries = 64;

} // namespace

Overviews::Overviews(QObject* parent) : QObject(parent)
{
    // Two files at a time: reading one while the other's blocks are scanned.
    m_pool.setMaxThreadCount(2);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &Overviews::watcherFired);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &Overviews::watcherFired);
}

Overviews::~Overviews()
{
    m_cancel = true;
    m_pool.clear();
    m_pool.waitForDone();
}

FileStamp FileStamp::of(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    return {info.size(), info.lastModified()};
}

std::shared_ptr<const TrackOverview> Overviews::find(const QString& path) const
{
    const auto it = m_entries.constFind(path);
    if (it == m_entries.cend() || !it->followed || !(it->computedFor == it->seen))
        return nullptr;
    return it->overview;
}

std::shared_ptr<const TrackOverview> Overviews::findAt(const QString& path,
                                                       const FileStamp& stamp) const
{
    const auto it = m_entries.constFind(path);
    if (it == m_entries.cend() || !(it->computedFor == stamp))
        return nullptr;
    return it->overview;
}

void Overviews::follow(const QStringList& paths)
{
    const QSet<QString> wanted(paths.begin(), paths.end());
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it)
        it->followed = wanted.contains(it.key());
    if (m_entries.size() > kMaxEntries)
        m_entries.removeIf([](const auto& e) { return !e.value().followed && !e.value().queued; });
    for (const QString& path : paths)
    {
        Entry& e = m_entries[path];
        e.followed = true;
        e.seen = FileStamp::of(path);
        if (!(e.computedFor == e.seen) || !e.overview)
            schedule(path);
    }
    watchFollowed();
}

void Overviews::checkOutside()
{
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it)
    {
        if (!it->followed)
            continue;
        const Stamp now = FileStamp::of(it.key());
        if (now == it->seen)
            continue;
        it->seen = now;
        const QString path = it.key();
        schedule(path);
        emit changedOutside(path);
    }
    watchFollowed();
}

void Overviews::watcherFired()
{
    // The studio's own writes are taken in by the follow() at the end of the command.
    if (m_busy && m_busy())
        return;
    checkOutside();
}

void Overviews::watchFollowed()
{
    // A file replaced by a rename leaves the watch: the files and their folders are watched
    // again as they are now.
    QSet<QString> want;
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it)
    {
        if (!it->followed)
            continue;
        const QFileInfo info(it.key());
        if (info.exists())
            want.insert(info.absoluteFilePath());
        if (info.absoluteDir().exists())
            want.insert(info.absolutePath());
    }
    const QStringList watched = m_watcher.files() + m_watcher.directories();
    const QSet<QString> have(watched.begin(), watched.end());
    if (const QSet<QString> gone = have - want; !gone.isEmpty())
        m_watcher.removePaths(gone.values());
    if (const QSet<QString> added = want - have; !added.isEmpty())
        m_watcher.addPaths(added.values());
}

void Overviews::schedule(const QString& path)
{
    Entry& e = m_entries[path];
    if (e.queued)
        return; // its result is compared with the file again when it arrives
    e.queued = true;
    m_pool.start(QRunnable::create(
        [this, path]
        {
            const Stamp before = FileStamp::of(path);
            auto overview = std::make_shared<const TrackOverview>(readOverview(path, &m_cancel));
            // A file written while it was read is read again.
            const Stamp stamp = FileStamp::of(path) == before ? before : Stamp{-2, {}};
            QMetaObject::invokeMethod(
                this, [this, path, stamp, overview] { finished(path, stamp, overview); },
                Qt::QueuedConnection);
        }));
}

void Overviews::finished(const QString& path, const Stamp& stamp,
                         std::shared_ptr<const TrackOverview> overview)
{
    Entry& e = m_entries[path];
    e.queued = false;
    ++m_computed;
    if (stamp.size != -2)
    {
        e.computedFor = stamp;
        e.overview = std::move(overview);
    }
    if (!(e.computedFor == e.seen))
    {
        if (e.followed)
            schedule(path);
        return;
    }
    emit updated(path);
}

} // namespace vumo::view
