#include "hle/hle_table.h"

#include <cstring>

#include "hle/hle_routines.h"

std::atomic<bool> hleEnabled{false};
HleTable theHleTable;

namespace {

struct NamedHandler {
    const char* name;
    HleHandler handler;
};

// The guest library functions with a native replacement.
constexpr NamedHandler kNamedHandlers[] = {
    {"__osSetSR", hleOsSetSr},
    {"__osSetFpcCsr", hleOsSetFpcCsr},
    {"__osSpRawReadIo", hleOsSpRawReadIo},
    {"__osSpRawWriteIo", hleOsSpRawWriteIo},
    {"__osDisableInt", hleOsDisableInt},
    {"__osRestoreInt", hleOsRestoreInt},
    {"__osEepStatus", hleOsEepStatus},
    {"osVirtualToPhysical", hleOsVirtualToPhysical},
    {"osMapTLB", hleOsMapTlb},
    {"osUnmapTLBAll", hleOsUnmapTlbAll},
    {"osMapTLBRdb", hleOsMapTlbRdb},
    {"osSpTaskStartGo", hleOsSpTaskStartGo},
    {"osWritebackDCache", hleOsWritebackDCache},
    {"osInvalICache", hleOsInvalICache},
    {"osPiRawReadIo", hleOsPiRawReadIo},
    {"sqrtf", hleSqrtf},
    {"__sinf", hleSinf},
    {"__cosf", hleCosf},
    {"__ull_div", hleUllDiv},
    {"__ull_rem", hleUllRem},
    {"__ll_div", hleLlDiv},
    {"__ll_mul", hleLlMul},
};

} // namespace

void clearHleTable() {
    theHleTable.indexMap.reset();
    theHleTable.functions.reset();
    theHleTable.functionCount = 0;
    theHleTable.unloggedLines.clear();
}

HleHandler hleHandlerForName(const char* name) {
    for (const NamedHandler& entry : kNamedHandlers) {
        if (std::strcmp(entry.name, name) == 0) return entry.handler;
    }
    return nullptr;
}

HleLookup hleLookup = findHleFunction;

const HleFunction* findHleFunction(uint32_t callPc, uint32_t target) {
    if (!hleEnabled || !theHleTable.functions || !theHleTable.indexMap) return nullptr;
    // Only calls from cached, unmapped code (KSEG0 within the first 16 MB).
    if ((callPc >> 24) != 0x80) return nullptr;
    const uint16_t index = theHleTable.indexMap[hleSlot(target)];
    if (index == HLE_NO_FUNCTION || index >= theHleTable.functionCount) return nullptr;
    const HleFunction& record = theHleTable.functions[index];
    return record.handler ? &record : nullptr;
}
