#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "host/wav_sound_backend.h"
#include "support/test_machine.h"
#include "support/test_sound_backend.h"

namespace {

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t{b[at + 3]} << 24;
}
uint16_t le16(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}
// Creates, fills and plays one buffer; true when its end was reported.
bool playBuffer(SoundBackend& backend, uint32_t rate, const std::vector<uint8_t>& bytes) {
    auto buffer = backend.createBuffer(formatAt(rate), static_cast<uint32_t>(bytes.size()));
    if (!buffer) return false;
    auto region = buffer->lock(buffer->size());
    std::memcpy(region.data(), bytes.data(), region.size());
    buffer->unlock(region);
    bool ended = false;
    EXPECT_EQ(buffer->setEndNotification([&] { ended = true; }), 0);
    EXPECT_TRUE(buffer->play());
    return ended;
}

void expectHeader(const std::vector<uint8_t>& file, uint32_t rate, uint32_t dataBytes) {
    ASSERT_GE(file.size(), 44u);
    EXPECT_EQ(std::memcmp(file.data(), "RIFF", 4), 0);
    EXPECT_EQ(le32(file, 4), 36 + dataBytes);
    EXPECT_EQ(std::memcmp(file.data() + 8, "WAVEfmt ", 8), 0);
    EXPECT_EQ(le32(file, 16), 16u);
    EXPECT_EQ(le16(file, 20), 1u);
    EXPECT_EQ(le16(file, 22), 2u);
    EXPECT_EQ(le32(file, 24), rate);
    EXPECT_EQ(le32(file, 28), rate * 4);
    EXPECT_EQ(le16(file, 32), 4u);
    EXPECT_EQ(le16(file, 34), 16u);
    EXPECT_EQ(std::memcmp(file.data() + 36, "data", 4), 0);
    EXPECT_EQ(le32(file, 40), dataBytes);
    EXPECT_EQ(file.size(), 44u + dataBytes);
}

TEST(WavSoundBackend, WritesPlayedBuffersInOrderUnderACorrectHeader) {
    const std::string path = makeTempDir("wav") + "/out.wav";
    WavSoundBackend backend(path);
    ASSERT_TRUE(backend.open());
    EXPECT_TRUE(playBuffer(backend, 22058, {1, 2, 3, 4, 5, 6, 7, 8}));
    // A trailing part of a frame is not written.
    EXPECT_TRUE(playBuffer(backend, 22058, {9, 10, 11, 12, 13}));
    // Created but never played: not in the recording.
    ASSERT_NE(backend.createBuffer(formatAt(22058), 64), nullptr);
    backend.close();

    const auto file = readFile(path);
    expectHeader(file, 22058, 12);
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 44, file.end()),
              (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
}

TEST(WavSoundBackend, EmptyRecordingIsAValidFileAtTheDeviceRate) {
    const std::string path = makeTempDir("wav") + "/empty.wav";
    {
        WavSoundBackend backend(path);
        ASSERT_TRUE(backend.open());
    }
    expectHeader(readFile(path), 44100, 0);
}

TEST(WavSoundBackend, LaterBufferAtAnotherRateKeepsItsDuration) {
    const std::string path = makeTempDir("wav") + "/rates.wav";
    WavSoundBackend backend(path);
    ASSERT_TRUE(backend.open());
    playBuffer(backend, 32000, std::vector<uint8_t>(4 * 320, 0)); // 10 ms
    std::vector<uint8_t> fast(4 * 640);                           // 10 ms at 64000
    for (size_t i = 0; i < fast.size(); ++i)
        fast[i] = static_cast<uint8_t>(i / 4);
    playBuffer(backend, 64000, fast);
    EXPECT_EQ(backend.sampleRate(), 32000u);
    EXPECT_EQ(backend.framesWritten(), 640u);
    backend.close();
    const auto file = readFile(path);
    // Every other frame of the faster buffer, whole frames only.
    EXPECT_EQ(file[44 + 1280 + 4], 2);
    EXPECT_EQ(file[44 + 1280 + 7], 2);
}

TEST(WavSoundBackend, RefusesWhatItCannotPlayOrWrite) {
    WavSoundBackend nowhere(makeTempDir("wav") + "/missing/dir/out.wav");
    EXPECT_FALSE(nowhere.open());
    EXPECT_EQ(nowhere.createBuffer(formatAt(22050), 16), nullptr);

    WavSoundBackend backend(makeTempDir("wav") + "/out.wav");
    ASSERT_TRUE(backend.open());
    SoundFormat eightBit = formatAt(22050);
    eightBit.bitsPerSample = 8;
    EXPECT_EQ(backend.createBuffer(eightBit, 16), nullptr);
    EXPECT_EQ(backend.createBuffer(formatAt(MAX_SOUND_RATE + 1), 16), nullptr);
    EXPECT_EQ(backend.createBuffer(formatAt(22050), 0), nullptr);
}

} // namespace
