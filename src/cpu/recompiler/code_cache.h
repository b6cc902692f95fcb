// The code cache of translated blocks, the block map that finds them by guest
// physical word, and the private buffer of the general exception vector's block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

constexpr uint32_t CODE_CACHE_SIZE = 0x400000;
// Entries 0..0x1FFFFF: RDRAM words; 0x200000..0x2003FF: SP DMEM words.
constexpr uint32_t BLOCK_MAP_ENTRIES = 0x200400;
constexpr uint32_t BLOCK_MAP_DMEM_BASE = 0x200000;
constexpr uint32_t BLOCK_NOT_COMPILED = 0xFFFFFFFF;
// The block at the general exception vector is compiled afresh each time into
// its own buffer, never into the cache.
constexpr uint32_t EXCEPTION_VECTOR_PC = 0x80000180;
// Large enough that the vector's block is compiled whole however long the
// guest's handler runs before its first branch (a longer one is continued in
// the next block, as at the end of the cache).
constexpr uint32_t EXCEPTION_VECTOR_BUFFER_SIZE = 0x40000;
// The most code a single guest instruction's template may emit, and the most
// the closing of a block may add; compileBlock keeps this much room in hand.
constexpr uint32_t MAX_INSTRUCTION_CODE = 128;
constexpr uint32_t MAX_BLOCK_CLOSE_CODE = 64;
// Below this much free room the cache is emptied before the next compile.
constexpr uint32_t CODE_CACHE_LOW_WATER = 0x10000;

// A translated block is a record: a 12-byte header followed directly by its
// x86-64 code, entered by a near call. Records lie back to back without
// alignment, so their headers are read by copy.
struct BlockHeader {
    uint32_t startPc;          // guest address of the first translated instruction
    uint32_t endPc;            // guest address of the last translated instruction
    uint32_t instructionCount; // (endPc + 4 - startPc) / 4
};
constexpr uint32_t BLOCK_HEADER_SIZE = 12;
static_assert(sizeof(BlockHeader) == BLOCK_HEADER_SIZE);
inline BlockHeader readBlockHeader(const uint8_t* record) {
    BlockHeader header;
    std::memcpy(&header, record, sizeof header);
    return header;
}

extern uint8_t* codeCache;             // null while no cache is set up
extern uint32_t* blockMap;             // null while no cache is set up
extern uint32_t usedBytes;             // offset of the cache's first free byte
extern uint8_t* exceptionVectorBuffer; // null while no cache is set up

// Frees any earlier cache (as freeCodeCache), then sets up an empty cache
// (filled with 0x90) and block map (filled with 0xFF). Returns false, with a
// message shown, when the host cannot provide executable memory within reach
// of the state translated code addresses; no block may run then.
bool initCodeCache();
// Releases the block map and forgets the cache.
void freeCodeCache();
// Discards every translated block: the block map is refilled with 0xFF and
// usedBytes goes back to 0. The log gives the reason.
void flushCodeCache(const char* reason = "Code cache full");
// The same without a log line: for code that no longer matches guest memory
// (a loaded saved state).
void discardTranslatedCode();
// How many times the cache has been emptied since initCodeCache.
uint32_t codeCacheFlushCount();

// Every host address that translated code reaches, for the reachability check.
struct ReachedAddress {
    const char* name;
    const void* address;
};
// Checks each address against every byte of the cache and the exception
// buffer; returns the name of the first unreachable one, or null.
const char* findUnreachableAddress(const uint8_t* cache, size_t cacheSize, const uint8_t* buffer,
                                   size_t bufferSize);
