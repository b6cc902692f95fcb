// A sound back end that plays through another one but lets each buffer end
// only once a clock has advanced by the buffer's duration. A back end that
// plays in no time, such as the WAV recorder, thus keeps the pace of the clock
// given (for a headless run: the guest's own time), and the guest's audio
// interrupts come as often as on the console.
#pragma once

#include <functional>
#include <memory>
#include <thread>

#include "host/sound_backend.h"

class PacedSoundBackend : public SoundBackend {
  public:
    // Seconds of the pace; must never go backwards. Read on the pacing thread.
    using Clock = std::function<double()>;

    PacedSoundBackend(SoundBackend& inner, Clock clock);
    ~PacedSoundBackend() override;

    // Opens the inner back end and starts the pacing thread.
    bool open() override;
    // Stops the pacing thread and closes the inner back end.
    void close() override;
    std::unique_ptr<SoundBuffer> createBuffer(const SoundFormat& format, uint32_t bytes) override;

    struct State;

  private:
    SoundBackend& inner_;
    std::shared_ptr<State> state_;
    std::thread pacer_;
};
