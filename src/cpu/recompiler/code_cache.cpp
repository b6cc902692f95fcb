#include "cpu/recompiler/code_cache.h"

#include <sys/mman.h>

#include <cstring>
#include <new>

#include "base/log.h"
#include "core/cpu_state.h"
#include "core/machine.h"
#include "core/memory.h"
#include "core/memory_map.h"
#include "core/tlb.h"
#include "cpu/cpu_core.h"
#include "cpu/end_check.h"
#include "cpu/guest_exceptions.h"
#include "cpu/recompiler/code_pages.h"
#include "cpu/recompiler/compile_state.h"
#include "cpu/recompiler/native_routines.h"
#include "cpu/recompiler/translators.h"
#include "cpu/x64/emitter.h"

uint8_t* codeCache = nullptr;
uint32_t* blockMap = nullptr;
uint32_t usedBytes = 0;
uint8_t* exceptionVectorBuffer = nullptr;

namespace {

// The cache and the vector buffer live in the program image itself, so that
// they lie within a 32-bit displacement of the guest state and of the native
// routines that translated code reaches. They are made executable once.
alignas(4096) uint8_t cacheStorage[CODE_CACHE_SIZE];
alignas(4096) uint8_t vectorStorage[EXCEPTION_VECTOR_BUFFER_SIZE];
bool storageExecutable = false;
uint32_t flushCount = 0;

bool makeExecutable(uint8_t* start, size_t size) {
    return mprotect(start, size, PROT_READ | PROT_WRITE | PROT_EXEC) == 0;
}

const ReachedAddress reachedAddresses[] = {
    {"theCpu", &theCpu},
    {"mem_actions", &mem_actions},
    {"nextViCount", &nextViCount},
    {"idleLoopSkips", &idleLoopSkips},
    {"tlb", &tlb},
    {"memRead", reinterpret_cast<const void*>(&memRead)},
    {"memWrite", reinterpret_cast<const void*>(&memWrite)},
    {"memWriteTracked", reinterpret_cast<const void*>(&memWriteTracked)},
    {"enterGuestException", reinterpret_cast<const void*>(&enterGuestException)},
    {"enterAddressError", reinterpret_cast<const void*>(&enterAddressError)},
    {"trapWhen", reinterpret_cast<const void*>(&trapWhen)},
    {"doublewordChecked", reinterpret_cast<const void*>(&doublewordChecked)},
    {"loadWordLeft", reinterpret_cast<const void*>(&loadWordLeft)},
    {"loadWordRight", reinterpret_cast<const void*>(&loadWordRight)},
    {"storeWordLeft", reinterpret_cast<const void*>(&storeWordLeft)},
    {"storeWordRight", reinterpret_cast<const void*>(&storeWordRight)},
    {"multiplyDoublewordUnsigned", reinterpret_cast<const void*>(&multiplyDoublewordUnsigned)},
    {"divideDoublewordUnsigned", reinterpret_cast<const void*>(&divideDoublewordUnsigned)},
    {"stuckInCrcLoop", reinterpret_cast<const void*>(&stuckInCrcLoop)},
    {"skipIdleTime", reinterpret_cast<const void*>(&skipIdleTime)},
    {"tlbWriteIndexed", reinterpret_cast<const void*>(&tlbWriteIndexed)},
    {"divideWordSigned", reinterpret_cast<const void*>(&divideWordSigned)},
    {"divideWordUnsigned", reinterpret_cast<const void*>(&divideWordUnsigned)},
};

} // namespace

const char* findUnreachableAddress(const uint8_t* cache, size_t cacheSize, const uint8_t* buffer,
                                   size_t bufferSize) {
    for (const ReachedAddress& r : reachedAddresses) {
        if (!x86::isReachable(r.address, cache, cacheSize) ||
            !x86::isReachable(r.address, buffer, bufferSize))
            return r.name;
    }
    // The end check's routine, installed by the layer above.
    const void* endCheck = reinterpret_cast<const void*>(endCheckRoutine());
    if (!x86::isReachable(endCheck, cache, cacheSize) ||
        !x86::isReachable(endCheck, buffer, bufferSize))
        return "processMemActions";
    // The whole CpuState record, not just its first byte.
    const uint8_t* cpuEnd = reinterpret_cast<const uint8_t*>(&theCpu) + sizeof theCpu;
    if (!x86::isReachable(cpuEnd, cache, cacheSize) ||
        !x86::isReachable(cpuEnd, buffer, bufferSize))
        return "theCpu";
    return nullptr;
}

bool initCodeCache() {
    freeCodeCache();
    // Translated TRUNC.W uses fisttp, an SSE3 instruction.
    if (!__builtin_cpu_supports("sse3")) {
        showMessage(0x10, "This processor lacks SSE3: translated code cannot run on it.");
        haltEmulation();
        return false;
    }
    if (!storageExecutable) {
        if (!makeExecutable(cacheStorage, sizeof cacheStorage) ||
            !makeExecutable(vectorStorage, sizeof vectorStorage)) {
            showMessage(0x10, "The code cache could not be made executable.");
            haltEmulation();
            return false;
        }
        storageExecutable = true;
    }
    if (const char* name = findUnreachableAddress(cacheStorage, sizeof cacheStorage, vectorStorage,
                                                  sizeof vectorStorage)) {
        showMessage(0x10,
                    "The code cache is out of reach of %s: translated code cannot run on "
                    "this host layout.",
                    name);
        haltEmulation();
        return false;
    }
    blockMap = new (std::nothrow) uint32_t[BLOCK_MAP_ENTRIES];
    if (!blockMap) {
        showMessage(0x10, "Not enough memory for the block map.");
        haltEmulation();
        return false;
    }
    std::memset(blockMap, 0xFF, BLOCK_MAP_ENTRIES * sizeof(uint32_t));
    std::memset(cacheStorage, 0x90, sizeof cacheStorage);
    std::memset(vectorStorage, 0x90, sizeof vectorStorage);
    codeCache = cacheStorage;
    exceptionVectorBuffer = vectorStorage;
    usedBytes = 0;
    flushCount = 0;
    forgetCodePages();
    return true;
}

void freeCodeCache() {
    delete[] blockMap;
    blockMap = nullptr;
    codeCache = nullptr;
    exceptionVectorBuffer = nullptr;
    usedBytes = 0;
    flushCount = 0;
    compileState.emitPtr = nullptr;
    compileState.emitLimit = nullptr;
}

void discardTranslatedCode() {
    if (!blockMap) return;
    std::memset(blockMap, 0xFF, BLOCK_MAP_ENTRIES * sizeof(uint32_t));
    std::memset(cacheStorage, 0x90, usedBytes);
    usedBytes = 0;
    forgetCodePages();
    ++flushCount;
}

void flushCodeCache(const char* reason) {
    if (!blockMap) return;
    discardTranslatedCode();
    logLine("%s: every translated block discarded.", reason);
}

uint32_t codeCacheFlushCount() {
    return flushCount;
}
