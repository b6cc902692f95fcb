// The audio interface's registers (the buffers themselves: hw/audio_output.h).
#pragma once

// A store to AI_LEN_REG queues a buffer; one to AI_STATUS_REG acknowledges the
// AI interrupt.
void installAiRegisters();
