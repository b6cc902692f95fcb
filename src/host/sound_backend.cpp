#include "host/sound_backend.h"

#include <atomic>

namespace {
std::atomic<SoundBackend*> installed{nullptr};
} // namespace

bool isPlayableSoundFormat(const SoundFormat& format) {
    return format.channels == 2 && format.bitsPerSample == 16 && format.blockAlign == 4 &&
           format.sampleRate >= MIN_SOUND_RATE && format.sampleRate <= MAX_SOUND_RATE &&
           format.averageBytesPerSecond == format.sampleRate * 4;
}

SoundBackend* soundBackend() {
    return installed.load(std::memory_order_acquire);
}

void installSoundBackend(SoundBackend* backend) {
    installed.store(backend, std::memory_order_release);
}
