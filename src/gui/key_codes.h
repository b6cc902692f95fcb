// Keys of the output window as controller plug-ins see them: USB HID keyboard
// usage ids (usage page 0x07), the index into the window's key state.
#pragma once

#include <cstdint>

// The usage id of a Qt key code (Qt::Key); 0 for keys without one.
uint8_t hidUsageOfQtKey(int qtKey);
