#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/registry.h"
#include "core/memory.h"
#include "core/rom_file.h"
#include "hle/hle_table.h"
#include "romkit/romkit.h"
#include "support/test_machine.h"
#include "system/rom_loading.h"

namespace {

std::vector<uint8_t> sampleImage(const std::string& name, romkit::ByteOrder order) {
    romkit::RomOptions options;
    options.name = name;
    options.order = order;
    options.country = 'J';
    std::vector<uint32_t> program;
    for (uint32_t i = 0; i < 64; ++i)
        program.push_back(0x01020304u * (i + 1));
    return romkit::buildRomFromWords(program, options);
}

class RomFileTest : public ::testing::Test {
  protected:
    void SetUp() override { dir_ = makeTempDir("rom"); }
    void TearDown() override {
        hleEnabled = false;
        theRom.freeImage();
    }
    std::string write(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = dir_ + "/" + name;
        EXPECT_TRUE(romkit::writeFile(path, bytes));
        return path;
    }
    std::string dir_;
    ScopedRecordingSink sink_;
};

TEST_F(RomFileTest, BothByteOrdersGiveTheSameWordsAndHeader) {
    const std::string be = write("be.z64", sampleImage("HELLO", romkit::ByteOrder::BigEndian));
    const std::string bs = write("bs.v64", sampleImage("HELLO", romkit::ByteOrder::ByteSwapped));
    ASSERT_TRUE(loadRomFile(be.c_str()));
    std::vector<uint8_t> bigEndianImage(theRom.romImage.get(),
                                        theRom.romImage.get() + theRom.romSize);
    std::vector<uint8_t> bigEndianHeader(theRom.header, theRom.header + 64);
    // Word 0 stays in file order, the boot address at 0x08 is converted.
    EXPECT_EQ(bigEndianImage[0], 0x80);
    EXPECT_EQ(bigEndianImage[1], 0x37);
    EXPECT_EQ(blockWord(theRom.romImage.get(), 0x08), 0x80001000u);
    ASSERT_TRUE(loadRomFile(bs.c_str()));
    ASSERT_EQ(theRom.romSize, bigEndianImage.size());
    EXPECT_EQ(std::memcmp(theRom.romImage.get() + 0x40, bigEndianImage.data() + 0x40,
                          theRom.romSize - 0x40),
              0);
    EXPECT_EQ(std::memcmp(theRom.header, bigEndianHeader.data(), 64), 0);
    // In a byte-swapped image the name words stay in file order.
    EXPECT_EQ(theRom.romImage.get()[0x20], 'E');
    EXPECT_EQ(theRom.romImage.get()[0x21], 'H');
    EXPECT_EQ(blockWord(theRom.romImage.get(), 0x08), 0x80001000u);

    EXPECT_STREQ(romHeaderName(theRom.header), "HELLO");
    EXPECT_EQ(romHeaderCountry(theRom.header), 'J');
    EXPECT_EQ(romHeaderWord(theRom.header, 0x08), 0x80001000u);
    EXPECT_EQ(theRom.header[0] | (theRom.header[1] << 8), 0x8037);
    // Program words read as big-endian values through host-order words.
    EXPECT_EQ(blockWord(theRom.romImage.get(), romkit::PROGRAM_OFFSET), 0x01020304u);
}

TEST_F(RomFileTest, FailuresShowTheirMessages) {
    std::vector<uint8_t> littleEndian = sampleImage("X", romkit::ByteOrder::BigEndian);
    for (size_t i = 0; i + 3 < littleEndian.size(); i += 4) {
        std::swap(littleEndian[i], littleEndian[i + 3]);
        std::swap(littleEndian[i + 1], littleEndian[i + 2]);
    }
    // A FIFO is refused before it is read (reading it would block); a sparse
    // file beyond the cartridge space is large on paper, with no disk used.
    const std::string fifo = dir_ + "/fifo.z64";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string huge = write("huge.z64", {0x80, 0x37, 0x12, 0x40});
    std::filesystem::resize_file(huge, ROM_MAX_SIZE + 4);
    struct Case {
        std::string path, says;
        bool whole; // the whole message, or how it starts
    };
    const Case cases[] = {
        {huge, "The ROM image is too large", false},
        {dir_ + "/missing.z64", "Cannot open file!", true},
        {write("empty.z64", {}), "Couldn't read from file..", true},
        {write("le.n64", littleEndian), "Invalid file-type, not a ROM image!", true},
        {dir_, "Cannot open file!\n" + dir_ + " is a directory.", true},
        {fifo, "Cannot open file!\n" + fifo + " is not a regular file", false},
    };
    for (const Case& c : cases) {
        sink_->clear();
        EXPECT_FALSE(loadRomFile(c.path.c_str())) << c.path;
        const auto messages = sink_->messages();
        ASSERT_EQ(messages.size(), 1u) << c.path;
        const std::string& text = messages[0].text;
        EXPECT_EQ(c.whole ? text : text.substr(0, c.says.size()), c.says);
        EXPECT_EQ(messages[0].flags, 0x30u) << text;
        if (c.path == huge) {
            EXPECT_EQ(theRom.romSize, 0u) << "nothing is read";
        }
    }
}

TEST_F(RomFileTest, ShortAndUnalignedFilesArePaddedWithZeros) {
    std::vector<uint8_t> tiny = {0x80, 0x37, 0x12, 0x40, 0, 0, 0, 0x0F, 0xAB};
    ASSERT_TRUE(loadRomFile(write("tiny.z64", tiny).c_str()));
    EXPECT_EQ(theRom.romSize, 4096u);
    EXPECT_EQ(blockWord(theRom.romImage.get(), 4), 0x0000000Fu);
    EXPECT_EQ(theRom.romImage.get()[0x40], 0);
    std::vector<uint8_t> odd = sampleImage("ODD", romkit::ByteOrder::BigEndian);
    odd.push_back(0x55);
    ASSERT_TRUE(loadRomFile(write("odd.z64", odd).c_str()));
    EXPECT_EQ(theRom.romSize % 4, 0u);
    EXPECT_EQ(blockWord(theRom.romImage.get(), theRom.romSize - 4), 0x55000000u);
}

TEST_F(RomFileTest, NameTrimming) {
    uint8_t block[64];
    auto header = [&](const char name[20]) {
        std::memset(block, 0, sizeof block);
        block[0] = 0x80;
        block[1] = 0x37;
        std::memcpy(block + 0x20, name, 20);
        block[0x34] = 'Z';
        EXPECT_EQ(decodeRomHeader(block), RomByteOrder::BigEndian);
        return std::string(reinterpret_cast<char*>(block + 0x20));
    };
    EXPECT_EQ(header("ABCDEFGHIJKLMNOPQRST"), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(block[0x34], 0);
    EXPECT_EQ(header("                    "), "");
    EXPECT_EQ(block[0x34], 'Z');
    EXPECT_EQ(header("GAME\xA0\xA0\xA0\xA0\xA0\xA0\xA0\xA0\xA0\xA0\xA0\xA0\xA0\xA0\xA0\xA0"),
              "GAME");
    EXPECT_EQ(header("A B                \xA0"), "A B");

    std::memset(block, 0x11, sizeof block);
    block[0] = 0x40;
    block[1] = 0x12;
    EXPECT_EQ(decodeRomHeader(block), RomByteOrder::NotAnImage);
    EXPECT_EQ(block[2], 0x11) << "a non-image is left as it was";
}

TEST_F(RomFileTest, DirectoryAndPreviousDirectory) {
    const std::string path = write("game.z64", sampleImage("G", romkit::ByteOrder::BigEndian));
    ASSERT_TRUE(loadRomFile(path.c_str()));
    EXPECT_EQ(std::string(theRom.directory), dir_ + "/");
    char stored[260] = {};
    ASSERT_TRUE(readRegValue(HKEY_CURRENT_USER, ORVEX_REGISTRY_KEY, "Previous Directory", stored,
                             sizeof stored - 1));
    EXPECT_EQ(std::string(stored), dir_ + "/");

    // Backslash paths are split at the last backslash; no separator: empty.
    loadRomFile("C:\\roms\\game.z64");
    EXPECT_STREQ(theRom.directory, "C:\\roms\\");
    loadRomFile("game-without-dir.z64");
    EXPECT_STREQ(theRom.directory, "");
}

} // namespace
