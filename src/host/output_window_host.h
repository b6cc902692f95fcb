// The output window as the emulation session sees it: the front end's window
// in which a run shows its picture. A headless run has none.
#pragma once

#include <cstdint>

class OutputWindowHost {
  public:
    virtual ~OutputWindowHost() = default;
    // Takes and gives back the window's drawing resources for the run.
    virtual void acquireDeviceContext() {}
    virtual void releaseDeviceContext() {}
    // The window's top-left corner on the screen; false when unknown.
    virtual bool screenPosition(int32_t& left, int32_t& top) = 0;
    // The toolkit window handed to controller plug-ins; may be null.
    virtual void* nativeWindow() { return nullptr; }
    // The keyboard state plug-ins read (256 keys, non-zero while held);
    // null when the window has no keyboard.
    virtual const volatile uint8_t* keys() { return nullptr; }
};
