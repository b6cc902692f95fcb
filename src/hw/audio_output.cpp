#include "hw/audio_output.h"

// No sound back end yet: guest audio buffers are not played.
void queueAudio() {}
