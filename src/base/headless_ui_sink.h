// A user-interface sink without a window: message boxes are printed to
// standard error and answered as configured.
#pragma once

#include <atomic>

#include "base/ui_sink.h"

class HeadlessUiSink : public UserInterfaceSink {
  public:
    // What a Yes/No question is answered with (MESSAGE_YES or MESSAGE_NO).
    explicit HeadlessUiSink(int yesNoAnswer = MESSAGE_YES) : yesNoAnswer_(yesNoAnswer) {}

    int messageBox(unsigned flags, const std::string& title, const std::string& text) override;
    void setStatusPart(int part, const std::string& text) override;

    void setYesNoAnswer(int answer) { yesNoAnswer_ = answer; }
    // Prints status-bar texts to standard error as well (off by default).
    void setEchoStatus(bool on) { echoStatus_ = on; }

  private:
    std::atomic<int> yesNoAnswer_;
    std::atomic<bool> echoStatus_{false};
};
