// The user-interface side of messages: modal message boxes and the three
// parts of the status bar. Front ends install their own sink; the core only
// talks to this interface.
#pragma once

#include <string>

// Answers of a message box.
constexpr int MESSAGE_OK = 1;
constexpr int MESSAGE_YES = 6;
constexpr int MESSAGE_NO = 7;

// Style bits of a message box.
constexpr unsigned MESSAGE_YES_NO = 0x04;
constexpr unsigned MESSAGE_ICON_MASK = 0xF0;

class UserInterfaceSink {
  public:
    virtual ~UserInterfaceSink() = default;
    // Shows a modal box titled `title` with the given style flags and blocks
    // until it is answered; returns MESSAGE_OK, MESSAGE_YES or MESSAGE_NO.
    virtual int messageBox(unsigned flags, const std::string& title, const std::string& text) = 0;
    // Sets the text of status-bar part 0, 1 or 2.
    virtual void setStatusPart(int part, const std::string& text) = 0;
    // Ends every message box still waiting for an answer (a question as if
    // answered No, any other box OK) and answers the boxes raised afterwards
    // the same way at once, until resumeMessageBoxes. The emulation stop calls
    // it before it waits for the CPU thread, which may be held in a box. A
    // sink whose boxes never wait has nothing to do.
    virtual void cancelMessageBoxes() {}
    virtual void resumeMessageBoxes() {}
};

// The sink messages go to; never null (a headless sink until a front end
// installs another). Installing null restores the default.
UserInterfaceSink& uiSink();
void installUiSink(UserInterfaceSink* sink);
