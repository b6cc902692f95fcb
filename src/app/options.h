// Option flags read from the registry at start-up. The main window may change
// them while the CPU thread reads them, hence atomic.
#pragma once

#include <atomic>

// "Utilize HLE of CPU functions": JALs to recognised guest library routines
// run native replacements.
extern std::atomic<bool> hleEnabled;
// "Nice Frame Buffer": the frame copy converts pixels instead of copying raw.
extern std::atomic<bool> niceFrameBuffer;
