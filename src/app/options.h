// Option flags read from the registry at start-up.
#pragma once

// "Utilize HLE of CPU functions": JALs to recognised guest library routines
// run native replacements.
extern bool hleEnabled;
// "Nice Frame Buffer": the frame copy converts pixels instead of copying raw.
extern bool niceFrameBuffer;
