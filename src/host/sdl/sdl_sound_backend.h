// The sound back end of the GUI: SDL2 audio on the default output device,
// opened at the primary format (44100 Hz, 16-bit stereo). Each buffer is
// converted to the device's rate as it plays; its end is signalled from the
// audio thread once its last frame has been handed to the device.
#pragma once

#include <memory>

#include "host/sound_backend.h"

class SdlSoundBackend : public SoundBackend {
  public:
    SdlSoundBackend();
    ~SdlSoundBackend() override;

    bool open() override;
    void close() override;
    std::unique_ptr<SoundBuffer> createBuffer(const SoundFormat& format, uint32_t bytes) override;

    struct State;

  private:
    std::shared_ptr<State> state_;
};
