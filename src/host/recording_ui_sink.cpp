#include "host/recording_ui_sink.h"

int RecordingUiSink::messageBox(unsigned flags, const std::string& title, const std::string& text) {
    std::lock_guard lock(mutex_);
    messages_.push_back({flags, title, text});
    if ((flags & 0x0F) != MESSAGE_YES_NO) return MESSAGE_OK;
    if (answers_.empty()) return MESSAGE_YES;
    const int answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void RecordingUiSink::setStatusPart(int part, const std::string& text) {
    std::lock_guard lock(mutex_);
    if (part >= 0 && part < 3) status_[part] = text;
}

void RecordingUiSink::queueAnswer(int answer) {
    std::lock_guard lock(mutex_);
    answers_.push_back(answer);
}

std::vector<RecordedMessage> RecordingUiSink::messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

std::string RecordingUiSink::statusPart(int part) const {
    std::lock_guard lock(mutex_);
    return part >= 0 && part < 3 ? status_[part] : std::string();
}

void RecordingUiSink::clear() {
    std::lock_guard lock(mutex_);
    messages_.clear();
    answers_.clear();
    for (auto& s : status_)
        s.clear();
}
