#include "core/register_area.h"

#include "core/memory.h"

namespace {

constexpr uint32_t AREA_BASE = 0x04000000;
constexpr uint32_t AREA_PAGES = 0x90;       // 64 KiB pages up to 0x04900000
constexpr uint32_t REGISTERS_PER_PAGE = 16; // the first 64 bytes of a page

RegisterHandler handlers[AREA_PAGES][REGISTERS_PER_PAGE];

// The handler slot of a physical address, or null when it holds no register.
RegisterHandler* slot(uint32_t physical) {
    const uint32_t offset = physical - AREA_BASE;
    const uint32_t page = offset >> 16;
    if (page >= AREA_PAGES || (offset & 0xFFC0) != 0) return nullptr;
    return &handlers[page][(offset >> 2) & (REGISTERS_PER_PAGE - 1)];
}

} // namespace

void installRegisterHandler(uint32_t physical, RegisterHandler handler) {
    if (RegisterHandler* h = slot(physical)) *h = handler;
}

void clearRegisterHandlers() {
    for (auto& page : handlers)
        for (RegisterHandler& h : page)
            h = RegisterHandler{};
}

uint8_t* registerWord(uint32_t physical) {
    return theMemory.hwRegs + (physical & 0x00FFFFFF);
}

uint8_t* registerStoreTarget(uint32_t physical) {
    const RegisterHandler* h = slot(physical);
    if (h && h->storeTarget) return h->storeTarget(physical);
    return registerWord(physical);
}

uint8_t* registerLoadTarget(uint32_t physical) {
    const RegisterHandler* h = slot(physical);
    if (h && h->loadEffect) h->loadEffect(physical);
    return registerWord(physical);
}
