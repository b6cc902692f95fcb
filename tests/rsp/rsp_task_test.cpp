// Task records of every type, and the two ways a task is started: the guest's
// store that releases the signal processor's halt, and the native task start.
#include <gtest/gtest.h>

#include "core/hw_registers.h"
#include "core/memory.h"
#include "core/memory_map.h"
#include "hle/hle_routines.h"
#include "hw/mem_actions.h"
#include "rsp/display_list_state.h"
#include "rsp/rsp_task.h"
#include "support/gl_task_support.h"
#include "video/gl_context.h"

namespace {

constexpr uint32_t LIST = 0x1000;

void storeSpStatus(uint32_t value) {
    *reinterpret_cast<uint32_t*>(memWrite(0xA0000000u | SP_STATUS_REG_ADDR)) = value;
}

using RspTaskTest = GlTaskTest;

} // namespace

TEST_F(RspTaskTest, TaskRecordsOfEveryType) {
    // Audio: stepped over to its end, then completed; the interrupt only with
    // interrupt-on-break.
    SP_STATUS_REG = 0x40;
    writeTaskRecord(TASK_TYPE_AUDIO, LIST, 16);
    runRspTask();
    EXPECT_EQ(DPC_START_REG, LIST);
    EXPECT_EQ(DPC_END_REG, LIST + 16);
    EXPECT_EQ(DPC_CURRENT_REG, LIST + 16);
    EXPECT_EQ(SP_STATUS_REG, 0x243u);
    EXPECT_EQ(MI_INTR_REG & MI_INTR_SP, MI_INTR_SP);
    EXPECT_FALSE(theGlContext.renderContext) << "no context for audio";

    // Sizes the countdown would never bring to 0 end at once.
    for (uint32_t size : {0u, 12u}) {
        SP_STATUS_REG = 0;
        MI_INTR_REG = 0;
        writeTaskRecord(TASK_TYPE_AUDIO, LIST, size);
        runRspTask();
        EXPECT_EQ(DPC_CURRENT_REG, LIST);
        EXPECT_EQ(SP_STATUS_REG, 0x203u);
        EXPECT_EQ(MI_INTR_REG, 0u);
    }

    // Video and invalid tasks change no status.
    SP_STATUS_REG = 0x41;
    writeTaskRecord(TASK_TYPE_VIDEO, LIST, 8);
    runRspTask();
    writeTaskRecord(7, LIST, 8);
    runRspTask();
    EXPECT_EQ(SP_STATUS_REG, 0x41u);
    ASSERT_EQ(sink->messages().size(), 1u);
    EXPECT_EQ(sink->messages()[0].text, "A Video task!!!");
    EXPECT_EQ(sink->statusPart(2).rfind("Invalid task in DP init.. 7 [", 0), 0u);

    // Graphics: a list that ends at once draws nothing and is completed.
    writeList(LIST)(END_DL);
    runGraphicsTask(LIST);
    EXPECT_EQ(SP_STATUS_REG, 0x243u);
    EXPECT_EQ(theGlContext.framesSwapped.load(), 0u);

    const std::string log = openLogText();
    for (const char* line :
         {"New AudioList from 0x00001000 to 0x00001010!",
          "The audio list at 0x00001000 has a size of 12 bytes", "Invalid task in DP init.. 7",
          "New DisplayList from 0x00001000 to 0x00001008!"})
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
}

TEST_F(RspTaskTest, ReleasingTheHaltStartsTheTaskAtTheEndOfTheBlock) {
    writeTaskRecord(TASK_TYPE_AUDIO, LIST, 8);
    mem_actions[0] = mem_actions[1] = 0;

    // Releasing a running processor's halt starts nothing.
    SP_STATUS_REG = 0;
    storeSpStatus(0x1);
    processMemActions();
    EXPECT_EQ(SP_STATUS_REG, 0u);

    // Released from halt: the task runs after the block's other effects.
    SP_STATUS_REG = 0x1;
    storeSpStatus(0x1 | 0x100);
    EXPECT_EQ(SP_STATUS_REG, 0x1u) << "nothing before the end of the block";
    processMemActions();
    EXPECT_EQ(SP_STATUS_REG, 0x243u);
    EXPECT_EQ(DPC_CURRENT_REG, LIST + 8);
    EXPECT_EQ(MI_INTR_REG & MI_INTR_SP, MI_INTR_SP);

    // The native task start marks the same effect.
    SP_STATUS_REG = 0x1;
    DPC_CURRENT_REG = 0;
    hleOsSpTaskStartGo();
    EXPECT_EQ(mem_actions[0], ACTION_SP_TASK);
    EXPECT_EQ(DPC_CURRENT_REG, 0u);
    processMemActions();
    EXPECT_EQ(DPC_CURRENT_REG, LIST + 8);
    EXPECT_EQ(mem_actions[0], 0u);
    EXPECT_TRUE(sink->messages().empty());
}
