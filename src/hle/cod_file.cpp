#include "hle/cod_file.h"

// Symbol files are not read yet: no guest routine is replaced.
bool loadCodFile(const char* /*romPath*/) { return false; }
