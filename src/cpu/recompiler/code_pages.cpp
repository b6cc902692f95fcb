#include "cpu/recompiler/code_pages.h"

#include <algorithm>
#include <cstring>

#include "core/memory.h"
#include "core/memory_map.h"
#include "cpu/recompiler/code_cache.h"

uint8_t codePages[CODE_PAGE_COUNT];
uint8_t plainStorePages[VIRTUAL_PAGE_COUNT];

namespace {

constexpr uint32_t RDRAM_PAGES = RDRAM_SIZE >> 12;
constexpr uint32_t KSEG0_PAGE = 0x80000000u >> 12;
constexpr uint32_t KSEG1_PAGE = 0xA0000000u >> 12;

// Both views of an RDRAM page take `plain`.
void setPlainStores(uint32_t page, uint8_t plain) {
    if (page >= RDRAM_PAGES) return;
    plainStorePages[KSEG0_PAGE + page] = plain;
    plainStorePages[KSEG1_PAGE + page] = plain;
}

constexpr uint32_t PAGE_WORDS = 1u << CODE_PAGE_SHIFT;
constexpr uint32_t NO_BLOCK = 0xFFFFFFFF;
constexpr uint32_t DMEM_PAGE = BLOCK_MAP_DMEM_BASE >> CODE_PAGE_SHIFT;
static_assert(DMEM_PAGE + 1 == CODE_PAGE_COUNT);
static_assert(SP_DMEM_SIZE / 4 == PAGE_WORDS);

// Per page: the lowest block-map index of a block that holds words of the
// page. A block may begin on an earlier page and run into this one; it is
// discarded with the page all the same.
uint32_t lowestBlockStart[CODE_PAGE_COUNT];

// Pages [firstPage, lastPage] overwritten.
void discardPages(uint32_t firstPage, uint32_t lastPage) {
    for (uint32_t page = firstPage; page <= lastPage; ++page)
        if (codePages[page]) discardCodePage(page);
}

} // namespace

void markCodePages(uint32_t first, uint32_t count) {
    if (count == 0) return;
    const uint32_t lastPage = (first + count - 1) >> CODE_PAGE_SHIFT;
    for (uint32_t page = first >> CODE_PAGE_SHIFT; page <= lastPage && page < CODE_PAGE_COUNT;
         ++page) {
        if (!codePages[page]) lowestBlockStart[page] = NO_BLOCK;
        codePages[page] = 1;
        setPlainStores(page, 0);
        lowestBlockStart[page] = std::min(lowestBlockStart[page], first);
    }
}

void forgetCodePages() {
    std::memset(codePages, 0, sizeof codePages);
    std::memset(plainStorePages + KSEG0_PAGE, 1, RDRAM_PAGES);
    std::memset(plainStorePages + KSEG1_PAGE, 1, RDRAM_PAGES);
}

void discardCodePage(uint32_t page) {
    if (page >= CODE_PAGE_COUNT || !codePages[page]) return;
    codePages[page] = 0;
    setPlainStores(page, 1);
    if (!blockMap) return;
    const uint32_t end = (page + 1) * PAGE_WORDS;
    const uint32_t from = std::min(lowestBlockStart[page], page * PAGE_WORDS);
    std::fill(blockMap + from, blockMap + end, BLOCK_NOT_COMPILED);
}

void noteRdramWrite(uint32_t offset, uint64_t length) {
    if (length == 0 || offset >= RDRAM_SIZE) return;
    const uint64_t last = std::min<uint64_t>(offset + length, RDRAM_SIZE) - 1;
    discardPages(offset >> 12, uint32_t(last >> 12));
}

void noteSpMemoryWrite(uint32_t offset, uint64_t length) {
    if (length == 0 || offset >= SP_DMEM_SIZE) return;
    if (codePages[DMEM_PAGE]) discardCodePage(DMEM_PAGE);
}

namespace {

// Every store but the common one: a page with translated code, an address
// outside KSEG0/KSEG1 RDRAM, or any store before the first code cache.
[[gnu::noinline]] uint8_t* memWriteTrackedSlow(uint32_t vaddr) {
    if (vaddr - 0x80000000u < 0x40000000u) {
        const uint32_t physical = vaddr & 0x1FFFFFFF;
        if (physical < RDRAM_SIZE) {
            if (codePages[physical >> 12]) discardCodePage(physical >> 12);
            return theMemory.rdram + physical;
        }
    }
    uint8_t* p = memWrite(vaddr);
    const uintptr_t inRdram = uintptr_t(p) - uintptr_t(theMemory.rdram);
    if (inRdram < RDRAM_SIZE) {
        const uint32_t page = uint32_t(inRdram >> 12);
        if (codePages[page]) discardCodePage(page);
    } else if (uintptr_t(p) - uintptr_t(theMemory.hwRegs) < SP_DMEM_SIZE && codePages[DMEM_PAGE]) {
        discardCodePage(DMEM_PAGE);
    }
    return p;
}

} // namespace

extern "C" uint8_t* memWriteTracked(uint32_t vaddr) {
    // The common case, KSEG0/KSEG1 into RDRAM on a page without translated
    // code, by one table test: fewer instructions than memWrite's own.
    if (plainStorePages[vaddr >> 12]) return theMemory.rdram + (vaddr & 0x1FFFFFFF);
    return memWriteTrackedSlow(vaddr);
}
