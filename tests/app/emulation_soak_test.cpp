// Many emulation runs in one process: start and stop 1000 times (fewer under
// ThreadSanitizer), on both cores, with a guest that keeps the sound stream
// busy and may halt into a message box that nobody answers; the stop comes at
// a random moment. No run may hang, and resident memory must not grow from
// run to run (leaks are reported by the sanitizer builds at exit).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "core/machine.h"
#include "core/rom_file.h"
#include "cpu/cpu_core.h"
#include "host/sound_backend.h"
#include "plugins/controller_plugin.h"
#include "romkit/mips_encode.h"
#include "romkit/romkit.h"
#include "support/test_machine.h"
#include "support/waiting_ui_sink.h"
#include "system/emulation_session.h"
#include "system/rom_loading.h"

namespace {

#if defined(__SANITIZE_THREAD__)
constexpr int CYCLES = 200;
#else
constexpr int CYCLES = 1000;
#endif

// A sound card whose buffers end when the test's card thread says so. A
// buffer's end notification is called under the card's lock, which its
// destructor and stop() take too: it never comes after either.
class SoakSound : public SoundBackend {
  public:
    class Buffer : public SoundBuffer {
      public:
        Buffer(SoakSound& card, uint32_t bytes) : card_(card), data_(bytes) {}
        ~Buffer() override { stop(); }
        uint32_t size() const override { return uint32_t(data_.size()); }
        std::span<uint8_t> lock(uint32_t bytes) override {
            return std::span<uint8_t>(data_).first(std::min<size_t>(bytes, data_.size()));
        }
        void unlock(std::span<uint8_t>) override {}
        int setEndNotification(std::function<void()> onEnd) override {
            std::lock_guard lock(card_.mutex_);
            onEnd_ = std::move(onEnd);
            return 0;
        }
        bool play() override {
            std::lock_guard lock(card_.mutex_);
            if (std::find(card_.playing_.begin(), card_.playing_.end(), this) ==
                card_.playing_.end())
                card_.playing_.push_back(this);
            return true;
        }
        void stop() override {
            std::lock_guard lock(card_.mutex_);
            std::erase(card_.playing_, this);
        }

      private:
        friend class SoakSound;
        SoakSound& card_;
        std::vector<uint8_t> data_;
        std::function<void()> onEnd_;
    };

    bool open() override { return true; }
    void close() override {}
    std::unique_ptr<SoundBuffer> createBuffer(const SoundFormat& format, uint32_t bytes) override {
        if (!isPlayableSoundFormat(format) || bytes == 0) return nullptr;
        return std::make_unique<Buffer>(*this, bytes);
    }
    // The oldest playing buffer has been played to its end.
    void endOne() {
        std::lock_guard lock(mutex_);
        if (playing_.empty()) return;
        Buffer* ended = playing_.front();
        playing_.erase(playing_.begin());
        std::function<void()> onEnd = std::move(ended->onEnd_);
        ended->onEnd_ = nullptr;
        if (onEnd) onEnd();
        ++ended_;
    }
    int ended() {
        std::lock_guard lock(mutex_);
        return ended_;
    }

  private:
    // Recursive: a notification may start the next buffer from inside it.
    std::recursive_mutex mutex_;
    std::vector<Buffer*> playing_;
    int ended_ = 0;
};

// Queues audio buffers `loops` times, then halts (a jump to an unaligned
// address, whose halt message waits in its box) or waits in an idle loop.
std::vector<uint32_t> soundProgram(uint16_t loops, bool halt) {
    using namespace mips;
    constexpr uint32_t T0 = 8, T1 = 9, T3 = 11, T4 = 12;
    // AI_DACRATE_REG, AI_BITRATE_REG and AI_CONTROL_REG; then, `loops`
    // times, AI_DRAM_ADDR_REG and AI_LEN_REG.
    std::vector<uint32_t> words = {
        lui(T0, 0xA450),    ori(T1, 0, 2206), sw(T1, 0x10, T0),  ori(T1, 0, 15),  sw(T1, 0x14, T0),
        ori(T1, 0, 1),      sw(T1, 0x08, T0), ori(T3, 0, loops), lui(T1, 0x0020), sw(T1, 0x00, T0),
        ori(T1, 0, 0x0FFF), sw(T1, 0x04, T0), addiu(T3, T3, -1), bne(T3, 0, -6),  nop()};
    if (halt) {
        for (uint32_t w : {lui(T4, 0x8000), ori(T4, T4, 0x1002), jr(T4), nop()})
            words.push_back(w);
    } else {
        const uint32_t here = 0x80001000 + 4 * uint32_t(words.size());
        words.push_back(j(here));
        words.push_back(nop());
    }
    return words;
}

size_t residentBytes() {
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm) return 0;
    unsigned long pages = 0, resident = 0;
    const int read = std::fscanf(statm, "%lu %lu", &pages, &resident);
    std::fclose(statm);
    return read == 2 ? resident * size_t(sysconf(_SC_PAGESIZE)) : 0;
}

TEST(EmulationSoak, ThousandStartsAndStopsNeverHangOrGrow) {
    // The images, written once: halting and idle guests of a few lengths.
    const std::string dir = makeTempDir("soak");
    std::vector<std::string> images;
    for (uint16_t loops : {1, 40, 400, 4000})
        for (bool halt : {false, true}) {
            const std::string path = dir + "/soak" + std::to_string(images.size()) + ".z64";
            ASSERT_TRUE(
                romkit::writeFile(path, romkit::buildRomFromWords(soundProgram(loops, halt))));
            images.push_back(path);
        }

    // A stop that does not come back within a minute is a hang.
    std::atomic<int> progress{0};
    std::atomic<bool> finished{false};
    std::thread watchdog([&] {
        int seen = -1;
        auto last = std::chrono::steady_clock::now();
        while (!finished) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (progress != seen) {
                seen = progress;
                last = std::chrono::steady_clock::now();
            } else if (std::chrono::steady_clock::now() - last > std::chrono::seconds(60)) {
                std::fprintf(stderr, "soak: run %d has not stopped for a minute\n", seen);
                std::abort();
            }
        }
    });

    SoakSound card;
    WaitingUiSink sink; // boxes stay open until the stop cancels them
    EmulationHost host;
    host.userInterface = &sink;
    host.sound = &card;
    EmulationSettings settings;
    settings.title = "SOAK";
    settings.logDirectory = dir;
    resetControllerSlots();

    std::mt19937 random(20261207);
    size_t residentAfterWarmUp = 0;
    for (int cycle = 0; cycle < CYCLES; ++cycle) {
        ASSERT_TRUE(loadRomFile(images[random() % images.size()].c_str()));
        settings.cpuCore = random() % 2 ? CpuCore::Recompiler : CpuCore::Interpreter;
        EmulationSession session(host, settings);
        ASSERT_TRUE(session.startEmulation()) << "run " << cycle;
        // The card ends buffers at random moments while the run goes on.
        std::atomic<bool> stopCard{false};
        const unsigned cardSeed = unsigned(random());
        std::thread cardThread([&card, &stopCard, cardSeed] {
            std::minstd_rand pace(cardSeed);
            while (!stopCard) {
                std::this_thread::sleep_for(std::chrono::microseconds(pace() % 400));
                card.endOne();
            }
        });
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 3000));
        session.stopEmulation();
        EXPECT_FALSE(session.hasCpuThread());
        stopCard = true;
        cardThread.join();
        ++progress;
        if (cycle == CYCLES / 10) residentAfterWarmUp = residentBytes();
    }
    finished = true;
    watchdog.join();

    // Some runs reached their halt box, and buffers were played to their end.
    EXPECT_GT(sink.boxes(), 0);
    EXPECT_GT(card.ended(), 0);
    const size_t residentAtEnd = residentBytes();
    const size_t growth =
        residentAtEnd > residentAfterWarmUp ? residentAtEnd - residentAfterWarmUp : 0;
    std::printf("soak: %d runs, %d halt boxes, %d buffers ended, resident %zu -> %zu KiB\n", CYCLES,
                sink.boxes(), card.ended(), residentAfterWarmUp / 1024, residentAtEnd / 1024);
    EXPECT_LT(growth, size_t(48) << 20) << "resident memory grew from run to run";
}

} // namespace
