// Write faults for tests: a full disk (a 64 KiB tmpfs mounted over a fresh folder, filled up)
// and a file size limit (RLIMIT_FSIZE with SIGXFSZ ignored). Each is undone by its destructor.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <QTemporaryDir>

#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>

namespace vumo::test
{

// A 64 KiB tmpfs over a folder of its own; mounting needs root (mounted() tells).
class FullDisk
{
public:
    FullDisk()
        : m_mounted(m_dir.isValid() && ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(),
                                               "tmpfs", 0, "size=64k") == 0)
    {
    }
    ~FullDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }

    bool mounted() const { return m_mounted; }
    QString path(const QString& name) const { return m_dir.filePath(name); }

    // Takes every free byte with a filler file; release() gives them back.
    void fill()
    {
        QFile filler(path(QStringLiteral("filler")));
        const QByteArray block(4096, 'f');
        while (filler.isOpen() || filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            if (filler.write(block) != block.size())
                return;
    }
    void release() { QFile::remove(path(QStringLiteral("filler"))); }

    // The names in the folder but the filler's.
    QStringList names() const
    {
        const auto all = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;
        return QDir(m_dir.path()).entryList(all).filter(QRegularExpression("^(?!filler$)"));
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

// While it lives, no file of this process grows past maxBytes; a write past it fails with
// EFBIG instead of killing the process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t maxBytes) : m_oldHandler(std::signal(SIGXFSZ, SIG_IGN))
    {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = maxBytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace vumo::test
