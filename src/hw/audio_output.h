// Audio output: guest audio buffers handed to the sound back end.
#pragma once

// The effect of a store to AI_LEN_REG: queue the guest buffer at
// AI_DRAM_ADDR_REG for playing. CPU thread.
void queueAudio();
