// Result numbers of the device layer: the multimedia error numbering, 0 = success, on every
// platform. Backends map their own errors onto these.
#pragma once

#include <cstdint>

namespace platform
{

enum MmResult : int32_t
{
    kMmNoError = 0,         // MMSYSERR_NOERROR
    kMmError = 1,           // MMSYSERR_ERROR: unspecified failure
    kMmBadDeviceId = 2,     // MMSYSERR_BADDEVICEID
    kMmNotEnabled = 3,      // MMSYSERR_NOTENABLED
    kMmAllocated = 4,       // MMSYSERR_ALLOCATED: already open
    kMmInvalidHandle = 5,   // MMSYSERR_INVALHANDLE: device not open
    kMmNoDriver = 6,        // MMSYSERR_NODRIVER: no such device on this machine
    kMmNoMem = 7,           // MMSYSERR_NOMEM
    kMmNotSupported = 8,    // MMSYSERR_NOTSUPPORTED
    kMmInvalidFlag = 10,    // MMSYSERR_INVALFLAG
    kMmInvalidParam = 11,   // MMSYSERR_INVALPARAM
    kWaveBadFormat = 32,    // WAVERR_BADFORMAT
    kWaveStillPlaying = 33, // WAVERR_STILLPLAYING: a block is still queued
    kWaveUnprepared = 34,   // WAVERR_UNPREPARED: write or add before prepare
    kMidiNotReady = 67,     // MIDIERR_NOTREADY
    kMidiNoDevice = 68,     // MIDIERR_NODEVICE
    kTimerError = 97,       // TIMERR_NOCANDO
};

} // namespace platform
