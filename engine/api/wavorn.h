/* wavorn: the Vumo audio engine. A flat C interface over one process-wide engine that owns
   the current track's buffer (trackBuf), the output block (playBuf), the premix of the other
   tracks (masterBuf), the wave and MIDI devices and a table of 32 tracks.

   Conventions of every export:
   - Frames are stereo pairs of signed 16-bit samples, left first, 44100 per second. Ranges
     are start inclusive, end exclusive. Every range is clamped to 0 ... trackLen and a
     reversed range is empty, so no argument value reaches memory outside the buffers.
   - Track numbers: only the low 8 bits are used; a slot of 32 or more is refused with -1 and
     nothing changes.
   - Calls made before OpenLib or after CloseLib return -1 and do nothing (the MIDI family,
     which opens its own devices, excepted).
   - Device results are multimedia error numbers (0 = success, 1 general error, 2 bad device,
     6 no driver, 7 no memory, 11 invalid parameter, 32 bad format, 33 still playing).
     File results are 0, or -1 when a file cannot be written. Wave loads return 0 to 3
     (loaded) or 10 and above (refused), see LoadResult in engine/wave/WaveFile.h.
   - All exports are called from one thread. Nothing is thrown across this interface. */
#ifndef WAVORN_H
#define WAVORN_H

#include <stdint.h>

#if defined(_WIN32)
#if defined(WAVORN_BUILDING)
#define WAVORN_API __declspec(dllexport)
#else
#define WAVORN_API __declspec(dllimport)
#endif
#define WAVORN_CALL __stdcall
#else
#define WAVORN_API __attribute__((visibility("default")))
#define WAVORN_CALL
#endif

#ifdef __cplusplus
extern "C"
{
#endif

    /* Opens the engine for tracks of trackLen frames: allocates the three buffers and opens the
       wave output, then the wave input device. logFlag non-zero appends a trace of every step to
       the trace log (VUMO_LOG, else "vumo.log" in the temp folder).
       Returns:    0; 11 when trackLen is outside 1 ... 67108864 (256 MB); 4 when already open;
                   7 when the buffers cannot be allocated; else the output open error, else the
                   input open error (the engine then counts as open, so CloseLib releases it). */
    WAVORN_API int32_t WAVORN_CALL OpenLib(int32_t trackLen, int32_t logFlag);
    /* Closes both wave devices and frees the buffers. Pending edits are not saved (SaveEdits).
       Returns:    the input device's close error (0 = success); -1 when not open. */
    WAVORN_API int32_t WAVORN_CALL CloseLib(void);
    /* Sets every track's volume to 0 so no track is mixed; names and pans stay. Returns 0. */
    WAVORN_API int32_t WAVORN_CALL ClearTracks(void);
    /* Names the wave file of a track (a full path of at most 127 bytes).
       Returns:    0; -1 for a bad slot, a null or too long name (the old name stays). */
    WAVORN_API int32_t WAVORN_CALL SetTrackInfo(int32_t track, const char* fileName);
    /* Sets a track's volume (0 ... 255) and pan (0 ... 255, 128 centre) and derives its gains
       in 1/256 steps: left = volume * min(255, 393 - pan) / 256, right = volume *
       min(255, pan + 128) / 256. The premix is rebuilt by the next SetCurTrack with reload.
       Returns:    0; -1 for a bad slot. */
    WAVORN_API int32_t WAVORN_CALL SetTrackAttr(int32_t track, int32_t volume, int32_t pan);
    /* Makes track current. Pending edits of the previous current track are written to its file
       first. With reload non-zero the premix of all other audible tracks is rebuilt and the
       track's file is loaded into trackBuf.
       Returns:    the load result with reload, else the write result (0 or -1). A failed write
                   keeps the edits in a recovery file beside the track file (or in the temp folder)
                   and returns -1 (also when a reload follows). When no copy of the edits can be
                   written anywhere, the previous track stays current with its edits pending,
                   nothing is reloaded, and -1 is returned. */
    WAVORN_API int32_t WAVORN_CALL SetCurTrack(int32_t track, int32_t reload);
    /* Mixes frames [start, end) of the premix and the current track into playBuf and plays the
       whole output block. Returns the output device's write result. */
    WAVORN_API int32_t WAVORN_CALL PlayTracks(int32_t start, int32_t end);
    /* Records into trackBuf from frame 0 while frames [start, end) of the premix (and, with merge
       non-zero, of the current track) play. Returns the output device's write result; when the
       input cannot take the block (no input device, or its source did not start) the pass is
       stopped at once, the input's error is returned, and the StopTracks that follows leaves
       the track as it was. */
    WAVORN_API int32_t WAVORN_CALL RecordTrack(int32_t start, int32_t end, int32_t merge);
    /* Stops a pass at once; after a recording commits the take into [start, end) of trackBuf
       (replacing, or mixing with merge non-zero) and marks the track edited.
       Returns:    the first unprepare error, else the reload result of the track's file. */
    WAVORN_API int32_t WAVORN_CALL StopTracks(int32_t start, int32_t end, int32_t merge);
    /* 1 while the output block plays, else 0. */
    WAVORN_API int32_t WAVORN_CALL IsPlaying(void);
    /* Frames played since the output block began. */
    WAVORN_API int32_t WAVORN_CALL GetPosition(void);
    /* The sample at index 2 * frame + channel of trackBuf, or -1 outside it. */
    WAVORN_API int32_t WAVORN_CALL TrackRead(int32_t sampleIndex);
    /* Stores the low 16 bits of value at sampleIndex and marks the track edited.
       Returns:    0; -1 outside trackBuf (nothing changes). */
    WAVORN_API int32_t WAVORN_CALL TrackWrite(int32_t sampleIndex, int32_t value);
    /* Mixes frames [start, end) like PlayTracks and writes the mix to fileName as a wave file.
       Returns:    0; -1 when the file cannot be written. */
    WAVORN_API int32_t WAVORN_CALL SaveAsWave(int32_t start, int32_t end, const char* fileName);
    /* Writes frames [start, end) of trackBuf to fileName. Returns 0, or -1. */
    WAVORN_API int32_t WAVORN_CALL CopyTo(int32_t start, int32_t end, const char* fileName);
    /* As CopyTo, then silences the range and marks the track edited. Returns 0, or -1 when the
       clip cannot be written (the track is then unchanged). */
    WAVORN_API int32_t WAVORN_CALL CutTo(int32_t start, int32_t end, const char* fileName);
    /* Loads fileName and pastes it over [start, end): mode 0 straight, 1 merged, 2 ring,
       3 negative. Returns the load result; a refused file (10 or more) changes nothing.
       Another mode changes nothing and returns -1. */
    WAVORN_API int32_t WAVORN_CALL PasteFrom(int32_t start, int32_t end, const char* fileName,
                                             int32_t mode);
    /* Writes the current track's pending edits to its file. Returns 0, or -1 when the write failed
       (the edits stay pending). */
    WAVORN_API int32_t WAVORN_CALL SaveEdits(void);
    /* Reloads the current track from its file, dropping pending edits. Returns the load result. */
    WAVORN_API int32_t WAVORN_CALL Undo(void);
    /* Applies effect code (low 8 bits) to frames [firstFrame, lastFrame) of trackBuf with the
       parameters p1 to p3 (low 8 bits each) and marks the track edited. Returns 0. */
    WAVORN_API int32_t WAVORN_CALL FXIt(int32_t code, int32_t firstFrame, int32_t lastFrame,
                                        int32_t p1, int32_t p2, int32_t p3);
    /* Work-buffer operations of the effect chain window on playBuf: 1 copy out, 2 mix back,
       3 swap, 4 copy back, 5 play, 6 stop. Ranges are clamped to the track; other operation
       numbers do nothing. Returns 0, or the device result for 5 and 6. */
    WAVORN_API int32_t WAVORN_CALL FilterGraph(int32_t operation, int32_t firstFrame,
                                               int32_t lastFrame);
    /* Starts playing the MIDI queue. Returns the number of queued words. */
    WAVORN_API int32_t WAVORN_CALL PlayMidi(void);
    /* Appends an event (time in ms, packed short message). Returns the number of queued words. */
    WAVORN_API int32_t WAVORN_CALL AddMidi(int32_t timeMs, int32_t message);
    /* 1 while the MIDI queue plays, else 0. */
    WAVORN_API int32_t WAVORN_CALL MidiPlaying(void);
    /* Milliseconds since the MIDI queue started playing. */
    WAVORN_API int32_t WAVORN_CALL GetMidiTimer(void);
    /* Stops the queue and empties it. Returns 0. */
    WAVORN_API int32_t WAVORN_CALL StopMidi(void);
    /* Opens the MIDI output and the 10 ms timer with a queue of capacity words (at most
       16777216 words, 16 M; no real song comes near).
       Returns the sum of the output open and timer errors; 11 (invalid parameter) for a larger
       capacity, and nothing changes. */
    WAVORN_API int32_t WAVORN_CALL OpenMidiPlay(int32_t capacity);
    /* Closes the MIDI output and the timer. Returns the output close error. */
    WAVORN_API int32_t WAVORN_CALL CloseMidiPlay(void);
    /* Sends one short message now. Returns the send error. */
    WAVORN_API int32_t WAVORN_CALL CmdMidi(int32_t status, int32_t data1, int32_t data2);
    /* Opens MIDI input device `device` with a record list of capacity words (at most 16777216,
       as for OpenMidiPlay).
       Returns the sum of the input open and reset errors; 11 (invalid parameter) for a larger
       capacity, and nothing changes. */
    WAVORN_API int32_t WAVORN_CALL OpenMidiRec(int32_t capacity, int32_t device);
    /* Closes the MIDI input. Returns its close error. */
    WAVORN_API int32_t WAVORN_CALL CloseMidiRec(void);
    /* Starts recording MIDI input into the list. Returns the start error. */
    WAVORN_API int32_t WAVORN_CALL RecordMidi(void);
    /* Index of the last recorded word, -1 when the list is empty. */
    WAVORN_API int32_t WAVORN_CALL GetRecordLength(void);
    /* The recorded word at index, or 0 outside the list. */
    WAVORN_API int32_t WAVORN_CALL GetRecordData(int32_t index);
    /* Stops MIDI input. Returns the stop error. */
    WAVORN_API int32_t WAVORN_CALL StopMidiRec(void);
    /* Renders the clip loaded by LoadSK1 into trackBuf from startFrame, `length` frames long,
       resampled by step and scaled by gain. Returns 0. */
    WAVORN_API int32_t WAVORN_CALL SK1(int32_t startFrame, int32_t length, double step,
                                       double gain);
    /* Loads the sample-keyboard clip from fileName into playBuf.
       Returns the usable clip length in frames, or 0. */
    WAVORN_API int32_t WAVORN_CALL LoadSK1(const char* fileName);

#ifdef __cplusplus
}
#endif

#endif /* WAVORN_H */
