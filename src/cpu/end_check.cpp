#include "cpu/end_check.h"

#include "base/log.h"
#include "core/memory.h"

namespace {

void noDeviceEffects() {
    static bool reported = false;
    if (!reported) {
        reported = true;
        logLine("Register effects pending with no devices connected; they are dropped.");
    }
    mem_actions[0] = 0;
    mem_actions[1] = 0;
}

EndCheckRoutine installed = &noDeviceEffects;

} // namespace

void setEndCheckRoutine(EndCheckRoutine routine) {
    installed = routine ? routine : &noDeviceEffects;
}

EndCheckRoutine endCheckRoutine() {
    return installed;
}
