#include "core/rom_file.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <utility>

#include "base/log.h"
#include "base/regular_file.h"

RomFile theRom;

namespace {

constexpr size_t IMAGE_SLACK = 8;

void swapBytes(uint8_t* block, size_t a, size_t b) {
    std::swap(block[a], block[b]);
}

void reverseWord(uint8_t* block, size_t offset) {
    swapBytes(block, offset, offset + 3);
    swapBytes(block, offset + 1, offset + 2);
}

void swapHalves(uint8_t* block, size_t offset) {
    swapBytes(block, offset, offset + 2);
    swapBytes(block, offset + 1, offset + 3);
}

void trimName(uint8_t* block) {
    const bool lastWasFiller = int8_t(block[0x20 + 19]) < 33;
    for (int i = 19; i >= 0 && int8_t(block[0x20 + i]) < 33; --i)
        block[0x20 + i] = 0;
    if (!lastWasFiller) block[0x34] = 0;
}

// Converts the image in place to host-order words.
void convertImage(uint8_t* image, size_t size, RomByteOrder order) {
    static const size_t bigEndianHeaderWords[] = {0x04, 0x08, 0x10, 0x14, 0x20,
                                                  0x24, 0x28, 0x2C, 0x30};
    static const size_t byteSwappedHeaderWords[] = {0x04, 0x08, 0x10, 0x14};
    if (order == RomByteOrder::BigEndian) {
        for (size_t offset : bigEndianHeaderWords)
            reverseWord(image, offset);
        for (size_t offset = 0x40; offset + 4 <= size; offset += 4)
            reverseWord(image, offset);
    } else {
        for (size_t offset : byteSwappedHeaderWords)
            swapHalves(image, offset);
        for (size_t offset = 0x40; offset + 4 <= size; offset += 4)
            swapHalves(image, offset);
    }
}

void setPathAndDirectory(const char* path) {
    std::snprintf(theRom.path, sizeof theRom.path, "%s", path);
    const char* separator = std::strrchr(theRom.path, '\\');
    if (!separator) separator = std::strrchr(theRom.path, '/');
    size_t length = separator ? size_t(separator - theRom.path) + 1 : 0;
    if (length >= sizeof theRom.directory) length = sizeof theRom.directory - 1;
    std::memcpy(theRom.directory, theRom.path, length);
    theRom.directory[length] = 0;
}

// Files are padded to a whole number of words and at least the header's 4096
// bytes.
size_t paddedImageSize(size_t fileSize) {
    const size_t size = (fileSize + 3) & ~size_t(3);
    return size < ROM_HEADER_SIZE ? ROM_HEADER_SIZE : size;
}

// Frees the previous image and allocates a zeroed one of `size` bytes (and
// the spare bytes) as theRom's.
bool allocateImage(size_t size) {
    theRom.freeImage();
    std::unique_ptr<uint8_t[]> image(new (std::nothrow) uint8_t[size + IMAGE_SLACK]());
    if (!image) {
        showMessage(0x10, "Not enough memory to load the ROM image (%zu bytes).", size);
        return false;
    }
    theRom.romImage = std::move(image);
    theRom.romSize = uint32_t(size);
    return true;
}

// Decodes the header of the image in theRom and converts the image.
bool decodeImage() {
    std::memcpy(theRom.header, theRom.romImage.get(), ROM_HEADER_SIZE);
    const RomByteOrder order = decodeRomHeader(theRom.header);
    if (order == RomByteOrder::NotAnImage) {
        showMessage(0x10, "Invalid file-type, not a ROM image!");
        return false;
    }
    convertImage(theRom.romImage.get(), theRom.romSize, order);
    theRom.byteOrder = order;
    return true;
}

} // namespace

uint32_t romHeaderWord(const uint8_t* decoded, size_t offset) {
    uint32_t value;
    std::memcpy(&value, decoded + offset, 4);
    return value;
}

RomByteOrder decodeRomHeader(uint8_t* block) {
    const uint16_t mark = uint16_t(block[0] | (block[1] << 8));
    static const size_t headerWords[] = {0x04, 0x08, 0x0C, 0x10, 0x14, 0x38};
    RomByteOrder order;
    if (mark == 0x8037) {
        swapBytes(block, 2, 3);
        for (size_t offset : headerWords)
            swapHalves(block, offset);
        swapBytes(block, 0x3E, 0x3F);
        for (size_t offset = 0x20; offset < 0x34; offset += 2)
            swapBytes(block, offset, offset + 1);
        order = RomByteOrder::ByteSwapped;
    } else if (mark == 0x3780) {
        swapBytes(block, 0, 1);
        for (size_t offset : headerWords)
            reverseWord(block, offset);
        swapBytes(block, 0x3C, 0x3D);
        order = RomByteOrder::BigEndian;
    } else {
        return RomByteOrder::NotAnImage;
    }
    trimName(block);
    return order;
}

bool loadRomImage(const char* path) {
    setPathAndDirectory(path);
    // Only a regular file is read: a directory, FIFO or device is refused
    // before anything is read from it (a FIFO would block for ever).
    FileProblem problem = FileProblem::None;
    uint64_t fileSize = 0;
    int error = 0;
    FILE* file = openRegularFileStream(path, problem, fileSize, &error);
    if (!file) {
        if (problem == FileProblem::Missing)
            showMessage(0x10, "Cannot open file!");
        else if (problem == FileProblem::Unreadable)
            showMessage(0x10, "Cannot open file!\n%s: %s", path, std::strerror(error));
        else
            showMessage(0x10, "Cannot open file!\n%s %s.", path, fileProblemText(problem));
        return false;
    }
    if (fileSize > ROM_MAX_SIZE) {
        std::fclose(file);
        showMessage(0x10,
                    "The ROM image is too large (%llu bytes); the cartridge space holds "
                    "at most 256 MiB.",
                    static_cast<unsigned long long>(fileSize));
        return false;
    }
    if (fileSize == 0) {
        std::fclose(file);
        showMessage(0, "Couldn't read from file..");
        return false;
    }

    const size_t size = paddedImageSize(size_t(fileSize));
    if (!allocateImage(size)) {
        std::fclose(file);
        return false;
    }
    const size_t got = std::fread(theRom.romImage.get(), 1, size_t(fileSize), file);
    std::fclose(file);
    if (got == 0) {
        showMessage(0, "Couldn't read from file..");
        return false;
    }
    theRom.fileSize = got;
    theRom.fileMd5 = md5Digest(theRom.romImage.get(), got);
    if (!decodeImage()) return false;

    return true;
}
