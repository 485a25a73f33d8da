// MidiWords: the word array of the MIDI queue and of the record list, shared between the
// application's thread and a device thread (the timer's tick or the input callback).
//
// Every word is read and written whole through std::atomic_ref; the count that publishes new
// words is the owner's release/acquire pair. The array is zeroed by calloc, which leaves the
// pages of a large capacity untouched until they are used.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace wavorn::midi
{

// Capacity rule: an event is stored only while the words in use are below capacity - kSpareWords.
constexpr int32_t kSpareWords = 4;
// The largest capacity a queue or record list may have: 16 M words (64 MB, eight million
// events), far beyond any real song or take, and far below what an int32 argument could ask.
constexpr int32_t kMaxCapacityWords = 16 * 1024 * 1024;

class MidiWords
{
public:
    // An array for `capacity` words (at least kSpareWords, so the scratch pair always fits);
    // null when the memory cannot be had.
    static std::unique_ptr<MidiWords> make(int32_t capacity)
    {
        const size_t words = size_t(std::max(capacity, kSpareWords));
        auto* data = static_cast<uint32_t*>(std::calloc(words, sizeof(uint32_t)));
        if (data == nullptr)
            return nullptr;
        return std::unique_ptr<MidiWords>(new MidiWords(data, capacity));
    }

    ~MidiWords() { std::free(m_data); }
    MidiWords(const MidiWords&) = delete;
    MidiWords& operator=(const MidiWords&) = delete;

    // The capacity as given, which the capacity rule uses.
    int32_t capacity() const { return m_capacity; }
    // True while one more event may be stored after `count` words.
    bool hasRoomAfter(int32_t count) const
    {
        return int64_t(count) < int64_t(m_capacity) - kSpareWords;
    }

    uint32_t load(int32_t index) const
    {
        return std::atomic_ref<uint32_t>(m_data[index]).load(std::memory_order_relaxed);
    }
    void store(int32_t index, uint32_t value)
    {
        std::atomic_ref<uint32_t>(m_data[index]).store(value, std::memory_order_relaxed);
    }

private:
    MidiWords(uint32_t* data, int32_t capacity) : m_data(data), m_capacity(capacity) {}

    uint32_t* m_data;
    int32_t m_capacity;
};

} // namespace wavorn::midi
