#include "support/test_sound_backend.h"

#include <algorithm>
#include <functional>
#include <mutex>

struct TestSoundBackend::State {
    mutable std::mutex mutex;
    std::vector<TestSoundBufferRecord> records;
    std::vector<std::function<void()>> notifications;
    std::vector<int> playOrder;
    bool open = false;
    int opens = 0;
    bool failNotification = false;
};

namespace {

class TestBuffer : public SoundBuffer {
  public:
    TestBuffer(std::shared_ptr<TestSoundBackend::State> state, int id, uint32_t size)
        : state_(std::move(state)), id_(id), data_(size, 0xCD) {}
    ~TestBuffer() override {
        std::lock_guard lock(state_->mutex);
        record().released = true;
        record().playing = false;
        state_->notifications[id_] = nullptr;
    }
    uint32_t size() const override { return static_cast<uint32_t>(data_.size()); }
    std::span<uint8_t> lock(uint32_t bytes) override {
        return std::span<uint8_t>(data_).first(std::min<size_t>(bytes, data_.size()));
    }
    void unlock(std::span<uint8_t>) override {
        std::lock_guard lock(state_->mutex);
        record().contents = data_;
    }
    int setEndNotification(std::function<void()> onEnd) override {
        std::lock_guard lock(state_->mutex);
        if (state_->failNotification) return -2;
        record().notificationSet = true;
        state_->notifications[id_] = std::move(onEnd);
        return 0;
    }
    bool play() override {
        std::lock_guard lock(state_->mutex);
        record().playing = true;
        ++record().plays;
        state_->playOrder.push_back(id_);
        return true;
    }
    void stop() override {
        std::lock_guard lock(state_->mutex);
        record().playing = false;
    }

  private:
    TestSoundBufferRecord& record() { return state_->records[id_]; }
    std::shared_ptr<TestSoundBackend::State> state_;
    int id_;
    std::vector<uint8_t> data_;
};

} // namespace

TestSoundBackend::TestSoundBackend() : state_(std::make_shared<State>()) {}
TestSoundBackend::~TestSoundBackend() = default;

bool TestSoundBackend::open() {
    std::lock_guard lock(state_->mutex);
    if (failOpen) return false;
    state_->open = true;
    ++state_->opens;
    return true;
}

void TestSoundBackend::close() {
    std::lock_guard lock(state_->mutex);
    state_->open = false;
}

std::unique_ptr<SoundBuffer> TestSoundBackend::createBuffer(const SoundFormat& format,
                                                            uint32_t bytes) {
    std::lock_guard lock(state_->mutex);
    state_->failNotification = failNotification;
    if (failCreate || !state_->open || !isPlayableSoundFormat(format) || bytes == 0) {
        return nullptr;
    }
    TestSoundBufferRecord record;
    record.id = static_cast<int>(state_->records.size());
    record.format = format;
    record.size = bytes;
    state_->records.push_back(record);
    state_->notifications.emplace_back();
    return std::make_unique<TestBuffer>(state_, record.id, bytes);
}

bool TestSoundBackend::endPlayingBuffer() {
    std::function<void()> notify;
    {
        std::lock_guard lock(state_->mutex);
        auto it = std::find_if(state_->playOrder.begin(), state_->playOrder.end(),
                               [this](int id) { return state_->records[id].playing; });
        if (it == state_->playOrder.end()) return false;
        state_->records[*it].playing = false;
        notify = std::move(state_->notifications[*it]);
        state_->notifications[*it] = nullptr;
    }
    if (notify) notify();
    return true;
}

std::vector<TestSoundBufferRecord> TestSoundBackend::buffers() const {
    std::lock_guard lock(state_->mutex);
    return state_->records;
}

std::vector<int> TestSoundBackend::playOrder() const {
    std::lock_guard lock(state_->mutex);
    return state_->playOrder;
}

bool TestSoundBackend::isOpen() const {
    std::lock_guard lock(state_->mutex);
    return state_->open;
}

int TestSoundBackend::openCount() const {
    std::lock_guard lock(state_->mutex);
    return state_->opens;
}
