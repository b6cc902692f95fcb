// Linked into every program built on the emulator core (as an object, so the
// linker never drops it): the device blocks are connected before main runs, so
// guest register stores take effect in tools and tests that never start an
// emulation session.
#include "hw/devices.h"

namespace {
[[maybe_unused]] const bool devicesConnected = (connectDevices(), true);
} // namespace
