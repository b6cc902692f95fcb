// The host back ends of a headless run: a user-interface sink that prints to
// the runner's output, and a sound back end that plays nothing.
#pragma once

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/ui_sink.h"
#include "host/sound_backend.h"

// Prints message boxes and status texts to `out` as they come (a status part
// only when its text changes), answers yes/no questions as configured and
// keeps the texts of the boxes.
class RunnerUiSink : public UserInterfaceSink {
  public:
    RunnerUiSink(FILE* out, bool answerYes) : out_(out), answerYes_(answerYes) {}

    int messageBox(unsigned flags, const std::string& title, const std::string& text) override;
    void setStatusPart(int part, const std::string& text) override;

    std::vector<std::string> messages() const;

  private:
    mutable std::mutex mutex_;
    FILE* out_;
    bool answerYes_;
    std::vector<std::string> messages_;
    std::string status_[3];
};

// Buffers that hold their samples and are played in no time; for runs that
// record no audio. Their ends are left to a pacing back end around it.
class SilentSoundBackend : public SoundBackend {
  public:
    bool open() override { return true; }
    void close() override {}
    std::unique_ptr<SoundBuffer> createBuffer(const SoundFormat& format, uint32_t bytes) override;
};
