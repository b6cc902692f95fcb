// A sound back end for tests: nothing is heard, every buffer is recorded, and
// the test decides when the playing buffer has ended.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "host/sound_backend.h"

// 16-bit stereo at `rate` frames a second, as the AI asks for it.
inline SoundFormat formatAt(uint32_t rate) {
    SoundFormat f;
    f.sampleRate = rate;
    f.averageBytesPerSecond = rate * 4;
    return f;
}

struct TestSoundBufferRecord {
    int id = 0;
    SoundFormat format;
    uint32_t size = 0;
    std::vector<uint8_t> contents;
    bool notificationSet = false;
    int plays = 0;
    bool playing = false;
    bool released = false;
};

class TestSoundBackend : public SoundBackend {
  public:
    TestSoundBackend();
    ~TestSoundBackend() override;

    bool open() override;
    void close() override;
    std::unique_ptr<SoundBuffer> createBuffer(const SoundFormat& format, uint32_t bytes) override;

    // Failures to simulate.
    bool failOpen = false;
    bool failCreate = false;
    bool failNotification = false;

    // Ends the buffer that plays (the oldest one started); its end
    // notification fires on this thread. False when none plays.
    bool endPlayingBuffer();

    std::vector<TestSoundBufferRecord> buffers() const;
    // Ids of the buffers in the order they started playing.
    std::vector<int> playOrder() const;
    bool isOpen() const;
    int openCount() const;

    struct State;

  private:
    std::shared_ptr<State> state_;
};
