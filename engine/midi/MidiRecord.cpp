// The MIDI record list: midiInData appends what the input delivers, on the input's thread; the
// application reads the list word by word once input has stopped.
//
// The callback writes the words and then publishes the count (release); the readers load the
// count first (acquire). The input is stopped before the list is emptied and closed before it
// is freed, so no callback ever writes into a list that is being reset or has gone.
#include "Midi.h"

#include "MidiDevices.h"
#include "MidiWords.h"

#include "engine/api/TraceLog.h"
#include "platform/MmResult.h"

namespace wavorn::midi
{

namespace
{

struct RecordList
{
    std::unique_ptr<MidiWords> words;
    std::atomic<int32_t> count{0}; // words in use; written by midiInData and RecordMidi
};

struct Recording
{
    // Set and reset on the application's thread while the input delivers nothing.
    std::unique_ptr<RecordList> list;
    std::unique_ptr<platform::MidiIn> in; // null when the input did not open
};

Recording& recording()
{
    static Recording r;
    return r;
}

// Runs on the input's thread for every notification.
void midiInData(RecordList& list, platform::MidiInNotice notice, uint32_t message, uint32_t timeMs)
{
    const int32_t count = list.count.load(std::memory_order_acquire);
    if (!list.words->hasRoomAfter(count))
        return;
    if (notice != platform::MidiInNotice::Data && notice != platform::MidiInNotice::MoreData)
        return;
    if ((message & 0xF0u) == 0xF0u)
        return; // system messages: clock, active sensing, system exclusive and the like
    list.words->store(count, timeMs);
    list.words->store(count + 1, message & 0xFFFFFFu);
    list.count.store(count + 2, std::memory_order_release);
}

} // namespace

int32_t openMidiRec(int32_t capacity, int32_t device)
{
    logText("OpenMidiRec\n");
    if (capacity > kMaxCapacityWords)
        return platform::kMmInvalidParam; // an open list stays as it is
    Recording& r = recording();
    if (r.list)
        closeMidiRec();
    auto list = std::make_unique<RecordList>();
    list->words = MidiWords::make(capacity);
    if (!list->words)
        return platform::kMmNoMem;
    r.list = std::move(list);

    const MidiDevices& devices = midiDevices();
    r.in = devices.makeIn ? devices.makeIn() : nullptr;
    RecordList* target = r.list.get();
    const int32_t openResult = r.in ? r.in->open(device, [target](platform::MidiInNotice notice,
                                                                  uint32_t message, uint32_t timeMs)
                                                 { midiInData(*target, notice, message, timeMs); })
                                    : platform::kMmBadDeviceId;
    if (openResult != platform::kMmNoError)
    {
        r.in.reset();
        return openResult + platform::kMmInvalidHandle;
    }
    return openResult + r.in->reset();
}

int32_t closeMidiRec()
{
    logText("CloseMidiRec\n");
    Recording& r = recording();
    const int32_t result = r.in ? r.in->close() : platform::kMmInvalidHandle;
    r.in.reset();
    r.list.reset();
    return result;
}

int32_t recordMidi()
{
    logText("RecordMidi\n");
    Recording& r = recording();
    if (!r.list)
        return platform::kMmInvalidHandle;
    if (r.in)
        r.in->stop(); // a second RecordMidi must not race a callback that is appending
    r.list->count.store(0);
    return r.in ? r.in->start() : platform::kMmInvalidHandle;
}

int32_t stopMidiRec()
{
    logText("StopMidiRec\n");
    Recording& r = recording();
    return r.in ? r.in->stop() : platform::kMmInvalidHandle;
}

int32_t getRecordLength()
{
    const Recording& r = recording();
    return r.list ? r.list->count.load(std::memory_order_acquire) - 1 : -1;
}

int32_t getRecordData(int32_t index)
{
    const Recording& r = recording();
    if (!r.list)
        return 0;
    const int32_t count = r.list->count.load(std::memory_order_acquire);
    if (uint32_t(index) >= uint32_t(count))
        return 0;
    return int32_t(r.list->words->load(index));
}

} // namespace wavorn::midi
