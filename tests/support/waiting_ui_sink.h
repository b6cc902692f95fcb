// A user-interface sink whose message boxes wait for an answer, as a window's
// would wait for its user, until a stop cancels them.
#pragma once

#include <condition_variable>
#include <mutex>

#include "host/recording_ui_sink.h"

class WaitingUiSink : public RecordingUiSink {
  public:
    int messageBox(unsigned flags, const std::string& title, const std::string& text) override {
        RecordingUiSink::messageBox(flags, title, text);
        std::unique_lock lock(mutex_);
        ++boxes_;
        changed_.wait(lock, [this] { return cancelled_; });
        return MESSAGE_OK;
    }
    void cancelMessageBoxes() override {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
        changed_.notify_all();
    }
    void resumeMessageBoxes() override {
        std::lock_guard lock(mutex_);
        cancelled_ = false;
    }
    // Boxes shown so far.
    int boxes() {
        std::lock_guard lock(mutex_);
        return boxes_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int boxes_ = 0;
    bool cancelled_ = false;
};
