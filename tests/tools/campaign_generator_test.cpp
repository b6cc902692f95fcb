#include <gtest/gtest.h>

#include <vector>

#include "dma_length.h"
#include "program_generator.h"

namespace {

using namespace campaign;

// A big-endian store of `v` into two words of memory.
void store(uint8_t (&mem)[8], uint32_t opcode, uint32_t lane, uint64_t v) {
    auto byteOf = [&](int i) { return uint8_t(v >> (8 * i)); }; // byte 0: the lowest
    switch (opcode) {
    case 0x28:
        mem[lane] = byteOf(0);
        break;
    case 0x29:
        mem[lane] = byteOf(1), mem[lane + 1] = byteOf(0);
        break;
    case 0x2A: // SWL
        for (uint32_t i = 0; lane + i < 4; ++i)
            mem[lane + i] = byteOf(3 - int(i));
        break;
    case 0x2E: // SWR
        for (uint32_t i = 0; i <= lane; ++i)
            mem[lane - i] = byteOf(int(i));
        break;
    case 0x3F:
        for (int i = 0; i < 8; ++i)
            mem[i] = byteOf(7 - i);
        break;
    default:
        for (int i = 0; i < 4; ++i)
            mem[i] = byteOf(3 - i);
    }
}

uint32_t word(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

TEST(CampaignDmaLength, StoresOfEveryWidthLeaveLengthsOfAtMost64KiB) {
    bool sp = false;
    EXPECT_TRUE(writesDmaLength(0xA460000C, 4, sp) && !sp);
    EXPECT_TRUE(writesDmaLength(0xA4040008, 1, sp) && sp);
    EXPECT_TRUE(writesDmaLength(0xA4600008, 8, sp) && !sp);
    EXPECT_FALSE(writesDmaLength(0xA4600010, 8, sp) || writesDmaLength(0xA4600000, 8, sp));
    uint32_t oddLengths = 0, zeros = 0;
    for (uint64_t draw = 0; draw < 4000; ++draw) {
        const uint64_t d = draw * 0x9E3779B97F4A7C15ull;
        const uint32_t first = plausibleDmaLength(d, draw & 1);
        const uint32_t second = plausibleDmaLength(d >> 3, false);
        ASSERT_LE(first, draw & 1 ? 0xFFFu : 0xFFFFu);
        oddLengths += (first & 1) == 0; // the register holds the length - 1
        zeros += first == 0;
        for (uint32_t opcode : {0x28u, 0x29u, 0x2Au, 0x2Bu, 0x2Eu, 0x3Fu}) {
            const uint32_t lane =
                opcode == 0x3F || opcode == 0x2B ? 0 : (draw % 4) & (opcode == 0x29 ? 2 : 3);
            uint8_t mem[8] = {0, 0, 0x12, 0x34, 0, 0, 0xFF, 0xFF}; // lengths held before
            store(mem, opcode, lane, storeValueFor(opcode, 0xA4600008 + lane, first, second));
            ASSERT_LE(word(mem), 0xFFFFu) << opcode << " lane " << lane;
            ASSERT_LE(word(mem + 4), 0xFFFFu) << opcode;
            if (opcode == 0x2B || opcode == 0x3F) {
                EXPECT_EQ(word(mem), first);
            }
            if (opcode == 0x3F) {
                EXPECT_EQ(word(mem + 4), second);
            }
        }
    }
    EXPECT_GT(oddLengths, 400u);
    EXPECT_GT(zeros, 100u);
}

// The handler the complete machine's programs store at 0x80000180, read back
// from the prologue's lui/ori/sw triples.
std::vector<uint32_t> handlerOf(const GeneratedProgram& p) {
    std::vector<uint32_t> handler(64, 0);
    for (uint32_t i = 2; i < p.bodyStart; ++i) {
        const uint32_t w = p.words[i];
        if ((w & 0xFFFF0000) == 0xAF7A0000 && (w & 0xFFFF) >= 0x180 && (w & 0xFFFF) < 0x280)
            handler[((w & 0xFFFF) - 0x180) / 4] = p.words[i - 2] << 16 | (p.words[i - 1] & 0xFFFF);
    }
    return handler;
}

TEST(CampaignGenerator, HandlerReturnsFromInterruptsAndPastExceptions) {
    GeneratorOptions options;
    options.completeMachine = true;
    const std::vector<uint32_t> h = handlerOf(generateProgram(1, options));
    auto target = [&](uint32_t at) { return at + 1 + int16_t(h[at] & 0xFFFF); };
    uint32_t beq = 0, bgez = 0;
    while (beq < 60 && h[beq] >> 26 != 0x04)
        ++beq;
    while (bgez < 60 && h[bgez] >> 26 != 0x01)
        ++bgez;
    ASSERT_TRUE(beq < 60 && bgez < 60);
    EXPECT_EQ(h[target(beq)], 0x42000018u);  // an interrupt: ERET
    EXPECT_EQ(h[target(bgez)], 0x409B7000u); // no BD: mtc0 k1, EPC after one addiu
}

} // namespace
