// Connects the device blocks to the layers below: their register handlers go
// into the memory map's register table and processMemActions becomes the end
// check's routine. Idempotent; call it before the first block runs.
#pragma once

void connectDevices();
