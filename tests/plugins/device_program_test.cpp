// A guest program assembled with the GNU assembler that drives the console's
// devices the way a game does, booted from a ROM image by PI DMA and run on
// each CPU core: it reads controller 1 twice through the PIF (SI DMA write,
// then read) from the scripted pad plug-in, moves data into SP DMEM, reads
// past the end of the cartridge image by PI DMA, and queues two audio
// buffers, then waits for the AI interrupt. The test runs the blocks itself so
// that it can end the playing buffer once the guest waits for it. Skipped when
// the MIPS cross tools are not installed.
#include <chrono>
#include <filesystem>
#include <fstream>

#include "core/cpu_state.h"
#include "core/hw_registers.h"
#include "core/machine.h"
#include "core/memory.h"
#include "core/rom_file.h"
#include "cpu/recompiler/code_cache.h"
#include "hw/audio_output.h"
#include "hw/sound_events.h"
#include "plugin_test_support.h"
#include "plugins/controller_plugin.h"
#include "support/guest_program.h"
#include "support/test_sound_backend.h"
#include "system/rom_loading.h"
#include "system/run_loop.h"

namespace {

using namespace std::chrono_literals;

// Physical addresses the program uses.
constexpr uint32_t RESULTS = 0x200000;
constexpr uint32_t PAD_ANSWERS = 0x200100; // two 64-byte PIF answers
constexpr uint32_t PI_TARGET = 0x120000;
constexpr uint32_t DMEM_TARGET = 0x100;

// The program fills the image up to 0xF000 bytes, so that with its header and
// boot code the image is exactly 64 KB and ends with two marker words.
const std::string PROGRAM = guestProgramSource("device_program.s");

constexpr uint32_t IMAGE_TAIL[2] = {0x600DF00D, 0x0DDBA115};
constexpr uint32_t AUDIO_WORDS[6] = {0x1234ABCD, 0x0102FFFE, 0x7FFF8000,
                                     0x00010002, 0x11112222, 0x33334444};

// The output bytes of guest stereo frames: little-endian samples, left first.
std::vector<uint8_t> framesOut(std::initializer_list<uint32_t> words) {
    std::vector<uint8_t> bytes;
    for (uint32_t w : words) {
        for (uint32_t sample : {w >> 16, w & 0xFFFF}) {
            bytes.push_back(uint8_t(sample));
            bytes.push_back(uint8_t(sample >> 8));
        }
    }
    return bytes;
}

class DeviceProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSEMBLE_GUEST_PROGRAM_OR_SKIP(PROGRAM, program);
        dir = makeTempDir("device-program");
        romkit::RomOptions options;
        options.bootCopy = romkit::BootCopy::PiDma;
        romPath = writeGuestRom(program, dir, "devices", options);
        ASSERT_FALSE(romPath.empty());
        std::filesystem::copy_file(ORVEX_SCRIPTED_PAD, dir + "/scripted_pad.so");
        scriptPath = dir + "/pad.txt";
        std::ofstream(scriptPath) << "8020 17 -5   # A and L\n"
                                     "1000 -128 127\n";
        resetControllerSlots();
    }
    void TearDown() override {
        releaseSound();
        installSoundBackend(nullptr);
        discardPendingSoundEvents();
        resetControllerSlots();
        selectedCpuCore = CpuCore::Recompiler;
        freeCodeCache();
        theRom.freeImage();
    }

    // The emulation start's part for this run: the image, the controller
    // plug-in of slot 1 as the registry names it, sound, a reset machine.
    void start() {
        releaseSound();
        backend = std::make_unique<TestSoundBackend>();
        ScopedWorkingDirectory cwd(dir);
        registry.setNumber("Controller 1 Enabled", 1);
        registry.setString("Controller 1 Plugin", "scripted_pad.so");
        ASSERT_TRUE(loadRomFile(romPath.c_str()));
        ASSERT_EQ(theRom.romSize, 0x10000u) << "the program must fill the image";
        loadControllerPlugins();
        CControllerPlugin& pad = controllerSlots[0];
        ASSERT_TRUE(pad.enabled);
        using SetScript = int (*)(const char*);
        auto setScript = reinterpret_cast<SetScript>(pad.getFunction("scriptedPadSetScript"));
        ASSERT_NE(setScript, nullptr);
        ASSERT_TRUE(setScript(scriptPath.c_str()));
        ASSERT_EQ(pad.initPlugin(nullptr, nullptr), 1);
        installSoundBackend(backend.get());
        discardPendingSoundEvents();
        ASSERT_TRUE(openSoundOutput(nullptr));
        ASSERT_TRUE(resetMachine());
    }

    uint32_t result(uint32_t offset) { return guestWord(RESULTS + offset); }

    GuestProgram program;
    std::string dir, romPath, scriptPath;
    ScopedRecordingSink sink;
    TestRegistry registry;
    // Released by releaseSound before it goes.
    std::unique_ptr<TestSoundBackend> backend;
};

} // namespace

TEST_F(DeviceProgramTest, GuestDrivesPifSpPiAndAudioOnBothCores) {
    forEachCpuCore([&](CpuCore core) {
        sink->clear();
        ASSERT_NO_FATAL_FAILURE(start());
        ASSERT_NO_FATAL_FAILURE(selectCpuCore(core));

        ASSERT_TRUE(runBlocksUntil(program.symbol("wait_audio"), 10000))
            << "the program did not reach its wait for the audio interrupt";

        // The PIF's answers, one poll of the plug-in per read: the command
        // block comes back with the controller's state and the control byte
        // cleared.
        const uint32_t pads[2] = {0x802011FB, 0x1000807F};
        for (uint32_t poll = 0; poll < 2; ++poll) {
            SCOPED_TRACE("poll " + std::to_string(poll + 1));
            const uint32_t at = PAD_ANSWERS + 0x40 * poll;
            EXPECT_EQ(guestWord(at), 0xFF010401u);
            EXPECT_EQ(guestWord(at + 4), pads[poll]);
            EXPECT_EQ(guestWord(at + 8), 0xFE000000u);
            for (uint32_t w = 3; w < 16; ++w)
                EXPECT_EQ(guestWord(at + 4 * w), 0u) << "word " << w;
        }
        EXPECT_EQ(guestWord(PAD_ANSWERS + 0x80), 0u) << "nothing past the second answer";

        // SP DMA: the four words in DMEM, read back by the guest, and no more.
        const uint32_t dmem[5] = {0x11223344, 0x55667788, 0x99AABBCC, 0xDDEEFF00, 0};
        for (uint32_t w = 0; w < 5; ++w)
            EXPECT_EQ(blockWord(theMemory.hwRegs, DMEM_TARGET + 4 * w), dmem[w]) << "word " << w;
        EXPECT_EQ(result(0x20), 0xDDEEFF00u);

        // PI DMA: the image's last two words, zeros for the 24 bytes past its
        // end, the pattern beyond the transfer untouched.
        EXPECT_EQ(guestWord(PI_TARGET), IMAGE_TAIL[0]);
        EXPECT_EQ(guestWord(PI_TARGET + 4), IMAGE_TAIL[1]);
        for (uint32_t offset = 8; offset < 48; offset += 4)
            EXPECT_EQ(guestWord(PI_TARGET + offset), offset < 32 ? 0u : 0xAAAAAAAAu) << offset;

        // Audio: the first buffer plays, the second waits with the full bit
        // set, and no AI interrupt has come yet.
        auto buffers = backend->buffers();
        ASSERT_EQ(buffers.size(), 2u);
        EXPECT_EQ(buffers[0].format.sampleRate, 22058u);
        EXPECT_EQ(buffers[0].contents,
                  framesOut({AUDIO_WORDS[0], AUDIO_WORDS[1], AUDIO_WORDS[2], AUDIO_WORDS[3]}));
        EXPECT_EQ(buffers[1].contents, framesOut({AUDIO_WORDS[4], AUDIO_WORDS[5]}));
        EXPECT_EQ(backend->playOrder(), (std::vector<int>{0}));
        EXPECT_EQ(result(0x30) & AI_STATUS_FULL, AI_STATUS_FULL);
        EXPECT_EQ(result(0x34) & MI_INTR_AI, 0u);

        // The first buffer ends: the stream thread starts the second and
        // hands the register updates and the interrupt to the run loop.
        ASSERT_TRUE(backend->endPlayingBuffer());
        ASSERT_TRUE(waitForSoundBuffersRetired(1, 20s));
        EXPECT_FALSE(runBlocksUntil(0xFFFFFFFF, 100)) << "the guest never saw the interrupt";
        ASSERT_EQ(sink->messages().size(), 1u);
        EXPECT_NE(sink->messages()[0].text.find("BREAK"), std::string::npos)
            << "the program stops at its BREAK: " << sink->messages()[0].text;
        EXPECT_EQ(backend->playOrder(), (std::vector<int>{0, 1}));
        EXPECT_EQ(result(0x38) & AI_STATUS_FULL, 0u);
        EXPECT_EQ(result(0x3C), 0u);
        EXPECT_NE(MI_INTR_REG & MI_INTR_AI, 0u);

        controllerSlots[0].freePlugin();
        resetControllerSlots();
    });
}
