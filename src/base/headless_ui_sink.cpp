#include "base/headless_ui_sink.h"

#include <cstdio>

int HeadlessUiSink::messageBox(unsigned flags, const std::string& title, const std::string& text) {
    const bool question = (flags & 0x0F) == MESSAGE_YES_NO;
    const int answer = question ? yesNoAnswer_.load() : MESSAGE_OK;
    std::fprintf(stderr, "[%s] %s%s\n", title.c_str(), text.c_str(),
                 question ? (answer == MESSAGE_YES ? " -> Yes" : " -> No") : "");
    return answer;
}

void HeadlessUiSink::setStatusPart(int part, const std::string& text) {
    if (echoStatus_) std::fprintf(stderr, "[status %d] %s\n", part, text.c_str());
}
