#include <gtest/gtest.h>

#include "base/log.h"
#include "core/hw_registers.h"
#include "hw/audio_output.h"
#include "hw/sound_events.h"
#include "support/test_machine.h"
#include "support/test_sound_backend.h"

namespace {

using namespace std::chrono_literals;
constexpr auto WAIT = 20s;

class AudioOutputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetBareMachine();
        installSoundBackend(&backend);
        ASSERT_TRUE(openSoundOutput(nullptr));
        AI_DACRATE_REG = 2207;
        AI_BITRATE_REG = 15;
    }
    void TearDown() override {
        releaseSound();
        installSoundBackend(nullptr);
        closeLog();
    }

    // The guest's store of a buffer's address and length.
    void queue(uint32_t address, uint32_t lengthReg) {
        AI_DRAM_ADDR_REG = address;
        AI_LEN_REG = lengthReg;
        queueAudio();
    }
    // Ends the playing buffer and waits until the stream thread has handled it.
    void endBuffer() {
        const uint64_t before = soundBuffersRetired();
        ASSERT_TRUE(backend.endPlayingBuffer());
        ASSERT_TRUE(waitForSoundBuffersRetired(before + 1, WAIT));
        applyPendingSoundEvents(); // the CPU thread's turn between two blocks
    }
    bool aiRaised() { return (MI_INTR_REG & MI_INTR_AI) != 0; }

    ScopedRecordingSink sink;
    TestSoundBackend backend;
};

TEST_F(AudioOutputTest, BufferFormatFollowsTheAiRegisters) {
    queue(0x1000, 0x0FFF);
    auto buffers = backend.buffers();
    ASSERT_EQ(buffers.size(), 1u);
    // 48681812 / 2207 = 22057, plus one.
    EXPECT_EQ(buffers[0].format.sampleRate, 22058u);
    EXPECT_EQ(buffers[0].format.averageBytesPerSecond, 22058u * 4);
    EXPECT_EQ(buffers[0].size, 4096u);
}

TEST_F(AudioOutputTest, SamplesComeOutAsLittleEndianFramesLeftFirst) {
    // Two guest frames: left 0x1234 right 0xABCD, left 0x0102 right 0xFFFE.
    setGuestWord(0x2000, 0x1234ABCD);
    setGuestWord(0x2004, 0x0102FFFE);
    queue(0x2000, 7);
    auto buffers = backend.buffers();
    ASSERT_EQ(buffers.size(), 1u);
    const std::vector<uint8_t> expected{0x34, 0x12, 0xCD, 0xAB, 0x02, 0x01, 0xFE, 0xFF};
    EXPECT_EQ(buffers[0].contents, expected);

    // An odd length (three bytes) takes only bytes inside the buffer.
    queue(0x2000, 2);
    EXPECT_EQ(backend.buffers()[1].contents, (std::vector<uint8_t>{0x34, 0x12, 0xCD}));
}

TEST_F(AudioOutputTest, TwoSlotsPlayInQueueOrderWithFullBitAndInterrupts) {
    queue(0x1000, 0xFF);
    EXPECT_TRUE(isSoundStreamRunning());
    EXPECT_EQ(backend.playOrder(), (std::vector<int>{0}));
    EXPECT_EQ(AI_STATUS_REG & AI_STATUS_FULL, 0u);

    queue(0x2000, 0x1FF);
    EXPECT_EQ(backend.playOrder(), (std::vector<int>{0})) << "the second buffer waits";
    EXPECT_NE(AI_STATUS_REG & AI_STATUS_FULL, 0u);
    EXPECT_FALSE(aiRaised());

    endBuffer();
    EXPECT_EQ(backend.playOrder(), (std::vector<int>{0, 1}));
    EXPECT_TRUE(backend.buffers()[0].released);
    EXPECT_EQ(AI_LEN_REG, 0u);
    EXPECT_EQ(AI_STATUS_REG & AI_STATUS_FULL, 0u);
    EXPECT_TRUE(aiRaised());

    // The guest queues into the freed slot while the second buffer plays.
    MI_INTR_REG = 0;
    queue(0x3000, 0x2FF);
    EXPECT_NE(AI_STATUS_REG & AI_STATUS_FULL, 0u);
    endBuffer();
    endBuffer();
    EXPECT_EQ(backend.playOrder(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(soundBuffersRetired(), 3u);
    EXPECT_TRUE(aiRaised());
    EXPECT_EQ(backend.buffers()[2].size, 0x300u);
}

TEST_F(AudioOutputTest, LastBufferEndingStopsTheStreamAndTheNextOneRestartsIt) {
    queue(0x1000, 0xFF);
    endBuffer();
    EXPECT_EQ(AI_LEN_REG, 0u);
    EXPECT_EQ(AI_STATUS_REG & AI_STATUS_FULL, 0u);
    EXPECT_TRUE(aiRaised());
    ASSERT_TRUE(waitForSoundStreamEnd(WAIT));
    EXPECT_EQ(theSoundOutput.playingSlot, nullptr);

    MI_INTR_REG = 0;
    queue(0x1000, 0xFF);
    EXPECT_TRUE(isSoundStreamRunning());
    EXPECT_EQ(backend.playOrder(), (std::vector<int>{0, 1}));
    endBuffer();
    EXPECT_TRUE(aiRaised());
}

TEST_F(AudioOutputTest, ThirdBufferReplacesTheWaitingOneNeverThePlayingOne) {
    // Slot B ends up playing and slot A waiting: A plays, B waits, A ends,
    // A is filled again.
    queue(0x1000, 0xFF); // id 0 in A, plays
    queue(0x1000, 0xFF); // id 1 in B, waits
    endBuffer();         // B plays
    queue(0x1000, 0xFF); // id 2 in A, waits
    queue(0x1000, 0xFF); // id 3 must replace A (waiting), not B (playing)
    auto buffers = backend.buffers();
    ASSERT_EQ(buffers.size(), 4u);
    EXPECT_FALSE(buffers[1].released);
    EXPECT_TRUE(buffers[2].released);
    EXPECT_EQ(buffers[2].plays, 0);

    endBuffer();
    endBuffer();
    EXPECT_EQ(backend.playOrder(), (std::vector<int>{0, 1, 3}));
    ASSERT_TRUE(waitForSoundStreamEnd(WAIT));

    // A guest running far ahead of the sound (fast-forward) never has more
    // than the two slots' buffers alive: the queue cannot pile up.
    for (int i = 0; i < 200; ++i)
        queue(0x1000, 0xFF);
    int alive = 0;
    for (const TestSoundBufferRecord& b : backend.buffers())
        alive += !b.released;
    EXPECT_EQ(alive, 2);
}

TEST_F(AudioOutputTest, BuffersThatCannotPlayOnlyClearTheLength) {
    // Sound off: nothing is created, nothing raised.
    theSoundOutput.soundEnabled = false;
    queue(0x1000, 0xFF);
    EXPECT_EQ(AI_LEN_REG, 0u);
    EXPECT_FALSE(isSoundStreamRunning());
    EXPECT_FALSE(aiRaised());
    // A failed creation, or 8-bit samples that do not fit the 4-byte frames,
    // turn sound off for the run.
    theSoundOutput.soundEnabled = true;
    backend.failCreate = true;
    queue(0x1000, 0xFF);
    EXPECT_EQ(AI_LEN_REG, 0u);
    EXPECT_FALSE(theSoundOutput.soundEnabled);
    EXPECT_EQ(sink->statusPart(2).rfind("Failed creating sound buffer!", 0), 0u);
    backend.failCreate = false;
    queue(0x1000, 0xFF);
    EXPECT_TRUE(backend.buffers().empty());
    theSoundOutput.soundEnabled = true;
    AI_BITRATE_REG = 7;
    queue(0x1000, 0xFF);
    EXPECT_FALSE(theSoundOutput.soundEnabled);
    EXPECT_EQ(AI_LEN_REG, 0u);
    EXPECT_TRUE(backend.buffers().empty());

    // A back end that does not open, or none, leaves sound off with a message.
    releaseSound();
    backend.failOpen = true;
    EXPECT_FALSE(openSoundOutput(nullptr));
    EXPECT_FALSE(theSoundOutput.soundEnabled);
    EXPECT_EQ(sink->statusPart(2).rfind(
                  "Error Initializing DirectSound! There will be no sound emulation!", 0),
              0u);
    installSoundBackend(nullptr);
    EXPECT_FALSE(openSoundOutput(nullptr));
}

TEST_F(AudioOutputTest, ZeroDacRateDropsTheBufferButKeepsSoundOn) {
    const std::string dir = makeTempDir("audio-log");
    openLog(dir.c_str(), "%s", "audio");
    AI_DACRATE_REG = 0;
    queue(0x1000, 0xFF);
    EXPECT_EQ(AI_LEN_REG, 0u);
    EXPECT_TRUE(backend.buffers().empty());
    EXPECT_TRUE(theSoundOutput.soundEnabled);
    closeLog();
    EXPECT_NE(readTextFile(dir + "/audio.log").find("AI_DACRATE_REG is 0"), std::string::npos);

    AI_DACRATE_REG = 2207;
    queue(0x1000, 0xFF);
    EXPECT_EQ(backend.buffers().size(), 1u);
}

TEST_F(AudioOutputTest, BuffersAreReadOnlyWithinRdram) {
    // Past the end of RDRAM (also through the segment bits): dropped.
    queue(0xA0800000, 0xFF);
    queue(0x00FFFFF0, 0xFF);
    EXPECT_TRUE(backend.buffers().empty());
    EXPECT_EQ(AI_LEN_REG, 0u);

    // Straddling the end: cut to the part inside.
    setGuestWord(RDRAM_SIZE - 4, 0x11223344);
    queue(RDRAM_SIZE - 8, 0xFFF);
    // A length register of all ones does not wrap around to a tiny buffer.
    queue(0, 0xFFFFFFFF);
    auto buffers = backend.buffers();
    ASSERT_EQ(buffers.size(), 2u);
    EXPECT_EQ(buffers[0].size, 8u);
    EXPECT_EQ(buffers[0].contents, (std::vector<uint8_t>{0, 0, 0, 0, 0x22, 0x11, 0x44, 0x33}));
    EXPECT_EQ(buffers[1].size, RDRAM_SIZE);
}

TEST_F(AudioOutputTest, FailedNotificationLeavesTheBufferPlayingWithoutInterrupt) {
    backend.failNotification = true;
    queue(0x1000, 0xFF);
    EXPECT_EQ(backend.playOrder(), (std::vector<int>{0}));
    ASSERT_TRUE(waitForSoundStreamEnd(WAIT));
    EXPECT_TRUE(backend.endPlayingBuffer());
    EXPECT_FALSE(aiRaised());
    EXPECT_EQ(soundBuffersRetired(), 0u);
}

TEST_F(AudioOutputTest, ReleaseStopsAWaitingStreamAndForgetsEverything) {
    queue(0x1000, 0xFF);
    queue(0x2000, 0xFF);
    ASSERT_TRUE(isSoundStreamRunning());
    releaseSound();
    EXPECT_FALSE(isSoundStreamRunning());
    EXPECT_FALSE(backend.isOpen());
    EXPECT_EQ(theSoundOutput.slotA.bytes, 0u);
    EXPECT_EQ(theSoundOutput.slotB.bytes, 0u);
    EXPECT_EQ(theSoundOutput.playingSlot, nullptr);
    for (const auto& b : backend.buffers())
        EXPECT_TRUE(b.released);
    // Ending a buffer after the release reaches nobody.
    EXPECT_FALSE(backend.endPlayingBuffer());
    EXPECT_FALSE(aiRaised());
}

TEST_F(AudioOutputTest, NewSetUpReleasesWhatAnEarlierRunLeftStreaming) {
    queue(0x1000, 0xFF);
    queue(0x2000, 0xFF);
    ASSERT_TRUE(openSoundOutput(nullptr));
    for (const auto& b : backend.buffers())
        EXPECT_TRUE(b.released);

    queue(0x1000, 0xFF);
    EXPECT_EQ(backend.openCount(), 2);
    endBuffer();
    EXPECT_EQ(backend.playOrder(), (std::vector<int>{0, 2}));
    EXPECT_TRUE(aiRaised());
}

} // namespace
