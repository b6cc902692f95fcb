// Which pages of RDRAM and SP DMEM hold guest words of translated blocks, so
// that the complete machine discards a block when its words are overwritten
// (by a CPU store or a DMA) and translates it anew the next time it runs. A
// store or DMA to a page without translated code costs one test. Blocks are
// only ever marked on the complete machine; the design machine keeps every
// translated block, as before.
//
// A discarded block that is running finishes as translated (its code stays in
// the cache until the cache is emptied between blocks); the new words run the
// next time its address is reached.
#pragma once

#include <cstdint>

// Pages by block-map index: RDRAM pages 0..2047, then SP DMEM.
constexpr uint32_t CODE_PAGE_SHIFT = 10; // 1024 words, 4 KiB
constexpr uint32_t CODE_PAGE_COUNT = 2049;

// Nonzero: some translated block holds words of the page.
extern uint8_t codePages[CODE_PAGE_COUNT];

// By virtual page (address >> 12): nonzero where a store needs neither the
// address lookup nor a discard, the KSEG0 and KSEG1 views of an RDRAM page
// without translated code. Zero elsewhere, and wherever a page holds code.
// Kept in step with codePages; its first use makes the common store one
// table test.
constexpr uint32_t VIRTUAL_PAGE_COUNT = 1u << 20;
extern uint8_t plainStorePages[VIRTUAL_PAGE_COUNT];

// A block translated at block-map index `first` with `count` words.
void markCodePages(uint32_t first, uint32_t count);
// Every block is gone (the cache was emptied or set up anew).
void forgetCodePages();
// Discards the blocks that hold words of the page.
void discardCodePage(uint32_t page);

// Stores and DMA into RDRAM (byte offset) or SP memory (byte offset from
// the start of DMEM; IMEM holds no guest CPU code): the blocks whose words
// they overwrite are discarded.
void noteRdramWrite(uint32_t offset, uint64_t length);
void noteSpMemoryWrite(uint32_t offset, uint64_t length);

extern "C" {
// memWrite for the complete machine's stores: the host pointer for a store at
// vaddr, after discarding the blocks that hold the word it reaches.
uint8_t* memWriteTracked(uint32_t vaddr);
}
