// Overviews: the overviews of the track files the studio shows, computed once in the
// background and kept while a file's size and modification time stay the same; a file another
// program writes is noticed and its overview computed again.
#pragma once

#include "view/Overview.h"

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QThreadPool>

#include <atomic>
#include <functional>
#include <memory>

namespace vumo::view
{

// What tells one state of a file from another: its size and modification time.
struct FileStamp
{
    qint64 size = -1; // -1: no file
    QDateTime modified;
    bool operator==(const FileStamp&) const = default;
    static FileStamp of(const QString& path);
};

class Overviews : public QObject
{
    Q_OBJECT

public:
    explicit Overviews(QObject* parent = nullptr);
    ~Overviews() override;

    // The overview of path as the file was when last looked at; null while it is computed
    // (or when the file is not followed).
    std::shared_ptr<const TrackOverview> find(const QString& path) const;
    // The overview of path read from the file as it was at stamp; null when there is none.
    std::shared_ptr<const TrackOverview> findAt(const QString& path, const FileStamp& stamp) const;

    // The files to show (the project's tracks): each is looked at now and those without an
    // overview for their present size and time are computed in the background. A change found
    // here is the studio's own (a save, a take, a switch that wrote pending edits). The files
    // are watched for other programs' writes from then on.
    void follow(const QStringList& paths);
    // Looks at the followed files again: a change found here is another program's.
    void checkOutside();
    // While busy() holds (a command is running), changes are left for the next follow().
    void setBusy(std::function<bool()> busy) { m_busy = std::move(busy); }

    // How many overviews have been computed so far.
    int computed() const { return m_computed; }

signals:
    // The overview of path is ready (or was computed again).
    void updated(const QString& path);
    // path was written by another program; its overview is being computed again.
    void changedOutside(const QString& path);

private:
    using Stamp = FileStamp;
    struct Entry
    {
        Stamp seen;        // the file as last looked at
        Stamp computedFor; // the file as its overview was read
        std::shared_ptr<const TrackOverview> overview;
        bool queued = false; // a computation is under way
        bool followed = false;
    };

    void schedule(const QString& path);
    void finished(const QString& path, const Stamp& stamp,
                  std::shared_ptr<const TrackOverview> overview);
    void watchFollowed();
    void watcherFired();

    QHash<QString, Entry> m_entries;
    QFileSystemWatcher m_watcher;
    QThreadPool m_pool;
    std::atomic<bool> m_cancel{false};
    std::function<bool()> m_busy;
    int m_computed = 0;
};

} // namespace vumo::view
