// The video interface: the vertical interrupt and the frame it shows.
#pragma once

// The vertical interrupt: schedules the next one, shows the guest frame,
// counts it for the speed display, then raises the MI bit.
void raiseViInterrupt();
