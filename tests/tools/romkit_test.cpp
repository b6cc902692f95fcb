#include <gtest/gtest.h>

#include <vector>

#include "romkit/romkit.h"
#include "support/test_machine.h"

namespace {

TEST(Romkit, ChecksumsMatchThoseOfARealCartridgeImage) {
    const std::string path = sharedRom("HelloWorldCPU16BPP320X240.N64");
    if (path.empty()) GTEST_SKIP() << "shared test ROMs absent";
    std::vector<uint8_t> image;
    ASSERT_TRUE(romkit::readFile(path, image));
    uint32_t crc1 = 0, crc2 = 0;
    romkit::headerChecksums(image, crc1, crc2);
    const uint32_t stored1 =
        (image[0x10] << 24) | (image[0x11] << 16) | (image[0x12] << 8) | image[0x13];
    const uint32_t stored2 =
        (image[0x14] << 24) | (image[0x15] << 16) | (image[0x16] << 8) | image[0x17];
    EXPECT_EQ(crc1, stored1);
    EXPECT_EQ(crc2, stored2);
}

} // namespace
