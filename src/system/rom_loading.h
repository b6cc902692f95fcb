// Opening a ROM image for a run: the image itself, the folder remembered for
// the next opening, and the symbol file of HLE of CPU functions.
#pragma once

// Reads the image at `path` into theRom (see loadRomImage); shows a message and
// returns false on failure. Then stores its folder as "Previous Directory".
// With HLE of CPU functions on (`hle`, by default the option hleEnabled), the
// symbol file beside the image is read; with it off, any symbol table of an
// earlier image is dropped.
bool loadRomFile(const char* path, bool hle);
bool loadRomFile(const char* path);
