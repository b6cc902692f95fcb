#include "host/wav_sound_backend.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include "base/log.h"

namespace {

constexpr uint32_t WAV_HEADER_SIZE = 44;
// The data chunk's size field is 32 bits; the file stops growing before it.
constexpr uint64_t MAX_WAV_DATA = 0xFFFFFFFFull - WAV_HEADER_SIZE;

void put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void put32(uint8_t* p, uint32_t v) {
    put16(p, static_cast<uint16_t>(v));
    put16(p + 2, static_cast<uint16_t>(v >> 16));
}

} // namespace

struct WavSoundBackend::State {
    std::mutex mutex;
    FILE* file = nullptr;
    uint32_t rate = 0;
    uint64_t dataBytes = 0;

    bool writeHeader() {
        uint8_t h[WAV_HEADER_SIZE];
        const uint32_t rateOut = rate ? rate : PRIMARY_SOUND_FORMAT.sampleRate;
        std::memcpy(h, "RIFF", 4);
        put32(h + 4, static_cast<uint32_t>(36 + dataBytes));
        std::memcpy(h + 8, "WAVEfmt ", 8);
        put32(h + 16, 16);
        put16(h + 20, 1); // PCM
        put16(h + 22, 2);
        put32(h + 24, rateOut);
        put32(h + 28, rateOut * 4);
        put16(h + 32, 4);
        put16(h + 34, 16);
        std::memcpy(h + 36, "data", 4);
        put32(h + 40, static_cast<uint32_t>(dataBytes));
        return std::fseek(file, 0, SEEK_SET) == 0 &&
               std::fwrite(h, 1, sizeof h, file) == sizeof h && std::fseek(file, 0, SEEK_END) == 0;
    }

    // Appends whole 4-byte frames played at `bufferRate`, resampled to the
    // file's rate when they differ. Caller holds the mutex.
    void append(const std::vector<uint8_t>& data, uint32_t bufferRate) {
        if (!file) return;
        if (rate == 0) rate = bufferRate;
        const uint64_t frames = data.size() / 4;
        std::vector<uint8_t> out;
        if (bufferRate == rate) {
            out.assign(data.begin(), data.begin() + static_cast<ptrdiff_t>(frames * 4));
        } else {
            const uint64_t outFrames = frames * rate / bufferRate;
            out.resize(outFrames * 4);
            for (uint64_t i = 0; i < outFrames; ++i) {
                std::memcpy(&out[i * 4], &data[(i * bufferRate / rate) * 4], 4);
            }
        }
        if (dataBytes + out.size() > MAX_WAV_DATA) return;
        if (std::fwrite(out.data(), 1, out.size(), file) != out.size()) {
            logLine("Audio recording could not be written");
            return;
        }
        dataBytes += out.size();
    }
};

namespace {

class WavBuffer : public SoundBuffer {
  public:
    WavBuffer(std::shared_ptr<WavSoundBackend::State> state, const SoundFormat& format,
              uint32_t bytes)
        : state_(std::move(state)), rate_(format.sampleRate), data_(bytes, 0) {}

    uint32_t size() const override { return static_cast<uint32_t>(data_.size()); }
    std::span<uint8_t> lock(uint32_t bytes) override {
        return std::span<uint8_t>(data_).first(std::min<size_t>(bytes, data_.size()));
    }
    void unlock(std::span<uint8_t>) override {}
    int setEndNotification(std::function<void()> onEnd) override {
        onEnd_ = std::move(onEnd);
        return 0;
    }
    bool play() override {
        {
            std::lock_guard lock(state_->mutex);
            if (!state_->file) return false;
            state_->append(data_, rate_);
        }
        // Played in no time: the end is reported right away.
        if (auto onEnd = std::move(onEnd_)) onEnd();
        onEnd_ = nullptr;
        return true;
    }
    void stop() override { onEnd_ = nullptr; }

  private:
    std::shared_ptr<WavSoundBackend::State> state_;
    uint32_t rate_;
    std::vector<uint8_t> data_;
    std::function<void()> onEnd_;
};

} // namespace

WavSoundBackend::WavSoundBackend(std::string path)
    : path_(std::move(path)), state_(std::make_shared<State>()) {}

WavSoundBackend::~WavSoundBackend() {
    close();
}

bool WavSoundBackend::open() {
    std::lock_guard lock(state_->mutex);
    if (state_->file) std::fclose(state_->file);
    state_->rate = 0;
    state_->dataBytes = 0;
    state_->file = std::fopen(path_.c_str(), "wb");
    if (!state_->file) return false;
    if (!state_->writeHeader()) {
        std::fclose(state_->file);
        state_->file = nullptr;
        return false;
    }
    return true;
}

void WavSoundBackend::close() {
    std::lock_guard lock(state_->mutex);
    if (!state_->file) return;
    state_->writeHeader();
    std::fclose(state_->file);
    state_->file = nullptr;
}

std::unique_ptr<SoundBuffer> WavSoundBackend::createBuffer(const SoundFormat& format,
                                                           uint32_t bytes) {
    if (!isPlayableSoundFormat(format) || bytes == 0) return nullptr;
    std::lock_guard lock(state_->mutex);
    if (!state_->file) return nullptr;
    return std::make_unique<WavBuffer>(state_, format, bytes);
}

uint32_t WavSoundBackend::sampleRate() const {
    std::lock_guard lock(state_->mutex);
    return state_->rate;
}

uint64_t WavSoundBackend::framesWritten() const {
    std::lock_guard lock(state_->mutex);
    return state_->dataBytes / 4;
}
