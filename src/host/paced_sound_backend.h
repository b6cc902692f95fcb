// A sound back end that plays through another one but lets each buffer end
// only once a clock has advanced by the buffer's duration. A back end that
// plays in no time, such as the WAV recorder, thus keeps the pace of the clock
// given (for a headless run: the guest's own time), and the guest's audio
// interrupts come as often as on the console.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "host/sound_backend.h"

class PacedSoundBackend : public SoundBackend {
  public:
    // Seconds of the pace; must never go backwards.
    using Clock = std::function<double()>;

    PacedSoundBackend(SoundBackend& inner, Clock clock);
    ~PacedSoundBackend() override;

    bool open() override;
    void close() override;
    std::unique_ptr<SoundBuffer> createBuffer(const SoundFormat& format, uint32_t bytes) override;
    double timelineEnd() const override;
    void setTimelineEnd(double seconds) override;

    // Ends the playing buffer once the clock has passed its end. Called by
    // whoever moves the clock, each time it has moved; any thread.
    void pace();
    // How many buffers pace() has ended since open().
    uint64_t endedBuffers() const;

    struct State;

  private:
    SoundBackend& inner_;
    std::shared_ptr<State> state_;
};
