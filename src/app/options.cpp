#include "app/options.h"

bool hleEnabled = false;
bool niceFrameBuffer = false;
