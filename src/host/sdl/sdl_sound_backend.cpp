#include "host/sdl/sdl_sound_backend.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "base/log.h"

namespace {

// One buffer's samples and its play position, shared with the audio thread.
struct Voice {
    std::vector<uint8_t> data;
    uint32_t rate = 0;
    bool playing = false;
    // Position in source frames, as 32.32 fixed point.
    uint64_t position = 0;
    std::function<void()> onEnd;

    uint64_t frames() const { return data.size() / 4; }
    int16_t sample(uint64_t frame, int channel) const {
        int16_t s;
        std::memcpy(&s, &data[frame * 4 + channel * 2], 2);
        return s;
    }
};

} // namespace

struct SdlSoundBackend::State {
    std::mutex mutex;
    SDL_AudioDeviceID device = 0;
    uint32_t deviceRate = 44100;
    std::vector<std::shared_ptr<Voice>> voices;
    std::vector<int32_t> mix;

    // Audio thread: mixes every playing voice into the device's buffer.
    void fill(int16_t* out, size_t frames) {
        std::vector<std::function<void()>> ended;
        {
            std::lock_guard lock(mutex);
            mix.assign(frames * 2, 0);
            for (const auto& v : voices) {
                if (!v->playing) continue;
                const uint64_t step = (uint64_t{v->rate} << 32) / deviceRate;
                size_t i = 0;
                for (; i < frames; ++i) {
                    const uint64_t frame = v->position >> 32;
                    if (frame >= v->frames()) break;
                    mix[i * 2] += v->sample(frame, 0);
                    mix[i * 2 + 1] += v->sample(frame, 1);
                    v->position += step;
                }
                if ((v->position >> 32) >= v->frames()) {
                    v->playing = false;
                    if (v->onEnd) ended.push_back(std::move(v->onEnd));
                    v->onEnd = nullptr;
                }
            }
            for (size_t i = 0; i < mix.size(); ++i) {
                out[i] = static_cast<int16_t>(std::clamp(mix[i], -32768, 32767));
            }
        }
        // End notifications only signal; they never call back into here.
        for (auto& notify : ended)
            notify();
    }
};

namespace {

void audioCallback(void* userdata, Uint8* stream, int length) {
    auto* state = static_cast<SdlSoundBackend::State*>(userdata);
    state->fill(reinterpret_cast<int16_t*>(stream), static_cast<size_t>(length) / 4);
}

class SdlBuffer : public SoundBuffer {
  public:
    SdlBuffer(std::shared_ptr<SdlSoundBackend::State> state, std::shared_ptr<Voice> voice)
        : state_(std::move(state)), voice_(std::move(voice)) {}
    ~SdlBuffer() override {
        std::lock_guard lock(state_->mutex);
        auto& voices = state_->voices;
        voices.erase(std::remove(voices.begin(), voices.end(), voice_), voices.end());
    }
    uint32_t size() const override { return static_cast<uint32_t>(voice_->data.size()); }
    std::span<uint8_t> lock(uint32_t bytes) override {
        std::lock_guard lock(state_->mutex);
        if (voice_->playing) return {};
        return std::span<uint8_t>(voice_->data).first(std::min<size_t>(bytes, voice_->data.size()));
    }
    void unlock(std::span<uint8_t>) override {}
    int setEndNotification(std::function<void()> onEnd) override {
        std::lock_guard lock(state_->mutex);
        voice_->onEnd = std::move(onEnd);
        return 0;
    }
    bool play() override {
        std::lock_guard lock(state_->mutex);
        if (!state_->device) return false;
        voice_->position = 0;
        voice_->playing = true;
        return true;
    }
    void stop() override {
        std::lock_guard lock(state_->mutex);
        voice_->playing = false;
        voice_->onEnd = nullptr;
    }

  private:
    std::shared_ptr<SdlSoundBackend::State> state_;
    std::shared_ptr<Voice> voice_;
};

} // namespace

SdlSoundBackend::SdlSoundBackend() : state_(std::make_shared<State>()) {}

SdlSoundBackend::~SdlSoundBackend() {
    close();
}

bool SdlSoundBackend::open() {
    close();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        logLine("Sound device unavailable: %s", SDL_GetError());
        return false;
    }
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(PRIMARY_SOUND_FORMAT.sampleRate);
    want.format = AUDIO_S16LSB;
    want.channels = 2;
    want.samples = 1024;
    want.callback = audioCallback;
    want.userdata = state_.get();
    SDL_AudioSpec have{};
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0) {
        logLine("Sound device unavailable: %s", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    {
        std::lock_guard lock(state_->mutex);
        state_->device = device;
        state_->deviceRate = static_cast<uint32_t>(have.freq);
    }
    SDL_PauseAudioDevice(device, 0);
    return true;
}

void SdlSoundBackend::close() {
    SDL_AudioDeviceID device;
    {
        std::lock_guard lock(state_->mutex);
        device = state_->device;
        state_->device = 0;
        for (auto& v : state_->voices) {
            v->playing = false;
            v->onEnd = nullptr;
        }
    }
    if (!device) return;
    // Waits for the audio thread, which takes the state's lock: not held here.
    SDL_CloseAudioDevice(device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

std::unique_ptr<SoundBuffer> SdlSoundBackend::createBuffer(const SoundFormat& format,
                                                           uint32_t bytes) {
    if (!isPlayableSoundFormat(format) || bytes == 0) return nullptr;
    auto voice = std::make_shared<Voice>();
    voice->data.assign(bytes, 0);
    voice->rate = format.sampleRate;
    std::lock_guard lock(state_->mutex);
    if (!state_->device) return nullptr;
    state_->voices.push_back(voice);
    return std::make_unique<SdlBuffer>(state_, std::move(voice));
}
