// ROM images: reading a cartridge image file, telling its byte order, and
// decoding its 64-byte header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "base/md5.h"

constexpr size_t ROM_HEADER_SIZE = 4096;
constexpr size_t ROM_PATH_SIZE = 256;
constexpr size_t ROM_DIRECTORY_SIZE = 250;
// Largest image the cartridge address space reaches (PI_CART_ADDR_REG & 0x0FFFFFFF).
constexpr uint64_t ROM_MAX_SIZE = 0x10000000;

enum class RomByteOrder { NotAnImage, BigEndian, ByteSwapped };

struct RomFile {
    alignas(4) uint8_t header[ROM_HEADER_SIZE] = {};
    // The whole image as host-order words; its allocation carries a few spare
    // zero bytes past romSize so that a doubleword at the last word stays inside.
    std::unique_ptr<uint8_t[]> romImage;
    uint32_t romSize = 0;
    char path[ROM_PATH_SIZE] = {};
    char directory[ROM_DIRECTORY_SIZE] = {};
    // How the file was: its byte order, its size before padding and the MD5
    // of its bytes as they stand in it, so that a log names the very file.
    RomByteOrder byteOrder = RomByteOrder::NotAnImage;
    uint64_t fileSize = 0;
    Md5Digest fileMd5{};

    // Frees the image (the end of an emulation run).
    void freeImage() {
        romImage.reset();
        romSize = 0;
    }
};

extern RomFile theRom;

// Decodes, in place, a block holding at least the first 64 bytes of an image
// as they stand in the file. Leaves the block unchanged for a non-image.
RomByteOrder decodeRomHeader(uint8_t* block);

// Reads the image at `path` into theRom; shows a message and returns false on
// failure. Files shorter than 4096 bytes or not a multiple of 4 bytes long are
// padded with zeros. (loadRomFile, in system/, also reads the symbol file.)
bool loadRomImage(const char* path);

// Decoded header fields.
// The internal name, zero-terminated, from a decoded header.
inline const char* romHeaderName(const uint8_t* decoded) {
    return reinterpret_cast<const char*>(decoded + 0x20);
}
inline char romHeaderCountry(const uint8_t* decoded) {
    return char(decoded[0x3E]);
}
uint32_t romHeaderWord(const uint8_t* decoded, size_t offset);
