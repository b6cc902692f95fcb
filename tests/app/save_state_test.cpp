// Saved states: the whole machine round trip, the refusals that leave the
// machine untouched, the file's replacement through a temporary file, the
// slot files' names, and the MD5 and log lines that identify an image.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "base/md5.h"
#include "core/cpu_state.h"
#include "core/hw_registers.h"
#include "core/machine.h"
#include "core/rom_file.h"
#include "core/tlb.h"
#include "hw/register_effects.h"
#include "hw/sound_events.h"
#include "romkit/romkit.h"
#include "rsp/display_list_state.h"
#include "support/test_machine.h"
#include "system/rom_identity.h"
#include "system/run_control.h"
#include "system/save_state.h"
#include "system/state_slots.h"

namespace {

namespace fs = std::filesystem;

// A booted machine with a value of its own in every block a state holds.
void fillMachine(uint32_t seed) {
    for (unsigned i = 1; i < 32; ++i)
        theCpu.gpr[i].set(uint64_t(seed) << 32 | i);
    theCpu.fpr[3] = seed + 3;
    theCpu.fcr31 = seed & 0x3;
    theCpu.cop0[COP0_COMPARE] = seed * 7;
    theCpu.pc = 0x80001000 + (seed & 0xFC);
    setGuestWord(0x123450, seed ^ 0xCAFEBABE);
    blockWord(theMemory.hwRegs, 0x10) = seed; // SP DMEM
    VI_ORIGIN_REG = 0x00100000 + (seed & 0xFF0);
    theMemory.pifRamIn[5] = uint8_t(seed);
    RDRAM_MODE_REG = seed + 1;
    tlb[3].VSTART = seed << 12;
    latchedStore(WriteLatch::MiMode) = seed & 0xFFF;
    mem_actions[0] = seed & 0x3F;
    nextViCount = seed * 11;
    theDisplayList.segmentTable[2] = seed + 0x1000;
    discardPendingSoundEvents();
    postSoundEvents({SoundEvent::BufferRetired, SoundEvent::AiInterrupt});
    runCounters.viInterrupts = seed + 77;
}

class SaveStateTest : public ::testing::Test {
  protected:
    void SetUp() override { bootMachineWithProgram({0x08000400, 0}); }
    void TearDown() override {
        discardPendingSoundEvents();
        resetRunControl();
        latchedStore(WriteLatch::MiMode) = 0;
        mem_actions[0] = 0;
    }
};

TEST_F(SaveStateTest, ALoadedStateGivesBackTheWholeMachine) {
    fillMachine(0x1234);
    const std::vector<uint8_t> saved = captureMachineState();
    ASSERT_TRUE(resetMachine());
    fillMachine(0x9876);
    ASSERT_NE(captureMachineState(), saved);

    std::string problem;
    ASSERT_TRUE(applyMachineState(saved, problem)) << problem;
    EXPECT_EQ(captureMachineState(), saved);
    EXPECT_EQ(theCpu.gpr[5].value(), 0x0000123400000005u);
    EXPECT_EQ(guestWord(0x123450), 0x1234u ^ 0xCAFEBABE);
    EXPECT_EQ(tlb[3].VSTART, 0x1234u << 12);
    EXPECT_EQ(runCounters.viInterrupts.load(), 0x1234u + 77);
    EXPECT_EQ(savedViInterrupts(saved), 0x1234u + 77);
    EXPECT_TRUE(soundEventsPending());
}

TEST_F(SaveStateTest, RefusedStatesLeaveTheMachineUntouched) {
    fillMachine(0x55);
    const std::string dir = makeTempDir("state-refusals");
    std::string problem;
    ASSERT_TRUE(saveStateFile(dir + "/good.state", problem)) << problem;
    std::vector<uint8_t> good;
    ASSERT_TRUE(romkit::readFile(dir + "/good.state", good));
    const std::vector<uint8_t> payload = captureMachineState();
    fillMachine(0x66);
    const std::vector<uint8_t> before = captureMachineState();

    // Encoded right, but the register file's record has another size.
    std::vector<uint8_t> otherLayout = payload;
    otherLayout[8] ^= 4;
    RomIdentity otherRom = loadedRomIdentity();
    otherRom.crc1 ^= 1;
    auto changed = [&](size_t at, uint8_t bits) {
        std::vector<uint8_t> bytes = good;
        bytes[at] ^= bits;
        return bytes;
    };
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        const char* says;
    };
    const Case cases[] = {
        {"other ROM", encodeStateFile(otherRom, payload), "another ROM"},
        {"other version", changed(8, 1), "another version"},
        {"truncated", std::vector<uint8_t>(good.begin(), good.end() - 100), "damaged"},
        // A whole byte: a single bit may fall on padding that the compressed
        // format ignores, and then the data read back is the same.
        {"byte changed in the data", changed(good.size() / 2, 0xFF), "damaged"},
        {"bit flipped in the header", changed(20, 0x01), "damaged"},
        {"not a state", {'h', 'e', 'l', 'l', 'o'}, "not a saved state"},
        {"other layout", encodeStateFile(loadedRomIdentity(), otherLayout), "does not fit"},
    };
    for (const Case& c : cases) {
        const std::string path = dir + "/bad.state";
        ASSERT_TRUE(romkit::writeFile(path, c.file));
        problem.clear();
        EXPECT_FALSE(loadStateFile(path, problem)) << c.name;
        EXPECT_NE(problem.find(c.says), std::string::npos) << c.name << ": " << problem;
        EXPECT_EQ(captureMachineState(), before) << c.name;
    }
    EXPECT_TRUE(loadStateFile(dir + "/good.state", problem)) << problem;
    EXPECT_EQ(captureMachineState(), payload);
}

TEST(StateFiles, AreReplacedThroughATemporaryFile) {
    const std::string dir = makeTempDir("state-files");
    const std::string path = dir + "/new/folder/x.state";
    std::string problem;
    ASSERT_TRUE(writeFileReplacing(path, std::vector<uint8_t>{1, 2, 3}, problem)) << problem;
    ASSERT_TRUE(writeFileReplacing(path, std::vector<uint8_t>{4, 5}, problem)) << problem;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(romkit::readFile(path, bytes));
    EXPECT_EQ(bytes, (std::vector<uint8_t>{4, 5}));

    // A target that cannot be replaced (a folder) keeps what it was, and no
    // temporary file is left behind.
    fs::create_directory(dir + "/new/folder/taken");
    EXPECT_FALSE(writeFileReplacing(dir + "/new/folder/taken", std::vector<uint8_t>{6}, problem));
    EXPECT_FALSE(problem.empty());
    EXPECT_TRUE(fs::is_directory(dir + "/new/folder/taken"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir + "/new/folder"), fs::directory_iterator()),
              2);
}

TEST(StateFiles, SlotsLieInTheUsersDataFolderNamedAfterTheRom) {
    const char* oldData = std::getenv("XDG_DATA_HOME");
    const char* oldHome = std::getenv("HOME");
    const std::string keptData = oldData ? oldData : "", keptHome = oldHome ? oldHome : "";
    const RomIdentity rom{0x1A2B3C4D, 0x00C0FFEE, 4096};
    setenv("XDG_DATA_HOME", "/data", 1);
    EXPECT_EQ(stateSlotPath(rom, 3), "/data/Orvex/states/1A2B3C4D-00C0FFEE.slot3.state");
    setenv("XDG_DATA_HOME", "relative", 1);
    setenv("HOME", "/home/u", 1);
    EXPECT_EQ(stateSlotPath(rom, 0),
              "/home/u/.local/share/Orvex/states/1A2B3C4D-00C0FFEE.slot0.state");
    EXPECT_EQ(nextStateSlot(9), 0);
    EXPECT_EQ(previousStateSlot(0), 9);
    auto restore = [](const char* name, const char* old, const std::string& kept) {
        old ? setenv(name, kept.c_str(), 1) : unsetenv(name);
    };
    restore("XDG_DATA_HOME", oldData, keptData);
    restore("HOME", oldHome, keptHome);
}

TEST(RomIdentity, Md5MatchesKnownDigests) {
    const std::pair<std::string, const char*> known[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"The quick brown fox jumps over the lazy dog", "9e107d9d372bb6826bd81d3542a419d6"},
        {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
        {std::string(64, 'a'), "014842d480b571495a4a0363793f7367"},
        {std::string(1000, 'x'), "398533d48111e9f664b1f64cb10c4b63"},
    };
    for (const auto& [text, digest] : known)
        EXPECT_EQ(md5Text(md5Digest(text.data(), text.size())), digest) << text.size();
}

TEST(RomIdentity, TheLogLinesNameTheFileAsItIs) {
    romkit::RomOptions options;
    options.order = romkit::ByteOrder::ByteSwapped;
    options.country = 'P';
    const std::vector<uint8_t> image = romkit::buildRom(std::vector<uint8_t>(10, 0), options);
    const std::string path = makeTempDir("identity") + "/swapped.v64";
    ASSERT_TRUE(romkit::writeFile(path, image));
    ASSERT_TRUE(loadRomImage(path.c_str()));
    const std::vector<std::string> lines = romIdentityLines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "Image size: " + std::to_string(image.size()) + " bytes");
    EXPECT_EQ(lines[1], "Byte order: byte-swapped (16-bit)");
    char crc[32];
    std::snprintf(crc, sizeof crc, "CRC 1: 0x%08X", romHeaderWord(theRom.header, 0x10));
    EXPECT_EQ(lines[2], crc);
    // The digest of the file's own bytes, not of the converted image.
    EXPECT_EQ(lines[4], "MD5: " + md5Text(md5Digest(image.data(), image.size())));
    EXPECT_EQ(lines[5], "Country: P (0x50, Europe)");
    theRom.freeImage();
}

} // namespace
