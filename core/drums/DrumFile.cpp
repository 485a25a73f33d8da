// DrumFile: reads and writes drum files (".mbt") and imports drum maps (".drm").
#include "drums/DrumFile.h"

#include "files/ReadFile.h"
#include "files/SafeWrite.h"

#include <QBuffer>
#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace vumo::drums
{
namespace
{

constexpr int kVersionBytes = 4;
constexpr int kPatternHeaderBytes = 2 * kPatterns; // last beat and beat length per pattern
// Songs longer than the signed 16-bit count are never written, so nothing after that is read.
constexpr qint64 kLongestFile =
    kVersionBytes + kPatternHeaderBytes + 2 + kMaxSongLength + qint64(kGridBytes);

int16_t readInt16(const QByteArray& bytes, qsizetype at)
{
    return qFromLittleEndian<int16_t>(bytes.constData() + at);
}

QString readError(const QString& path, const QString& why)
{
    return QStringLiteral("Unable to read the drum file %1: %2").arg(path, why);
}

QString cutShort(const QString& path)
{
    return readError(path, QStringLiteral("it ends inside its header or song."));
}

// Copies grid bytes from bytes[at...] in pattern, instrument, beat order; cells past the end of
// the file keep their values.
int readGrid(const QByteArray& bytes, qsizetype at, DrumData& drums)
{
    const qsizetype available = std::clamp<qsizetype>(bytes.size() - at, 0, kGridBytes);
    for (qsizetype k = 0; k < available; ++k)
    {
        const uint8_t v = uint8_t(bytes[at + k]);
        drums.drumGrid[k / (kInstruments * kBeats)][(k / kBeats) % kInstruments][k % kBeats] =
            std::min(v, kMaxDataByte);
    }
    return int(available);
}

// The song at bytes[at...], n characters: returns false when the file is cut short.
bool readSong(const QByteArray& bytes, qsizetype at, DrumData& drums, qsizetype& gridAt)
{
    if (bytes.size() < at + 2)
        return false;
    const int16_t n = readInt16(bytes, at);
    if (n < 0 || bytes.size() < at + 2 + n)
        return false;
    drums.songPattern = QString::fromLatin1(bytes.constData() + at + 2, n);
    gridAt = at + 2 + n;
    return true;
}

// The drum map's note column: a number, trimmed; notes outside 12 ... 139 give 0.
bool parseMapNote(const QString& text, uint8_t& note)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return false;
    const double stored = std::nearbyint(value) - kNoteOffset;
    note = stored < 0 || stored > kMaxDataByte ? 0 : uint8_t(stored);
    return true;
}

} // namespace

QString readDrumFile(const QString& path, DrumData& drums, int* cellsRead)
{
    QByteArray bytes;
    if (const QString why = files::readWholeFile(path, files::kMaxDocumentBytes, bytes);
        !why.isEmpty())
        return readError(path, why);
    bytes.truncate(kLongestFile);
    if (bytes.size() < kVersionBytes)
        return readError(path, QStringLiteral("it is shorter than its 4-byte version mark."));

    // Everything lands in a copy first, so a refused file changes nothing.
    DrumData loaded = drums;
    const QByteArray version = bytes.left(kVersionBytes);
    qsizetype gridAt = kVersionBytes;
    if (version == "mbt3")
    {
        if (bytes.size() < kVersionBytes + kPatternHeaderBytes)
            return cutShort(path);
        for (int p = 0; p < kPatterns; ++p)
        {
            const uint8_t lastBeat = uint8_t(bytes[kVersionBytes + 2 * p]);
            const uint8_t msPerBeat = uint8_t(bytes[kVersionBytes + 2 * p + 1]);
            loaded.patLastBeat[p] = std::min(lastBeat, kLastBeat);
            loaded.patMsPerBeat[p] = std::max(msPerBeat, uint8_t(kMinMsPerBeat));
        }
        if (!readSong(bytes, kVersionBytes + kPatternHeaderBytes, loaded, gridAt))
            return cutShort(path);
    }
    else if (version == "mbt2")
    {
        if (bytes.size() < kVersionBytes + 2)
            return cutShort(path);
        loaded.patMsPerBeat.fill(msPerBeatFromTempo(readInt16(bytes, kVersionBytes)));
        if (!readSong(bytes, kVersionBytes + 2, loaded, gridAt))
            return cutShort(path);
    }
    else if (version == "mbt1")
    {
        if (!readSong(bytes, kVersionBytes, loaded, gridAt))
            return cutShort(path);
    }
    if (version != "mbt3")
        loaded.patLastBeat.fill(kLastBeat);
    const int cells = readGrid(bytes, gridAt, loaded);
    if (cellsRead)
        *cellsRead = cells;
    drums = loaded;
    return QString();
}

QString writeDrumFile(const QString& path, const DrumData& drums)
{
    const QString failed = QStringLiteral("Unable to save the drum file %1: %2");
    if (drums.songPattern.size() > kMaxSongLength)
        return failed.arg(path, QStringLiteral("the song has %1 characters, at most %2.")
                                    .arg(drums.songPattern.size())
                                    .arg(kMaxSongLength));
    QByteArray bytes("mbt3");
    for (int p = 0; p < kPatterns; ++p)
    {
        bytes.append(char(drums.patLastBeat[p]));
        bytes.append(char(drums.patMsPerBeat[p]));
    }
    char count[2];
    qToLittleEndian(int16_t(drums.songPattern.size()), count);
    bytes.append(count, sizeof count);
    bytes.append(drums.songPattern.toLatin1());
    for (const PatternGrid& grid : drums.drumGrid)
        for (const BeatRow& row : grid)
            bytes.append(reinterpret_cast<const char*>(row.data()), kBeats);

    const QString why = files::writeFileSafely(path, bytes);
    return why.isEmpty() ? QString() : failed.arg(path, why);
}

QString importDrumMap(const QString& path, DrumData& drums)
{
    QByteArray bytes;
    if (const QString why = files::readWholeFile(path, files::kMaxDocumentBytes, bytes);
        !why.isEmpty())
        return QStringLiteral("Unable to read the drum map %1: %2").arg(path, why);
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    int count = 0;
    while (count < kInstruments && !file.atEnd())
    {
        QByteArray line = file.readLine();
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        const qsizetype tab = line.indexOf('\t');
        if (tab <= 0 || tab == line.size() - 1)
            continue;
        uint8_t note = 0;
        if (!parseMapNote(QString::fromLocal8Bit(line.left(tab)), note))
            continue;
        drums.drumNames[count] = QString::fromLocal8Bit(line.mid(tab + 1));
        drums.drumNotes[count] = note;
        ++count;
    }
    for (int i = count; i < kInstruments; ++i)
    {
        drums.drumNames[i] = QStringLiteral("Not Used");
        drums.drumNotes[i] = 0;
    }
    return QString();
}

} // namespace vumo::drums
