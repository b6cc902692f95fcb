// A user-interface sink that records every message box and status text, and
// answers questions from a queue; for tests and scripted runs.
#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "base/ui_sink.h"

struct RecordedMessage {
    unsigned flags;
    std::string title;
    std::string text;
};

class RecordingUiSink : public UserInterfaceSink {
  public:
    int messageBox(unsigned flags, const std::string& title, const std::string& text) override;
    void setStatusPart(int part, const std::string& text) override;

    // Queues the answer of the next Yes/No question (default: Yes).
    void queueAnswer(int answer);
    std::vector<RecordedMessage> messages() const;
    std::string statusPart(int part) const;
    void clear();

  private:
    mutable std::mutex mutex_;
    std::vector<RecordedMessage> messages_;
    std::deque<int> answers_;
    std::string status_[3];
};
