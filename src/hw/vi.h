// The video interface: its registers, the frame they point at and the
// vertical interrupt that shows it.
#pragma once

// VI_ORIGIN_REG and VI_WIDTH_REG change the frame shown; a store to
// VI_CURRENT_REG acknowledges the VI interrupt, and each guest load of it
// advances the current line by 2 (back to 0 past VI_V_SYNC_REG).
void installViRegisters();
// The deferred effects: a new frame source (VI_ORIGIN_REG) and a new frame
// mode (VI_WIDTH_REG, with the pixel size of VI_STATUS_REG).
void applyNewFrameSource();
void applyNewFrameMode();
// The vertical interrupt: schedules the next one, shows the guest frame,
// counts it for the speed display, then raises the MI bit.
void raiseViInterrupt();
