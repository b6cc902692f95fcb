// The guest TLB: 32 entries, each with the four words the TLB instructions
// read and write and a precomputed translation (virtual range and physical
// start) that address translation and the block lookup test against.
#pragma once

#include <cstddef>
#include <cstdint>

struct TlbEntry {
    uint32_t ll;        // EntryLo0 with the global bit cleared
    uint32_t lh;        // EntryLo1 with the global bit cleared
    uint32_t hl;        // EntryHi AND NOT PageMask, global flag at bit 12
    uint32_t hh;        // PageMask
    uint32_t VSTART;    // first virtual address of the page pair
    uint32_t VEND;      // virtual address just past the page pair
    uint32_t PHYSSTART; // physical address of the even page's frame
    uint32_t VALID;     // 1 when EntryLo0's valid bit is set
};

static_assert(sizeof(TlbEntry) == 32);
static_assert(offsetof(TlbEntry, VSTART) == 16);

constexpr unsigned TLB_ENTRIES = 32;
extern TlbEntry tlb[TLB_ENTRIES];

class StateWriter;
class StateReader;
// The TLB's part of a saved state: every entry with its derived translation.
void writeTlbState(StateWriter& out);
bool readTlbState(StateReader& in);

// The one TLB translation: the physical address of `vaddr` through the valid
// entries, a later match overriding an earlier one; false when none covers it.
// The memory map, the block lookup and the native TLB routines all use it.
bool tlbTranslate(uint32_t vaddr, uint32_t& physical);

// Indexed write from COP0 Index, PageMask, EntryHi, EntryLo0 and EntryLo1;
// does nothing when Index is 32 or more.
void writeTlbEntry();
// The complete machine's TLBP: Index becomes the first entry that maps
// EntryHi's page pair (its ASID, or any ASID for a global entry), or has its
// probe-failure bit 31 set when none does.
void probeTlb();
// The complete machine's TLBWR: the indexed write at entry Random, after which
// Random counts down towards Wired and wraps to 31. Index keeps its value.
void writeTlbEntryRandom();
// Derives the translation of entry Index from its ll, hl, hh and logs it.
// The caller guarantees Index < 32.
void tlbWriteIndexed();
// Three log lines describing one entry.
void dumpTlbEntry(const char* label, unsigned index);
// The whole table's valid entries in the log.
void dumpTlb();
