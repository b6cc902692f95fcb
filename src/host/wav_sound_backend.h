// A sound back end that plays nothing aloud: every buffer is appended to a
// WAV file the moment it plays, and ends at once, so a run is never slowed
// down by it. The file takes the rate of the first buffer played; buffers at
// another rate are resampled to it so the recording keeps its timing.
#pragma once

#include <memory>
#include <string>

#include "host/sound_backend.h"

class WavSoundBackend : public SoundBackend {
  public:
    explicit WavSoundBackend(std::string path);
    ~WavSoundBackend() override;

    // Creates (or truncates) the file; false when it cannot be written.
    bool open() override;
    // Completes the header and closes the file.
    void close() override;
    std::unique_ptr<SoundBuffer> createBuffer(const SoundFormat& format, uint32_t bytes) override;

    const std::string& path() const { return path_; }
    // Rate of the file (0 until a buffer has played) and frames written so far.
    uint32_t sampleRate() const;
    uint64_t framesWritten() const;

    struct State;

  private:
    std::string path_;
    std::shared_ptr<State> state_;
};
