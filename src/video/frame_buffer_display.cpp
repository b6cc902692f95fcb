#include "video/frame_buffer_display.h"

FrameBufferDisplay theFrameBufferDisplay;

// No display surface yet.
bool setFrameMode(uint32_t, uint32_t) { return false; }
