// SynthMidiOut: the synth module's voice rendering either into a PortAudio stream or on the
// virtual stream.
#include "SynthMidiOut.h"

#include "../AudioBackend.h"
#include "../portaudio/PortAudioSession.h"
#include "../virtual/VirtualStream.h"
#include "../virtual/VirtualWaveSink.h"
#include "SoundFont.h"
#include "SynthModule.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace platform
{

namespace
{

// FluidSynth's default gain (0.2) leaves a bass drum at velocity 100 near -26 dBFS, too quiet
// beside tracks; at 0.5 it peaks near -18 dBFS.
constexpr double kGain = 0.5;
constexpr uint32_t kChunkFrames = 1024;
// The wave file's header is brought up to date every quarter second of sound.
constexpr uint64_t kFlushFrames = 11025;
constexpr size_t kQueuedMessages = 1024;

struct StampedMessage
{
    uint64_t frame; // the stream frame from which it sounds
    uint32_t message;
};

// Messages on their way to the rendering thread, oldest first. The senders (the caller's and
// the MIDI timer's thread) and the rendering thread take turns at a lock held for one copy;
// nothing allocates.
class MessageQueue
{
public:
    bool push(StampedMessage m)
    {
        std::lock_guard lock(m_mutex);
        if (m_count == kQueuedMessages)
            return false;
        m_ring[(m_head + m_count) % kQueuedMessages] = m;
        ++m_count;
        return true;
    }

    // Takes the oldest message when it sounds before frame `end`.
    bool popBefore(uint64_t end, StampedMessage& m)
    {
        std::lock_guard lock(m_mutex);
        if (m_count == 0 || m_ring[m_head].frame >= end)
            return false;
        m = m_ring[m_head];
        m_head = (m_head + 1) % kQueuedMessages;
        --m_count;
        return true;
    }

private:
    std::mutex m_mutex;
    std::array<StampedMessage, kQueuedMessages> m_ring{};
    size_t m_head = 0;
    size_t m_count = 0;
};

int16_t toSample(float x)
{
    return int16_t(std::clamp(x * 32767.0f, -32767.0f, 32767.0f));
}

} // namespace

// The synthesizer and the messages waiting for it. Every call of the voice after load() comes
// from the one rendering thread (the stream's callback or the virtual stream's stepping thread).
class SynthMidiOut::Player
{
public:
    virtual ~Player() = default;

    int32_t load(const std::string& soundFont)
    {
        std::string error;
        const SynthModuleTable* module = synthModule(error);
        if (module == nullptr)
        {
            std::fprintf(stderr, "Vumo: the built-in synth is not available: %s\n", error.c_str());
            return kMidiNoDevice;
        }
        return module->openVoice(soundFont, kGain, m_voice);
    }

    // Starts the sound; from here on only the rendering thread calls the voice.
    virtual int32_t start() = 0;
    // Stops the sound; once this returns nothing renders any more.
    virtual void stop() = 0;

    int32_t send(uint32_t message)
    {
        return m_queue.push({dueFrame(), message}) ? kMmNoError : kMidiNotReady;
    }

protected:
    // The stream frame from which a message sent now sounds; any sender's thread.
    virtual uint64_t dueFrame() const = 0;

    // Renders stream frames [first, first + frames) into `out` (interleaved stereo), playing
    // each queued message at its frame; with a null `out` only the messages are taken in.
    void render(int16_t* out, uint64_t first, uint32_t frames)
    {
        const uint64_t end = first + frames;
        uint64_t at = first;
        while (at < end)
        {
            StampedMessage m{};
            const bool due = m_queue.popBefore(end, m);
            const uint64_t next = due ? std::max(m.frame, at) : end;
            if (out != nullptr)
                synthesize(out + (at - first) * 2, uint32_t(next - at));
            at = next;
            if (due)
                play(m.message);
        }
    }

private:
    void synthesize(int16_t* out, uint32_t frames)
    {
        while (frames > 0)
        {
            const uint32_t n = std::min(frames, kChunkFrames);
            m_voice->render(m_left.data(), m_right.data(), n);
            for (uint32_t i = 0; i < n; ++i)
            {
                out[2 * i] = toSample(m_left[i]);
                out[2 * i + 1] = toSample(m_right[i]);
            }
            out += size_t(n) * 2;
            frames -= n;
        }
    }

    void play(uint32_t message) { m_voice->play(message); }

    std::unique_ptr<SynthVoice> m_voice;
    MessageQueue m_queue;
    std::array<float, kChunkFrames> m_left{};
    std::array<float, kChunkFrames> m_right{};
};

namespace
{

// Plays on the default sound card in a PortAudio stream of its own.
class SoundCardPlayer final : public SynthMidiOut::Player
{
public:
    int32_t start() override
    {
        auto session = std::make_unique<PortAudioSession>();
        if (session->result() != kMmNoError)
            return session->result();
        if (const int32_t rc = openDefaultStream(true, &onBuffer, this, &m_stream, true);
            rc != kMmNoError)
            return rc;
        if (const PaError e = Pa_StartStream(m_stream); e != paNoError)
        {
            Pa_CloseStream(m_stream);
            m_stream = nullptr;
            return mmResultFromPortAudio(e);
        }
        m_session = std::move(session);
        return kMmNoError;
    }

    void stop() override
    {
        if (m_stream == nullptr)
            return;
        stopStream(m_stream); // returns once the callback has left
        Pa_CloseStream(m_stream);
        m_stream = nullptr;
        m_session.reset();
    }

private:
    // Every message is due at once: it sounds from the start of the next buffer.
    uint64_t dueFrame() const override { return 0; }

    static int onBuffer(const void*, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo*, PaStreamCallbackFlags, void* user)
    {
        auto& self = *static_cast<SoundCardPlayer*>(user);
        self.render(static_cast<int16_t*>(output), self.m_rendered, uint32_t(frames));
        self.m_rendered += frames;
        return paContinue;
    }

    std::unique_ptr<PortAudioSession> m_session;
    PaStream* m_stream = nullptr;
    uint64_t m_rendered = 0; // the callback's only
};

// Plays as an output of a virtual stream, into the wave file of VUMO_VIRTUAL_MIDI_AUDIO.
class VirtualPlayer final : public SynthMidiOut::Player, private VirtualDevice
{
public:
    // `stream` null: the process's virtual stream, taken at start().
    explicit VirtualPlayer(std::shared_ptr<VirtualStream> stream) : m_stream(std::move(stream)) {}

    int32_t start() override
    {
        if (!m_stream)
            m_stream = acquireVirtualStream();
        const char* path = std::getenv("VUMO_VIRTUAL_MIDI_AUDIO");
        if (path != nullptr && *path != '\0')
        {
            if (const int32_t rc = m_sink.open(path); rc != kMmNoError)
                return rc;
        }
        m_rendered = m_flushed = m_stream->nowFrames();
        if (const int32_t rc = m_stream->attach(*this, true); rc != kMmNoError)
        {
            m_sink.close();
            return rc;
        }
        m_attached = true;
        return kMmNoError;
    }

    void stop() override
    {
        if (m_attached)
            m_stream->detach(*this); // waits for a step that is still rendering
        m_attached = false;
        m_sink.close();
    }

private:
    uint64_t dueFrame() const override { return m_stream->dueFrames(); }

    void advanceTo(uint64_t now) override
    {
        const bool toFile = m_sink.isOpen();
        while (m_rendered < now)
        {
            const uint32_t n = uint32_t(std::min<uint64_t>(now - m_rendered, kChunkFrames));
            render(toFile ? m_block.data() : nullptr, m_rendered, n);
            if (toFile)
                m_sink.append({m_block.data(), size_t(n) * 2});
            m_rendered += n;
        }
        if (toFile && m_rendered - m_flushed >= kFlushFrames)
        {
            m_sink.flush();
            m_flushed = m_rendered;
        }
    }

    std::shared_ptr<VirtualStream> m_stream;
    VirtualWaveSink m_sink;
    bool m_attached = false;
    // The stepping thread's own once attached.
    uint64_t m_rendered = 0;
    uint64_t m_flushed = 0;
    std::array<int16_t, size_t(kChunkFrames) * 2> m_block{};
};

} // namespace

SynthMidiOut::SynthMidiOut() = default;

SynthMidiOut::SynthMidiOut(std::shared_ptr<VirtualStream> stream) : m_fixedStream(std::move(stream))
{
}

SynthMidiOut::~SynthMidiOut()
{
    close();
}

int32_t SynthMidiOut::open()
{
    if (m_player)
        return kMmAllocated;
    const SoundFontChoice soundFont = findSoundFont();
    if (!soundFont.problem.empty())
        std::fprintf(stderr, "Vumo: %s\n", soundFont.problem.c_str());
    if (soundFont.path.empty())
    {
        std::fprintf(stderr, "Vumo: the built-in synth found no General MIDI SoundFont; install "
                             "one (for example the timgm6mb-soundfont package) or set "
                             "VUMO_SOUNDFONT\n");
        return kMidiNoDevice;
    }
    std::unique_ptr<Player> player;
    if (m_fixedStream || outputBackend() == AudioBackend::Virtual)
        player = std::make_unique<VirtualPlayer>(m_fixedStream);
    else
        player = std::make_unique<SoundCardPlayer>();
    if (const int32_t rc = player->load(soundFont.path); rc != kMmNoError)
        return rc;
    if (const int32_t rc = player->start(); rc != kMmNoError)
        return rc;
    m_soundFont = soundFont.path;
    m_player = std::move(player);
    return kMmNoError;
}

int32_t SynthMidiOut::shortMsg(uint32_t message)
{
    if (!m_player)
        return kMmInvalidHandle;
    const uint32_t status = message & 0xFF;
    if (status < 0x80 || status == 0xF0 || status == 0xF7)
        return kMmInvalidParam;
    return m_player->send(message);
}

int32_t SynthMidiOut::close()
{
    if (!m_player)
        return kMmInvalidHandle;
    m_player->stop();
    m_player.reset();
    return kMmNoError;
}

std::string SynthMidiOut::deviceName() const
{
    return "built-in synth (" + m_soundFont + ")";
}

} // namespace platform
