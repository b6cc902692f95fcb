// Raw word reads and writes of the signal processor's memory and the
// cartridge, through the memory map like the guest's own loads and stores.
#include "hle/hle_guest.h"
#include "hle/hle_routines.h"

using namespace hle;

namespace {

constexpr uint32_t KSEG1_BASE = 0xA0000000;
// The word in low RDRAM where the guest library keeps the cartridge's base.
constexpr uint32_t OS_ROM_BASE_ADDRESS = 0x80000308;

} // namespace

// Reads the word at a0 (uncached) into the word at a1; t7 holds the uncached
// address and t8 the word, as the guest routine leaves them.
void hleOsSpRawReadIo() {
    const uint32_t address = lowWord(A0) | KSEG1_BASE;
    reg(T7).lo = address;
    reg(T7).hi = 0xFFFFFFFF;
    setZeroExtended(T8, loadWord(address));
    setZeroExtended(V0, 0);
    storeWord(lowWord(A1), lowWord(T8));
}

// Writes a1's low word at a0 (uncached); t8 holds the uncached address.
void hleOsSpRawWriteIo() {
    const uint32_t address = lowWord(A0) | KSEG1_BASE;
    reg(T8).lo = address;
    reg(T8).hi = 0xFFFFFFFF;
    setZeroExtended(V0, 0);
    storeWord(address, lowWord(A1));
}

// Reads the cartridge word at offset a0 from the library's cartridge base into
// the word at a1. v0 is left alone.
void hleOsPiRawReadIo() {
    const uint32_t osRomBase = loadWord(OS_ROM_BASE_ADDRESS);
    const uint32_t value = loadWord(osRomBase | lowWord(A0) | KSEG1_BASE);
    storeWord(lowWord(A1), value);
}
