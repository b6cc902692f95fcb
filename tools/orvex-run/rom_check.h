// The runner's look at a ROM image file before it is loaded: anything that
// cannot be run is refused with one line saying why, before any of the run's
// files (log, screenshot, WAV) is written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/rom_file.h"

struct RomFileCheck {
    // "" when the file can be loaded and run.
    std::string problem;
    RomByteOrder order = RomByteOrder::NotAnImage;
    // The boot address of the header (word 0x08), as the image's boot code
    // reads it.
    uint32_t entryPoint = 0;
};

// Checks the file at `path`: a readable regular file (a directory, FIFO or
// device is refused without blocking), not empty, at most 256 MiB, with the
// mark of either byte order and a usable entry point.
RomFileCheck checkRomFile(const std::string& path);

// The checks on the first `got` bytes of a file of `fileSize` bytes (bytes
// past `got`, up to 64, read as zeros, as the loader pads short files).
RomFileCheck checkRomStart(const uint8_t* bytes, size_t got, uint64_t fileSize);
