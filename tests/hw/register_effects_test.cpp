#include "hw/mem_action_bits.h"
#include "hw/register_effects.h"
#include "hw_test_support.h"
#include "video/frame_buffer_display.h"

namespace {

using RegisterEffects = DeviceTest;

TEST_F(RegisterEffects, StoresTakeEffectOnlyAtTheEndOfTheBlockWithTheLastValue) {
    SP_STATUS_REG = 0x1; // halted
    store(SP_STATUS_REG_ADDR, 0x2);
    store(SP_STATUS_REG_ADDR, 0x1);
    // A load in the same block still sees the old status.
    EXPECT_EQ(*reinterpret_cast<uint32_t*>(memRead(0xA0000000 | SP_STATUS_REG_ADDR)), 0x1u);
    EXPECT_EQ(mem_actions[0], ACTION_SP_STATUS);
    processMemActions();
    EXPECT_EQ(SP_STATUS_REG, 0x0u);
    EXPECT_EQ(mem_actions[0], 0u);
}

TEST_F(RegisterEffects, SpStatusClearWinsAndDrivesTheSpInterrupt) {
    SP_STATUS_REG = 0x1;
    storeAndProcess(SP_STATUS_REG_ADDR, 0x3);
    EXPECT_EQ(SP_STATUS_REG, 0x0u) << "halt clear wins over set";

    storeAndProcess(SP_STATUS_REG_ADDR, 0x2 | 0x40 | 0x400 | 0x1000000);
    EXPECT_EQ(SP_STATUS_REG, 0x0001u | 0x0020u | 0x0080u | 0x4000u);
    storeAndProcess(SP_STATUS_REG_ADDR, 0x4 | 0x20 | 0x800000);
    EXPECT_EQ(SP_STATUS_REG, 0x0001u | 0x0080u);

    storeAndProcess(SP_STATUS_REG_ADDR, 0x10);
    EXPECT_EQ(MI_INTR_REG & MI_INTR_SP, MI_INTR_SP);
    storeAndProcess(SP_STATUS_REG_ADDR, 0x18);
    EXPECT_EQ(MI_INTR_REG & MI_INTR_SP, 0u);
}

TEST_F(RegisterEffects, MiModeOrsTheInitLengthAndLetsTheSetWin) {
    MI_MODE_REG = 0x05;
    storeAndProcess(MI_MODE_REG_ADDR, 0x180 | 0x02);
    EXPECT_EQ(MI_MODE_REG, 0x87u);
    storeAndProcess(MI_MODE_REG_ADDR, 0x400 | 0x2000);
    EXPECT_EQ(MI_MODE_REG, 0x387u);
    storeAndProcess(MI_MODE_REG_ADDR, 0x200 | 0x1000 | 0x80);
    EXPECT_EQ(MI_MODE_REG, 0x07u);

    MI_INTR_REG = MI_INTR_DP | MI_INTR_VI;
    storeAndProcess(MI_MODE_REG_ADDR, 0x800);
    EXPECT_EQ(MI_INTR_REG, uint32_t(MI_INTR_VI));

    storeAndProcess(MI_MODE_REG_ADDR, 0);
    EXPECT_EQ(MI_MODE_REG, 0x07u);
}

TEST_F(RegisterEffects, MiInterruptMaskClearWinsAndNeverDeliversPending) {
    MI_INTR_REG = MI_INTR_AI;
    storeAndProcess(MI_INTR_MASK_REG_ADDR, 0x0AAA);
    EXPECT_EQ(MI_INTR_MASK_REG, 0x3Fu);
    EXPECT_EQ(MI_INTR_REG, uint32_t(MI_INTR_AI));
    storeAndProcess(MI_INTR_MASK_REG_ADDR, 0);
    EXPECT_EQ(MI_INTR_MASK_REG, 0x3Fu);
    storeAndProcess(MI_INTR_MASK_REG_ADDR, 0x0FFF);
    EXPECT_EQ(MI_INTR_MASK_REG, 0x0u);
    storeAndProcess(MI_INTR_MASK_REG_ADDR, 0x0AAA);
    storeAndProcess(MI_INTR_MASK_REG_ADDR, 0x0555);
    EXPECT_EQ(MI_INTR_MASK_REG, 0x0u);
    storeAndProcess(MI_INTR_MASK_REG_ADDR, 0x0208); // SI and PI
    EXPECT_EQ(MI_INTR_MASK_REG, uint32_t(MI_INTR_SI | MI_INTR_PI));
}

TEST_F(RegisterEffects, NoLatchedStoreReachesTheNextRun) {
    // A run ends right after a doubleword store to MI_MODE (no end check).
    store(MI_MODE_REG_ADDR, 0x177);
    // The next run starts as the session starts it; its first MI write.
    ASSERT_TRUE(resetMachine());
    clearWriteLatches();
    storeAndProcess(MI_INTR_MASK_REG_ADDR, 0x0AAA);
    EXPECT_EQ(MI_MODE_REG, 0u);
    EXPECT_EQ(MI_INTR_MASK_REG, 0x3Fu);
}

TEST_F(RegisterEffects, AcknowledgementsClearTheirInterruptAtOnce) {
    MI_INTR_REG = 0x3F;
    AI_STATUS_REG = 0x80000000;
    SI_STATUS_REG = 0x1000;
    store(AI_STATUS_REG_ADDR, 0x12345678);
    EXPECT_EQ(MI_INTR_REG, 0x3Fu & ~MI_INTR_AI);
    EXPECT_EQ(AI_STATUS_REG, 0x80000000u) << "the stored value is dropped";
    store(SI_STATUS_REG_ADDR, 0);
    EXPECT_EQ(MI_INTR_REG, 0x3Fu & ~(MI_INTR_AI | MI_INTR_SI));
    EXPECT_EQ(SI_STATUS_REG, 0x1000u);
    store(VI_CURRENT_REG_ADDR, 0x200);
    EXPECT_EQ(MI_INTR_REG, uint32_t(MI_INTR_SP | MI_INTR_PI | MI_INTR_DP));
    EXPECT_EQ(VI_CURRENT_REG, 0x200u);
    EXPECT_EQ(mem_actions[0], 0u) << "acknowledgements mark nothing";

    storeAndProcess(PI_STATUS_REG_ADDR, 0x1);
    EXPECT_EQ(MI_INTR_REG & MI_INTR_PI, uint32_t(MI_INTR_PI)) << "a PI reset clears nothing";
    storeAndProcess(PI_STATUS_REG_ADDR, 0x2);
    EXPECT_EQ(MI_INTR_REG & MI_INTR_PI, 0u);
}

TEST_F(RegisterEffects, DpStatusPairsAndTheAlwaysReadyBit) {
    DPC_STATUS_REG = 0;
    storeAndProcess(DPC_STATUS_REG_ADDR, 0x2 | 0x8 | 0x20);
    EXPECT_EQ(DPC_STATUS_REG, 0x87u);
    storeAndProcess(DPC_STATUS_REG_ADDR, 0x1 | 0x2 | 0x10 | 0x3C0);
    EXPECT_EQ(DPC_STATUS_REG, 0x82u);
}

TEST_F(RegisterEffects, DoublewordStoresToLatchedRegistersStayInsideOwnedMemory) {
    // The low half of a doubleword lands 4 bytes past the target.
    for (uint32_t address : {SP_STATUS_REG_ADDR, DPC_STATUS_REG_ADDR, MI_MODE_REG_ADDR,
                             MI_INTR_MASK_REG_ADDR, PI_STATUS_REG_ADDR, AI_STATUS_REG_ADDR}) {
        uint8_t* target = memWrite(0xA0000000 | address);
        reinterpret_cast<uint32_t*>(target)[0] = 0;
        reinterpret_cast<uint32_t*>(target)[1] = 0xFFFFFFFF;
    }
    processMemActions();
    EXPECT_EQ(MI_INTR_MASK_REG, 0u);
}

TEST_F(RegisterEffects, FrameSourceAndFrameMode) {
    storeAndProcess(VI_ORIGIN_REG_ADDR, 0xA0100000);
    EXPECT_EQ(theFrameBufferDisplay.frameSource, theMemory.rdram + 0x100000);
    // An origin outside RDRAM leaves the last frame in place.
    storeAndProcess(VI_ORIGIN_REG_ADDR, 0x00900000);
    EXPECT_EQ(theFrameBufferDisplay.frameSource, theMemory.rdram + 0x100000);

    VI_STATUS_REG = 1;
    storeAndProcess(VI_WIDTH_REG_ADDR, 320);
    EXPECT_NE(openLogText().find("Unhandled bit-mode when VI_WIDTH_REG set! (bpp=1)"),
              std::string::npos);
    EXPECT_EQ(VI_WIDTH_REG, 320u);
    theFrameBufferDisplay.frameSource = nullptr;
}

TEST_F(RegisterEffects, UnknownPendingBitsAreReportedAndCleared) {
    mem_actions[0] = 1u << 20;
    mem_actions[1] = 0x2;
    processMemActions();
    ASSERT_EQ(sink_->messages().size(), 1u);
    EXPECT_EQ(sink_->messages()[0].text, "Some mem_actions weren't processed:\n0x0000000200100000");
    EXPECT_EQ(sink_->messages()[0].flags, 0x30u);
    EXPECT_EQ(mem_actions[0], 0u);
    EXPECT_EQ(mem_actions[1], 0u);
}

} // namespace
