// vumo-mix: the mixdown of a project, with each track's volume, pan and mute, written as a wave
// file through the engine exactly as the studio's Save As ".wav" writes it.
//   vumo-mix PROJECT.vum OUTPUT.wav [--from FRAME --to FRAME]
// Exit status: 0 done, 1 a file error, 2 bad arguments.
#include "platform/WaveHeader.h"
#include "platform/files/RegularFile.h"
#include "project/ProjectFile.h"
#include "tools/common/ProgressBar.h"
#include "wavorn.h"

#include <QCoreApplication>
#include <QFile>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace
{

constexpr int kExitOk = 0;
constexpr int kExitFile = 1;
constexpr int kExitArguments = 2;

const char kUsage[] =
    "usage: vumo-mix PROJECT.vum OUTPUT.wav [--from FRAME --to FRAME]\n"
    "Mixes every track of the project with its volume, pan and mute, as the studio plays it,\n"
    "and writes frames [FROM, TO) of the mix (default: the whole track length, frames 0 to\n"
    "trackLength - 1) as a 16-bit stereo 44100 Hz wave file.\n"
    "The studio's Save As \".wav\" writes its selection, and Select All selects frames 0 to\n"
    "trackLength - 3: --from 0 --to (trackLength - 2) gives the same file, byte for byte\n"
    "(trackLength = 262144 frames per MB of the project's memory per track).\n";

int fail(int status, const QString& message)
{
    std::fprintf(stderr, "vumo-mix: %s\n", message.toLocal8Bit().constData());
    return status;
}

bool frameArgument(const QString& text, int32_t& frame)
{
    bool ok = false;
    frame = text.toInt(&ok);
    return ok && frame >= 0;
}

// Why the engine could not take the track file at path (its stored bytes), or an empty text.
QString trackFileRefusal(const QByteArray& path)
{
    const platform::OpenedFile opened =
        platform::openRegularFile(path.constData(), platform::kMaxTrackFileBytes);
    return opened.file ? QString()
                       : QString::fromLocal8Bit(
                             platform::refusalText(opened, platform::kMaxTrackFileBytes));
}

} // namespace

int main(int argc, char** argv)
{
    // A file size limit fails the write like a full disk: reported, the part file removed.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.value(0) == QLatin1String("--help"))
    {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    int32_t from = 0, to = -1;
    for (int i = 2; i + 1 < args.size(); i += 2)
    {
        int32_t& frame = args[i] == QLatin1String("--from") ? from : to;
        if ((args[i] != QLatin1String("--from") && args[i] != QLatin1String("--to")) ||
            !frameArgument(args[i + 1], frame))
            return std::fputs(kUsage, stderr), kExitArguments;
    }
    if (args.size() < 2 || args.size() % 2 != 0)
        return std::fputs(kUsage, stderr), kExitArguments;

    const vumo::project::ProjectReadResult read = vumo::project::readProject(args[0]);
    if (!read.ok())
        return fail(kExitFile, read.error);
    const vumo::project::ProjectData& project = read.project;
    // Every track must be a regular file a track can take: the engine leaves out of the mix a
    // file it refuses, and a FIFO or a device would stall the read or never end it.
    for (const vumo::project::TrackRecordData& t : project.tracks)
        if (const QString why = trackFileRefusal(t.fileName); !why.isEmpty())
            return fail(kExitFile, QStringLiteral("the track file '%1' cannot be read: %2")
                                       .arg(QString::fromLocal8Bit(t.fileName), why));
    if (to < 0)
        to = project.trackLength;
    if (from > to || to > project.trackLength)
        return fail(kExitArguments, QStringLiteral("the range must lie within the %1 frames of a "
                                                   "track, --from before --to")
                                        .arg(project.trackLength));

    // The mixdown needs no sound card: the engine runs on its virtual devices.
    setenv("VUMO_AUDIO_BACKEND", "virtual", 1);
    if (const int32_t rc = OpenLib(project.trackLength, 0); rc != 0)
        return fail(kExitFile,
                    QStringLiteral("the engine could not open (OpenLib result %1)").arg(rc));
    vumo::tools::ProgressBar bar(::isatty(STDERR_FILENO) != 0, project.tracks.size() + 1);
    ClearTracks();
    const int count = int(project.tracks.size());
    for (int k = 0; k < count; ++k)
    {
        const vumo::project::TrackRecordData& t = project.tracks[k];
        const QByteArray& path = t.fileName; // the stored bytes, as the studio hands them
        bar.show(k, k + 1, count + 1, "tracks");
        SetTrackInfo(k, path.constData());
        SetTrackAttr(k, t.mute == 1 ? 0 : t.volume, t.pan);
    }
    int32_t rc = count > 0 ? SetCurTrack(count - 1, 1) : 0;
    if (rc >= 10 || rc < 0)
    {
        CloseLib();
        return fail(kExitFile, QStringLiteral("a track file could not be loaded (SetCurTrack "
                                              "result %1)")
                                   .arg(rc));
    }
    bar.show(count, count + 1, count + 1, "mixdown");
    rc = SaveAsWave(from, to, args[1].toLocal8Bit().constData());
    CloseLib();
    bar.show(count + 1, count + 1, count + 1, "done");
    if (rc != 0)
        return fail(kExitFile, QStringLiteral("cannot write '%1'").arg(args[1]));
    return kExitOk;
}
