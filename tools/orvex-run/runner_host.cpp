#include "runner_host.h"

#include <algorithm>

int RunnerUiSink::messageBox(unsigned flags, const std::string& title, const std::string& text) {
    const bool question = (flags & 0x0F) == MESSAGE_YES_NO;
    const int answer = !question ? MESSAGE_OK : answerYes_ ? MESSAGE_YES : MESSAGE_NO;
    std::lock_guard lock(mutex_);
    std::string line = text;
    std::replace(line.begin(), line.end(), '\n', ' ');
    std::fprintf(out_, "[%s] %s%s\n", title.c_str(), line.c_str(),
                 question ? (answer == MESSAGE_YES ? " -> Yes" : " -> No") : "");
    std::fflush(out_);
    messages_.push_back(text);
    return answer;
}

void RunnerUiSink::setStatusPart(int part, const std::string& text) {
    if (part < 0 || part > 2) return;
    std::lock_guard lock(mutex_);
    if (status_[part] == text) return;
    status_[part] = text;
    std::fprintf(out_, "[status] %s\n", text.c_str());
    std::fflush(out_);
}

std::vector<std::string> RunnerUiSink::messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

namespace {

class SilentBuffer : public SoundBuffer {
  public:
    explicit SilentBuffer(uint32_t bytes) : data_(bytes, 0) {}
    uint32_t size() const override { return uint32_t(data_.size()); }
    std::span<uint8_t> lock(uint32_t bytes) override {
        return std::span<uint8_t>(data_).first(std::min<size_t>(bytes, data_.size()));
    }
    void unlock(std::span<uint8_t>) override {}
    int setEndNotification(std::function<void()>) override { return 0; }
    bool play() override { return true; }
    void stop() override {}

  private:
    std::vector<uint8_t> data_;
};

} // namespace

std::unique_ptr<SoundBuffer> SilentSoundBackend::createBuffer(const SoundFormat& format,
                                                              uint32_t bytes) {
    if (!isPlayableSoundFormat(format) || bytes == 0) return nullptr;
    return std::make_unique<SilentBuffer>(bytes);
}
