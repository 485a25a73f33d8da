// WaveDevice: the argument and state checks that every wave output and input shares, and the state
// of its one block; a backend adds only what talks to its device.
//
// The checks come first, in the same order on every backend: a device that is not open refuses
// every call but open() with kMmInvalidHandle; open() refuses an open device (kMmAllocated) and
// any format but 16-bit stereo 44100 (kWaveBadFormat); a block of half a frame, or longer than the
// backend takes, is kMmInvalidParam; write() and addBuffer() want a prepared block
// (kWaveUnprepared); nothing but reset() and positionFrames() is taken while the block is with the
// device (kWaveStillPlaying). Preparing a block lets an earlier one go first. reset() takes the
// block back and runs onBlockDone, on the caller's thread, for a block that was still with the
// device; a block the device finished itself is ended by its backend with endBlock() and
// notifyBlockDone(), once.
#pragma once

#include "WaveIn.h"
#include "WaveOut.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>

namespace platform
{

template <class Device, class Sample> class WaveDevice : public Device
{
public:
    int32_t open(const WaveFormat& f, std::function<void()> onBlockDone) final
    {
        if (deviceOpen())
            return kMmAllocated;
        if (!f.isStereo16At44100())
            return kWaveBadFormat;
        m_onBlockDone = std::move(onBlockDone);
        const int32_t rc = openDevice();
        if (rc == kMmNoError)
        {
            m_state.store(kIdle);
            m_prepared = false;
        }
        return rc;
    }

    int32_t prepare(std::span<Sample> block) final
    {
        if (!deviceOpen())
            return kMmInvalidHandle;
        if (m_state.load() != kIdle)
            return kWaveStillPlaying;
        if (block.size() % 2 != 0 || block.size() / 2 > maxBlockFrames())
            return kMmInvalidParam;
        if (const int32_t rc = unprepare(); rc != kMmNoError)
            return rc;
        const int32_t rc = prepareDevice(block);
        if (rc == kMmNoError)
        {
            m_block = block.data();
            m_blockFrames = uint32_t(block.size() / 2);
            m_prepared = true;
        }
        return rc;
    }

    int32_t positionFrames(uint32_t& frames) final
    {
        frames = 0;
        if (!deviceOpen())
            return kMmInvalidHandle;
        return readPosition(frames);
    }

    int32_t reset() final
    {
        if (!deviceOpen())
            return kMmInvalidHandle;
        const bool hadBlock = m_state.exchange(kIdle) != kIdle;
        const int32_t rc = resetDevice();
        if (hadBlock)
            notifyBlockDone();
        return rc;
    }

    int32_t unprepare() final
    {
        if (!deviceOpen())
            return kMmInvalidHandle;
        if (m_state.load() != kIdle)
            return kWaveStillPlaying;
        if (!m_prepared)
            return kMmNoError;
        const int32_t rc = unprepareDevice();
        if (rc == kMmNoError)
        {
            m_prepared = false;
            m_block = nullptr;
            m_blockFrames = 0;
        }
        return rc;
    }

    int32_t close() final
    {
        if (!deviceOpen())
            return kMmInvalidHandle;
        if (m_state.load() != kIdle)
            return kWaveStillPlaying;
        unprepare();
        return closeDevice();
    }

protected:
    // The block's state: kIdle, or a state of the backend's own while the device has the block.
    static constexpr int32_t kIdle = 0;

    // What talks to the device. Each runs only after the checks above passed.
    virtual bool deviceOpen() const = 0;
    virtual int32_t openDevice() = 0;
    virtual int32_t prepareDevice(std::span<Sample>) { return kMmNoError; }
    virtual int32_t readPosition(uint32_t& frames) = 0;
    // Stops at once: once it returns the device never touches the block again.
    virtual int32_t resetDevice() = 0;
    virtual int32_t unprepareDevice() { return kMmNoError; }
    virtual int32_t closeDevice() = 0;
    virtual uint64_t maxBlockFrames() const { return UINT32_MAX; }

    bool prepared() const { return m_prepared; }
    Sample* block() const { return m_block; }
    uint32_t blockFrames() const { return m_blockFrames; }
    int32_t blockState() const { return m_state.load(); }
    // Hands the block to the device (publishing it to the device's thread) or, after a failed
    // start, takes it back without a notification.
    void setBlockState(int32_t state) { m_state.store(state); }
    // Ends the block when it is in `state`: true for the one caller that ended it, which then
    // runs notifyBlockDone(). Any thread.
    bool endBlock(int32_t state) { return m_state.compare_exchange_strong(state, kIdle); }
    void notifyBlockDone() const
    {
        if (m_onBlockDone)
            m_onBlockDone();
    }
    // For a backend's destructor: resets and closes a device that is still open.
    void shutDown()
    {
        if (deviceOpen())
        {
            reset();
            close();
        }
    }

private:
    // The caller's thread only; the device's thread reads the block and onBlockDone while the
    // block is with it.
    std::function<void()> m_onBlockDone;
    Sample* m_block = nullptr;
    uint32_t m_blockFrames = 0;
    bool m_prepared = false;
    std::atomic<int32_t> m_state{kIdle}; // set by the caller; cleared by endBlock or reset()
};

// A wave output: write() plays the prepared block.
class WaveOutDevice : public WaveDevice<WaveOut, const int16_t>
{
public:
    int32_t write() final
    {
        if (!deviceOpen())
            return kMmInvalidHandle;
        if (!prepared())
            return kWaveUnprepared;
        if (blockState() != kIdle)
            return kWaveStillPlaying;
        return writeDevice();
    }

protected:
    static constexpr int32_t kPlaying = 1;

    // Starts playing the block from frame 0; setBlockState(kPlaying) hands it over.
    virtual int32_t writeDevice() = 0;
};

// A wave input: addBuffer() hands the prepared block over, start() starts capturing.
class WaveInDevice : public WaveDevice<WaveIn, int16_t>
{
public:
    int32_t addBuffer() final
    {
        if (!deviceOpen())
            return kMmInvalidHandle;
        if (!prepared())
            return kWaveUnprepared;
        if (blockState() != kIdle)
            return kWaveStillPlaying;
        return addToDevice();
    }

    int32_t start() final
    {
        if (!deviceOpen())
            return kMmInvalidHandle;
        return startDevice();
    }

protected:
    // Hands the block to the device with setBlockState() (any state but kIdle).
    virtual int32_t addToDevice() = 0;
    virtual int32_t startDevice() = 0;
};

} // namespace platform
