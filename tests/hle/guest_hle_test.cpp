// A guest program assembled with the GNU assembler, booted from a ROM image
// with a .cod symbol file beside it, run with HLE of CPU functions on each CPU
// core. The guest's own versions of the replaced routines only count their
// calls and answer 0xD1, so which code ran is plain to see: the native
// routines' effects appear and the guest bodies stay uncalled, except through
// JALR, which is never replaced. (With HLE off, or switched on after a load
// without it, no table is used: the .cod file tests check that.) Skipped when
// the MIPS cross tools are not installed.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/cpu_state.h"
#include "core/machine.h"
#include "core/rom_file.h"
#include "cpu/recompiler/code_cache.h"
#include "hle/hle_table.h"
#include "support/guest_program.h"
#include "support/test_machine.h"
#include "system/rom_loading.h"

namespace {

constexpr uint32_t RESULTS = 0x200000; // physical address of the results

const std::string PROGRAM = guestProgramSource("hle_program.s");

constexpr uint32_t STATUS_WITH_IE = 0x34000001;
constexpr uint32_t SQRT_2 = 0x3FB504F3; // sqrtf(2.0f)
constexpr uint32_t TWO = 0x40000000;
constexpr uint32_t UNTOUCHED = 0x5A5A5A5A;

std::string codFileFor(const GuestProgram& p) {
    std::string text = "; Generated for the HLE test program\n";
    for (const char* name : {"start", "__osDisableInt", "__osRestoreInt", "sqrtf", "addOne",
                             "__ll_mul", "__ull_div"}) {
        char line[64];
        std::snprintf(line, sizeof line, "f %08X %s\n", p.symbol(name), name);
        text += line;
    }
    return text;
}

class GuestHleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSEMBLE_GUEST_PROGRAM_OR_SKIP(PROGRAM, program);
        romPath =
            writeGuestRom(program, makeTempDir("hle-guest"), "program", {}, codFileFor(program));
        ASSERT_FALSE(romPath.empty());
    }
    void TearDown() override {
        hleEnabled = false;
        selectedCpuCore = CpuCore::Recompiler;
        clearHleTable();
        freeCodeCache();
        theRom.freeImage();
    }

    // Loads the image with HLE on, resets the machine, gives the routines a
    // state to work on and runs until the BREAK halts.
    void run(CpuCore core) {
        sink->clear();
        hleEnabled = true;
        ASSERT_TRUE(loadRomFile(romPath.c_str()));
        ASSERT_TRUE(resetMachine());
        theCpu.cop0[COP0_STATUS] = STATUS_WITH_IE;
        theCpu.fpr[12] = TWO;
        for (unsigned i = 0; i < 4; ++i)
            theCpu.fpr[i] = UNTOUCHED;
        ASSERT_NO_FATAL_FAILURE(selectCpuCore(core));
        ASSERT_TRUE(runBlocksUntil(GUEST_LOAD_ADDRESS, 1000))
            << "the boot code did not reach the program";
        bootCount = theCpu.cop0[COP0_COUNT];
        runCpuThread();
        // The BREAK at the end reports itself; nothing else may.
        ASSERT_EQ(sink->messages().size(), 2u);
        EXPECT_NE(sink->messages()[0].text.find("missing in the recompiler"), std::string::npos);
    }
    uint32_t result(unsigned index) { return guestWord(RESULTS + 4 * index); }
    uint32_t bodyLength(const char* from, const char* to) {
        return (program.symbol(to) - program.symbol(from)) / 4;
    }
    // Instructions from start to the BREAK, both included: a straight run.
    uint32_t mainLength() { return (program.symbol("stop") - program.symbol("start")) / 4 + 1; }
    // Count advanced by the program itself, without the boot code.
    uint32_t programCount() { return theCpu.cop0[COP0_COUNT] - bootCount; }

    GuestProgram program;
    std::string romPath;
    uint32_t bootCount = 0;
    ScopedRecordingSink sink;
};

} // namespace

TEST_F(GuestHleTest, ReplacedRoutinesRunNativelyWithHleOn) {
    forEachCpuCore([&](CpuCore core) {
        ASSERT_NO_FATAL_FAILURE(run(core));
        ASSERT_TRUE(theHleTable.functions) << "the .cod file beside the image was not read";

        // __osDisableInt: the previous IE bit, then IE cleared; __osRestoreInt
        // puts back what the first call returned.
        EXPECT_EQ(result(0), 1u);
        EXPECT_EQ(result(2), 0u);
        EXPECT_EQ(theCpu.cop0[COP0_STATUS], STATUS_WITH_IE);
        EXPECT_EQ(result(1), 7u) << "the call's delay slot";
        // sqrtf of f12 into f0, f1-f3 cleared.
        EXPECT_EQ(theCpu.fpr[0], SQRT_2);
        EXPECT_EQ(theCpu.fpr[1], 0u);
        // Guest bodies: only the JALR to sqrtf and the unreplaced addOne ran.
        EXPECT_EQ(result(4), 0u);
        EXPECT_EQ(result(5), 0u);
        EXPECT_EQ(result(6), 1u);
        EXPECT_EQ(result(7), 1u);
        EXPECT_EQ(result(13), 0u);
        EXPECT_EQ(result(14), 0u);
        // __ll_mul: the product in v0:v1, read by the next instructions.
        EXPECT_EQ(result(8), 5u);
        EXPECT_EQ(result(9), 0xFu);
        // __ull_div by zero: a quotient of all ones, the dividend in HI.
        EXPECT_EQ(result(10), 0xFFFFFFFFu);
        EXPECT_EQ(result(11), 0xFFFFFFFFu);
        EXPECT_EQ(result(12), 7u);
        // Each JAL and its delay slot count; the replaced bodies do not.
        EXPECT_EQ(programCount(),
                  mainLength() + bodyLength("sqrtf", "addOne") + bodyLength("addOne", "__ll_mul"));
    });
}
