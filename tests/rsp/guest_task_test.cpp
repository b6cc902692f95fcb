// A guest program assembled with the GNU assembler that hands the signal
// processor graphics tasks as games do: it copies the task record into DMEM
// by SP DMA, releases the halt, and takes the SP interrupt in its exception
// handler, then draws a second frame. Run on both CPU cores.
#include <gtest/gtest.h>

#include "core/cpu_state.h"
#include "core/hw_registers.h"
#include "rsp/display_list_state.h"
#include "support/gl_task_support.h"
#include "support/guest_program.h"
#include "system/run_control.h"
#include "video/gl_context.h"

namespace {

constexpr uint32_t RESULTS = 0x100000; // $s0's area
constexpr uint32_t LIST = 0x200000;

const std::string PROGRAM = guestProgramSource("graphics_task.s");

using GuestTaskTest = GlTaskTest;

} // namespace

TEST_F(GuestTaskTest, TaskStartedBySpDmaAndHaltReleaseEndsInTheSpInterrupt) {
    GuestProgram program;
    ASSEMBLE_GUEST_PROGRAM_OR_SKIP(PROGRAM, program);
    forEachCpuCore([&](CpuCore core) {
        resetDisplayLists();
        resetRunControl();
        bootGuestProgramBare(program, core);
        writeList(LIST)(setColourImage(319))(SET_FILL_COLOUR, 0xF801)(fillRectangle(320, 240),
                                                                      0)(FULL_SYNC)(END_DL);
        runCpuThread(releaseGlContextFromThread);
        ASSERT_TRUE(theGlContext.renderContext) << surface.failure();
        EXPECT_EQ(guestWord(RESULTS + 0x44), 2u) << "two SP interrupts served";
        EXPECT_EQ(theDisplayList.gfxFrames.load(), 2u);
        EXPECT_EQ(pixel(160, 120), (Rgb{0, 254, 0}));
        EXPECT_EQ(SP_STATUS_REG & 0x203, 0x203u);
        EXPECT_EQ(MI_INTR_REG & MI_INTR_SP, 0u) << "acknowledged by the handler";
        EXPECT_NE(openLogText().find("New DisplayList from 0x00200000 to 0x00200028!"),
                  std::string::npos);
    });
}
