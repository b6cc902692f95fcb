// A bare machine on which single blocks of hand-encoded guest code run through
// the reference interpreter.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/cpu_state.h"
#include "core/machine.h"
#include "core/memory.h"
#include "cpu/interpreter/interpreter.h"
#include "hle/hle_table.h"
#include "romkit/mips_encode.h"
#include "support/test_machine.h"

class InterpreterTest : public ::testing::Test {
  protected:
    // Where the test code goes: cached RDRAM.
    static constexpr uint32_t CODE = 0x80001000;
    // A data area for loads and stores.
    static constexpr uint32_t DATA = 0x80002000;

    void SetUp() override {
        resetBareMachine();
        hleEnabled = false;
        mem_actions[0] = 0;
    }

    // Where blocks that have no jump of their own end up.
    static constexpr uint32_t EXIT = 0x80700000;

    // Places `words` at `pc` (cached RDRAM), followed by a jump to EXIT, and
    // runs one block from there.
    uint32_t run(const std::vector<uint32_t>& words, uint32_t pc = CODE) {
        const uint32_t physical = pc & 0x7FFFFF;
        std::vector<uint32_t> code = words;
        code.push_back(mips::j(EXIT));
        code.push_back(mips::nop());
        for (size_t i = 0; i < code.size(); ++i)
            setGuestWord(physical + uint32_t(i) * 4, code[i]);
        return interpretBlock(pc, theMemory.rdram + physical, (RDRAM_SIZE - physical) / 4);
    }

    static void setReg(uint32_t n, uint64_t value) { theCpu.gpr[n].set(value); }
    static uint64_t reg(uint32_t n) { return theCpu.gpr[n].value(); }
    static uint32_t data(uint32_t vaddr) { return guestWord(vaddr & 0x7FFFFF); }
    static void setData(uint32_t vaddr, uint32_t value) { setGuestWord(vaddr & 0x7FFFFF, value); }

    ScopedRecordingSink sink;
};
