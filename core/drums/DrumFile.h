// DrumFile: the drum file (".mbt": patterns, beat counts, beat lengths and song) and the drum
// map (".drm": an instrument table as text).
#pragma once

#include "drums/DrumData.h"

#include <QString>

namespace vumo::drums
{

constexpr int kGridBytes = kPatterns * kInstruments * kBeats; // 14848
constexpr int kMaxSongLength = 32767; // the song length is stored as a signed 16-bit number

// Reads a drum file into drums. Version "mbt3" brings beat counts, beat lengths, song and grid;
// "mbt2" one beat length for all patterns, song and grid; "mbt1" song and grid; any other
// start a bare grid from byte 4. The beat counts become 32 for every version but "mbt3". A grid
// cut short leaves the remaining cells as they were. Out-of-range values are brought into range
// (last beat at most 31, beat length 1 ... 255, velocity at most 127).
// A file that cannot be opened, is shorter than 4 bytes, or whose header or song is cut short
// or has a negative length changes nothing and gives the error text; empty on success.
// When cellsRead is given, it receives the number of grid cells the file held (kGridBytes for a
// whole grid).
QString readDrumFile(const QString& path, DrumData& drums, int* cellsRead = nullptr);

// Writes drums as an "mbt3" file through files::writeFileSafely: a failed save (a full disk
// included) leaves the previous file whole and is reported. The song is stored one Latin-1 byte per
// character ('?' for others). A song longer than 32767 characters is refused. Returns an empty text
// on success, else the error.
QString writeDrumFile(const QString& path, const DrumData& drums);

// Reads a drum map into the instrument table: each line "note<TAB>name" whose TAB is neither its
// first nor its last character and whose note is a number, up to 58 of them; the entries after
// the last one read become "Not Used" with note 0. A note below 12 gives 0 and one above 139
// gives 0. A file that cannot be opened changes nothing and gives the error text.
QString importDrumMap(const QString& path, DrumData& drums);

} // namespace vumo::drums
