#include "app/options.h"

std::atomic<bool> hleEnabled{false};
std::atomic<bool> niceFrameBuffer{false};
