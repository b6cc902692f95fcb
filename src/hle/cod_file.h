// Symbol files (.cod) beside a ROM image, naming guest library routines.
#pragma once

// Loads the symbol file of the ROM image at romPath (the path with its last
// three characters replaced by "cod"). Returns false when it is missing or
// unusable; the run then goes on without replacing guest routines.
bool loadCodFile(const char* romPath);
