#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/cpu_state.h"
#include "core/hw_registers.h"
#include "core/machine.h"
#include "cpu/interrupts.h"
#include "host/recording_frame_presenter.h"
#include "hw/audio_output.h"
#include "hw/sound_events.h"
#include "hw/vi.h"
#include "support/test_machine.h"
#include "video/frame_buffer_display.h"
#include "video/rate_counter.h"

namespace {

std::atomic<uint32_t> fakeNow{100000};
uint32_t fakeTicks() {
    return fakeNow.load();
}

class InterruptsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetBareMachine();
        discardPendingSoundEvents();
        releaseFrameBufferDisplay();
        theFrameBufferDisplay.frameBufferDisplayEnabled = false;
        niceFrameBuffer = false;
        cpuRate.reset();
        setTickSource(&fakeTicks);
        theCpu.pc = 0x80001234;
        status() = 0;
        cause() = 0;
    }
    void TearDown() override {
        setTickSource(nullptr);
        releaseFrameBufferDisplay();
        theFrameBufferDisplay.frameBufferDisplayEnabled = false;
        niceFrameBuffer = false;
        discardPendingSoundEvents();
    }
    static uint32_t& status() { return theCpu.cop0[COP0_STATUS]; }
    static uint32_t& cause() { return theCpu.cop0[COP0_CAUSE]; }
    static void expectNoException() {
        EXPECT_EQ(theCpu.pc, 0x80001234u);
        EXPECT_EQ(theCpu.cop0[COP0_EPC], 0u);
    }

    ScopedRecordingSink sink;
};

struct MiSource {
    void (*raise)();
    uint32_t bit;
};
const MiSource cpuThreadSources[] = {{raiseSpInterrupt, MI_INTR_SP},
                                     {raiseSiInterrupt, MI_INTR_SI},
                                     {raiseViInterrupt, MI_INTR_VI},
                                     {raisePiInterrupt, MI_INTR_PI},
                                     {raiseDpInterrupt, MI_INTR_DP}};

TEST_F(InterruptsTest, MaskedRaiseSetsOnlyItsMiBit) {
    for (const MiSource& s : cpuThreadSources) {
        SCOPED_TRACE(s.bit);
        MI_INTR_REG = 0;
        MI_INTR_MASK_REG = 0xFF & ~s.bit;
        status() = STATUS_IE | STATUS_IM2;
        s.raise();
        EXPECT_EQ(MI_INTR_REG, s.bit);
        EXPECT_EQ(cause(), 0u);
        expectNoException();
    }
}

TEST_F(InterruptsTest, EnabledRaiseEntersHandlerWithCleanCause) {
    for (const MiSource& s : cpuThreadSources) {
        SCOPED_TRACE(s.bit);
        theCpu.pc = 0x80001234;
        MI_INTR_REG = 0;
        MI_INTR_MASK_REG = s.bit;
        status() = STATUS_IE | STATUS_IM2 | 0x34000000;
        cause() = CAUSE_BD | (13 << 2) | 0x100; // stale BD, code and a software bit
        s.raise();
        EXPECT_EQ(MI_INTR_REG, s.bit);
        EXPECT_EQ(cause(), CAUSE_IP2 | 0x100u);
        EXPECT_EQ(theCpu.cop0[COP0_EPC], 0x80001234u);
        EXPECT_EQ(status(), STATUS_IE | STATUS_IM2 | STATUS_EXL | 0x34000000u);
        EXPECT_EQ(theCpu.pc, GENERAL_EXCEPTION_VECTOR);
    }
    EXPECT_FALSE(isEmulationHalted());
}

TEST_F(InterruptsTest, BlockedLineTwoSetsIp2WithoutException) {
    MI_INTR_MASK_REG = 0x3F;
    for (uint32_t s : {STATUS_IE, STATUS_IM2, STATUS_IE | STATUS_IM2 | STATUS_EXL,
                       STATUS_IE | STATUS_IM2 | STATUS_ERL}) {
        SCOPED_TRACE(s);
        status() = s;
        cause() = 0;
        raisePiInterrupt();
        EXPECT_EQ(cause(), CAUSE_IP2);
        EXPECT_EQ(status(), s);
        expectNoException();
    }
}

TEST_F(InterruptsTest, TimerInterrupt) {
    // With EXL set only IP7 is recorded; nothing is taken later.
    status() = STATUS_IE | STATUS_IM7 | STATUS_EXL;
    raiseCompareInterrupt();
    EXPECT_EQ(cause(), CAUSE_IP7);
    EXPECT_EQ(theCpu.pc, 0x80001234u);
    EXPECT_EQ(MI_INTR_REG, 0u);

    // IM2 does not open the timer line.
    status() = STATUS_IE | STATUS_IM2;
    cause() = 0;
    raiseCompareInterrupt();
    EXPECT_EQ(cause(), CAUSE_IP7);
    expectNoException();

    status() = STATUS_IE | STATUS_IM7;
    cause() = CAUSE_BD;
    raiseCompareInterrupt();
    EXPECT_EQ(cause(), CAUSE_IP7);
    EXPECT_EQ(theCpu.cop0[COP0_EPC], 0x80001234u);
    EXPECT_EQ(theCpu.pc, GENERAL_EXCEPTION_VECTOR);
    EXPECT_EQ(status(), STATUS_IE | STATUS_IM7 | STATUS_EXL);
}

TEST_F(InterruptsTest, SiRaiseSetsStatusBitEvenWhenMasked) {
    SI_STATUS_REG = 0x1;
    MI_INTR_MASK_REG = 0;
    raiseSiInterrupt();
    EXPECT_EQ(SI_STATUS_REG, 0x1001u);
    EXPECT_EQ(MI_INTR_REG, MI_INTR_SI);
}

TEST_F(InterruptsTest, ViRaiseAdvancesScheduleByExactlyOneInterval) {
    theCpu.cop0[COP0_COUNT] = 12345;
    nextViCount = 0xFFFFFFF0;
    raiseViInterrupt();
    EXPECT_EQ(nextViCount, VI_INTERRUPT_INTERVAL - 0x10);
    raiseViInterrupt();
    EXPECT_EQ(nextViCount, 2 * VI_INTERRUPT_INTERVAL - 0x10);
}

TEST_F(InterruptsTest, ViRaiseShowsFrameAndCountsIt) {
    RecordingFramePresenter presenter;
    ASSERT_TRUE(initFrameBufferDisplay(&presenter));
    ASSERT_TRUE(setFrameMode(FRAME_FORMAT_16, 8));
    theFrameBufferDisplay.frameSource = theMemory.rdram + 0x1000;
    setGuestWord(0x1000, 0xF801'07C0); // red, green

    raiseViInterrupt(); // display off: nothing shown
    EXPECT_EQ(presenter.framesPresented(), 0u);
    EXPECT_EQ(cpuRate.windowCount, 0u); // the first event opened the window

    theFrameBufferDisplay.frameBufferDisplayEnabled = true;
    raiseViInterrupt();
    ASSERT_EQ(presenter.framesPresented(), 1u);
    EXPECT_EQ(cpuRate.windowCount, 1u);
    // The raw copy keeps the host word's half order.
    EXPECT_EQ(presenter.lastFrame().pixel(0, 0), 0x07C0u);

    niceFrameBuffer = true;
    raiseViInterrupt();
    EXPECT_EQ(presenter.lastFrame().pixel(0, 0), 0xF800u);
    EXPECT_EQ(presenter.lastFrame().pixel(1, 0), 0x07C0u);
    EXPECT_EQ(MI_INTR_REG, MI_INTR_VI);
}

TEST_F(InterruptsTest, ExceptionWithBevHalts) {
    status() = STATUS_BEV | STATUS_IE | STATUS_IM2;
    MI_INTR_MASK_REG = MI_INTR_DP;
    raiseDpInterrupt();
    EXPECT_EQ(theCpu.pc, BOOTSTRAP_EXCEPTION_VECTOR);
    EXPECT_EQ(theCpu.cop0[COP0_EPC], 0x80001234u);
    EXPECT_TRUE(isEmulationHalted());
    const auto messages = sink->messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "BEV==1!!!\nShould reset emulation.. Instead, I'm bailing out..");
    EXPECT_EQ(messages[0].flags & 0xF0, 0x30u | 0x10u);
}

TEST_F(InterruptsTest, AiRaiseWaitsForTheEmulationThreadAndKeepsOrder) {
    MI_INTR_MASK_REG = MI_INTR_AI;
    status() = STATUS_IE | STATUS_IM2;
    AI_LEN_REG = 0x100;
    AI_STATUS_REG = 0xC0000000;
    postSoundEvent(SoundEvent::BufferRetired);
    raiseAiInterrupt();
    EXPECT_TRUE(soundEventsPending());
    EXPECT_EQ(AI_LEN_REG, 0x100u);
    EXPECT_EQ(MI_INTR_REG, 0u);
    expectNoException();

    applyPendingSoundEvents();
    EXPECT_FALSE(soundEventsPending());
    EXPECT_EQ(AI_LEN_REG, 0u);
    EXPECT_EQ(AI_STATUS_REG, 0x40000000u); // both slots free: no longer full
    EXPECT_EQ(MI_INTR_REG, MI_INTR_AI);
    EXPECT_EQ(theCpu.cop0[COP0_EPC], 0x80001234u);
    EXPECT_EQ(theCpu.pc, GENERAL_EXCEPTION_VECTOR);

    // The guest filled both slots again before the retirement was applied:
    // the full bit stays, as it tells that both slots hold data.
    theSoundOutput.slotA.bytes = theSoundOutput.slotB.bytes = 0x100;
    AI_STATUS_REG = AI_STATUS_FULL;
    postSoundEvent(SoundEvent::BufferRetired);
    applyPendingSoundEvents();
    EXPECT_EQ(AI_STATUS_REG, AI_STATUS_FULL);
    theSoundOutput.slotA.bytes = theSoundOutput.slotB.bytes = 0;
}

TEST_F(InterruptsTest, SoundThreadHandOverIsAppliedInOrderBetweenBlocks) {
    // The sound thread posts retirements (buffer done, then the interrupt) as
    // groups while the emulation thread runs "blocks" that queue a buffer and
    // applies what has arrived between them; its handler acknowledges the
    // interrupt. An interrupt never arrives without the retirement before it.
    constexpr uint32_t buffers = 2000;
    MI_INTR_MASK_REG = MI_INTR_AI;
    std::atomic<bool> done{false};
    std::thread soundThread([&] {
        for (uint32_t i = 1; i <= buffers; ++i) {
            postSoundEvents({SoundEvent::BufferRetired, SoundEvent::AiInterrupt});
            if (i % 64 == 0) std::this_thread::yield();
        }
        done = true;
    });

    uint32_t interrupts = 0;
    bool ordered = true;
    for (;;) {
        const bool finished = done.load();
        AI_LEN_REG = 0x80; // the guest's next buffer
        applyPendingSoundEvents();
        if ((MI_INTR_REG & MI_INTR_AI) != 0) {
            if (AI_LEN_REG != 0) ordered = false;
            ++interrupts;
            MI_INTR_REG &= ~MI_INTR_AI;
            cause() = 0;
        }
        if (finished && !soundEventsPending()) break;
    }
    soundThread.join();
    EXPECT_TRUE(ordered);
    EXPECT_GE(interrupts, 1u);
    EXPECT_LE(interrupts, buffers);
}

} // namespace
