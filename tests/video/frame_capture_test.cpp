#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "core/hw_registers.h"
#include "core/memory.h"
#include "support/test_machine.h"
#include "video/frame_capture.h"
#include "video/png_writer.h"

namespace {

TEST(FrameCaptureTest, SixteenAndThirtyTwoBitPixelsClippedAtTheEndOfRdram) {
    resetBareMachine();
    VI_ORIGIN_REG = 0xA0100000; // the address's upper bits do not matter
    setGuestWord(0x100000, 0xFFFF'F800);
    setGuestWord(0x100004, 0x07C1'0842);
    GuestImage image = captureGuestFrame(2, 4, true);
    ASSERT_EQ(image.height, 3u);
    ASSERT_EQ(image.pixels.size(), 4u * 3 * 4);
    const std::vector<uint8_t> first(image.pixels.begin(), image.pixels.begin() + 16);
    EXPECT_EQ(first, (std::vector<uint8_t>{255, 255, 255, 255, 255, 0, 0, 0, //
                                           0, 255, 0, 255, 8, 8, 8, 0}));

    setGuestWord(0x100000, 0x11223344);
    image = captureGuestFrame(3, 4);
    EXPECT_EQ(image.channels, 3u);
    EXPECT_EQ(image.pixels[0], 0x11);
    EXPECT_EQ(image.pixels[1], 0x22);
    EXPECT_EQ(image.pixels[2], 0x33);

    EXPECT_TRUE(captureGuestFrame(2, 0).pixels.empty());
    EXPECT_TRUE(captureGuestFrame(2, 0x10000).pixels.empty());

    // Clipped at the end of RDRAM.
    setGuestWord(RDRAM_SIZE - 4, 0xFFFF'FFFF);
    VI_ORIGIN_REG = RDRAM_SIZE - 4;
    image = captureGuestFrame(2, 320);
    ASSERT_EQ(image.pixels.size(), 320u * 240 * 3);
    EXPECT_EQ(image.pixels[5], 255);
    EXPECT_EQ(image.pixels[6], 0);
    EXPECT_EQ(image.pixels.back(), 0);

    VI_ORIGIN_REG = 0x00FFFFF0; // beyond RDRAM altogether: a black picture
    image = captureGuestFrame(3, 320);
    EXPECT_EQ(std::count(image.pixels.begin(), image.pixels.end(), 0), long(image.pixels.size()));
}

// An independent reading of a PNG made of stored deflate blocks.
struct DecodedPng {
    uint32_t width = 0, height = 0, colourType = 0;
    std::vector<uint8_t> scanLines;
};

uint32_t be32(const uint8_t* p) {
    return (p[0] << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

uint32_t bitwiseCrc(const uint8_t* p, size_t n) {
    uint32_t c = 0xFFFFFFFF;
    for (size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320 & (0 - (c & 1)));
    }
    return ~c;
}

bool decodeStoredPng(const std::vector<uint8_t>& png, DecodedPng& out) {
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (png.size() < 8 || !std::equal(signature, signature + 8, png.begin())) return false;
    std::vector<uint8_t> z;
    size_t at = 8;
    bool ended = false;
    while (at + 12 <= png.size() && !ended) {
        const uint32_t len = be32(&png[at]);
        const std::string type(png.begin() + at + 4, png.begin() + at + 8);
        if (at + 12 + len > png.size()) return false;
        if (bitwiseCrc(&png[at + 4], len + 4) != be32(&png[at + 8 + len])) return false;
        const uint8_t* data = &png[at + 8];
        if (type == "IHDR") {
            out.width = be32(data);
            out.height = be32(data + 4);
            out.colourType = data[9];
        } else if (type == "IDAT") {
            z.insert(z.end(), data, data + len);
        } else if (type == "IEND") {
            ended = true;
        }
        at += 12 + len;
    }
    if (!ended || z.size() < 6 || ((z[0] << 8) | z[1]) % 31 != 0) return false;
    size_t p = 2;
    for (bool last = false; !last;) {
        if (p + 5 > z.size()) return false;
        last = z[p] & 1;
        const uint32_t len = z[p + 1] | (z[p + 2] << 8);
        if ((len ^ 0xFFFF) != uint32_t(z[p + 3] | (z[p + 4] << 8))) return false;
        out.scanLines.insert(out.scanLines.end(), z.begin() + p + 5, z.begin() + p + 5 + len);
        p += 5 + len;
    }
    uint32_t a = 1, b = 0;
    for (uint8_t v : out.scanLines)
        a = (a + v) % 65521, b = (b + a) % 65521;
    return p + 4 == z.size() && be32(&z[p]) == ((b << 16) | a);
}

TEST(PngWriterTest, WritesReadableImages) {
    // Large enough for several stored blocks.
    for (uint32_t channels : {3u, 4u}) {
        const uint32_t w = 200, h = 150;
        std::vector<uint8_t> pixels(size_t(w) * h * channels);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = uint8_t(i * 7 + i / 13);
        const std::string path = makeTempDir("png") + "/picture.png";
        ASSERT_TRUE(writePng(path, w, h, channels, pixels));
        std::ifstream in(path, std::ios::binary);
        const std::vector<uint8_t> png((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
        DecodedPng decoded;
        ASSERT_TRUE(decodeStoredPng(png, decoded));
        EXPECT_EQ(decoded.width, w);
        EXPECT_EQ(decoded.height, h);
        EXPECT_EQ(decoded.colourType, channels == 4 ? 6u : 2u);
        ASSERT_EQ(decoded.scanLines.size(), size_t(w * channels + 1) * h);
        for (uint32_t y : {0u, 77u, h - 1}) {
            const uint8_t* line = &decoded.scanLines[size_t(w * channels + 1) * y];
            EXPECT_EQ(line[0], 0);
            EXPECT_TRUE(std::equal(line + 1, line + 1 + w * channels,
                                   pixels.begin() + size_t(w) * channels * y));
        }
    }
    EXPECT_TRUE(encodePng(0, 1, 3, {}).empty());
    EXPECT_TRUE(encodePng(1, 1, 2, {0, 0}).empty());
    EXPECT_TRUE(encodePng(2, 2, 3, std::vector<uint8_t>(11)).empty());
    EXPECT_FALSE(writePng("/nonexistent-dir/x.png", 1, 1, 3, {1, 2, 3}));
}

} // namespace
