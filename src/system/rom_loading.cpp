#include "system/rom_loading.h"

#include <cstring>

#include "base/log.h"
#include "base/registry.h"
#include "core/rom_file.h"
#include "hle/cod_file.h"
#include "hle/hle_table.h"

bool loadRomFile(const char* path, bool hle) {
    if (!loadRomImage(path)) return false;

    writeRegValue(HKEY_CURRENT_USER, ORVEX_REGISTRY_KEY, "Previous Directory", REG_SZ,
                  theRom.directory, std::strlen(theRom.directory));

    if (!hle) {
        // The table of an image opened earlier must never serve this one, not
        // even when HLE is switched on while it runs.
        clearHleTable();
    } else if (!loadCodFile(theRom.path)) {
        showMessage(0, "There will be no HLE of the CPU!\nPlease create a .cod file with Orvex "
                       "Zyl\nand put it in the same directory as the ROM file.");
    }
    return true;
}

bool loadRomFile(const char* path) {
    return loadRomFile(path, hleEnabled);
}
