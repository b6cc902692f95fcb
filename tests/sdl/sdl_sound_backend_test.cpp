#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdlib>
#include <mutex>

#include "core/hw_registers.h"
#include "host/sdl/sdl_sound_backend.h"
#include "hw/audio_output.h"
#include "hw/sound_events.h"
#include "support/test_machine.h"
#include "support/test_sound_backend.h"

namespace {

using namespace std::chrono_literals;

class SdlSoundBackendTest : public ::testing::Test {
  protected:
    void SetUp() override { setenv("SDL_AUDIODRIVER", "dummy", 1); }
};

TEST_F(SdlSoundBackendTest, BufferAtItsOwnRatePlaysToItsEndOnce) {
    SdlSoundBackend backend;
    ASSERT_TRUE(backend.open());
    auto buffer = backend.createBuffer(formatAt(22050), 441 * 4);
    ASSERT_NE(buffer, nullptr);
    auto region = buffer->lock(buffer->size());
    ASSERT_EQ(region.size(), 441u * 4);
    std::fill(region.begin(), region.end(), uint8_t{0x10});
    buffer->unlock(region);

    std::mutex mutex;
    std::condition_variable cv;
    int ends = 0;
    ASSERT_EQ(buffer->setEndNotification([&] {
        std::lock_guard lock(mutex);
        ++ends;
        cv.notify_all();
    }),
              0);
    ASSERT_TRUE(buffer->play());
    std::unique_lock lock(mutex);
    EXPECT_TRUE(cv.wait_for(lock, 20s, [&] { return ends > 0; }));
    lock.unlock();
    buffer.reset();
    backend.close();
    EXPECT_EQ(ends, 1);
}

TEST_F(SdlSoundBackendTest, RefusesUnplayableFormatsAndWorksWithoutADeviceOpen) {
    SdlSoundBackend backend;
    EXPECT_EQ(backend.createBuffer(formatAt(22050), 16), nullptr) << "not open";
    ASSERT_TRUE(backend.open());
    SoundFormat mono = formatAt(22050);
    mono.channels = 1;
    EXPECT_EQ(backend.createBuffer(mono, 16), nullptr);
    // A buffer that outlives the device is released safely.
    auto buffer = backend.createBuffer(formatAt(22050), 16);
    ASSERT_NE(buffer, nullptr);
    backend.close();
    EXPECT_FALSE(buffer->play());
}

TEST_F(SdlSoundBackendTest, GuestBuffersStreamThroughTheDevice) {
    resetBareMachine();
    SdlSoundBackend backend;
    installSoundBackend(&backend);
    ASSERT_TRUE(openSoundOutput(nullptr));
    AI_DACRATE_REG = 2207;
    AI_BITRATE_REG = 15;
    for (uint32_t address : {0x1000u, 0x2000u}) {
        AI_DRAM_ADDR_REG = address;
        AI_LEN_REG = 0x3FF;
        queueAudio();
    }
    EXPECT_TRUE(waitForSoundBuffersRetired(2, 30s));
    applyPendingSoundEvents(); // the CPU thread's turn between two blocks
    EXPECT_TRUE(waitForSoundStreamEnd(30s));
    EXPECT_NE(MI_INTR_REG & MI_INTR_AI, 0u);
    releaseSound();
    installSoundBackend(nullptr);
}

} // namespace
