// The sound back end: the host side of audio output. It plays one buffer of
// PCM samples at a time, once, tells when a buffer has been played to its end,
// and says when a buffer cannot be created. The audio output logic above it
// decides which buffer plays when.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

// A PCM wave format record.
struct SoundFormat {
    uint16_t channels = 2;
    uint32_t sampleRate = 44100;
    uint32_t averageBytesPerSecond = 176400;
    uint16_t blockAlign = 4;
    uint16_t bitsPerSample = 16;
};

// The format of the device's own (primary) output: 44100 Hz, 16-bit stereo.
constexpr SoundFormat PRIMARY_SOUND_FORMAT{};

// Rates a buffer may have; outside them a buffer cannot be created.
constexpr uint32_t MIN_SOUND_RATE = 100;
constexpr uint32_t MAX_SOUND_RATE = 200000;

// True for the formats every back end plays: 16-bit stereo PCM whose block
// alignment and byte rate agree with it, at a rate within the limits above.
bool isPlayableSoundFormat(const SoundFormat& format);

// One buffer of samples, created for one guest buffer. Destroying it stops it
// and releases it; its end notification is never called after that.
class SoundBuffer {
  public:
    virtual ~SoundBuffer() = default;

    virtual uint32_t size() const = 0;
    // Gives write access to up to `bytes` bytes from the start of the buffer
    // (the region may be shorter, or empty when it cannot be written).
    virtual std::span<uint8_t> lock(uint32_t bytes) = 0;
    // Ends the write access given by lock.
    virtual void unlock(std::span<uint8_t> region) = 0;
    // Asks to be told, once, when the buffer has been played to its end. The
    // call may come from any thread (also from inside play()), and must not
    // block. Returns 0 on success, a nonzero back-end code on failure.
    virtual int setEndNotification(std::function<void()> onEnd) = 0;
    // Plays the buffer once from its start; false when it cannot play.
    virtual bool play() = 0;
    // Stops playing; no end notification follows.
    virtual void stop() = 0;
    // Goes on playing a buffer that was playing when a machine state was
    // saved. A back end that keeps its own timeline (setTimelineEnd) lets it
    // end where that timeline ends and does not hand its samples on a second
    // time; others play it again from its start.
    virtual bool resume() { return play(); }
};

class SoundBackend {
  public:
    virtual ~SoundBackend() = default;
    // Opens the device with the primary format; false when it cannot.
    virtual bool open() = 0;
    // Closes the device. Buffers still alive must not be used afterwards.
    virtual void close() = 0;
    // A buffer of `bytes` bytes in the given format, or null when it cannot be
    // created (an unplayable format, no device, no memory).
    virtual std::unique_ptr<SoundBuffer> createBuffer(const SoundFormat& format,
                                                      uint32_t bytes) = 0;
    // Where the played buffers end on the back end's own clock, in seconds,
    // for a saved state; back ends without such a clock say 0 and ignore the
    // value given back.
    virtual double timelineEnd() const { return 0.0; }
    virtual void setTimelineEnd(double /*seconds*/) {}
};

// The back end the emulation uses; null until a front end installs one, and
// then sound set-up fails. Installing null removes it.
SoundBackend* soundBackend();
void installSoundBackend(SoundBackend* backend);
