// Display lists written into RDRAM and run as graphics tasks on the headless
// OpenGL context, with the frames read back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "gfx/egl_offscreen_surface.h"
#include "support/test_machine.h"

// A list of 64-bit commands written from an RDRAM offset on.
class ListWriter {
  public:
    explicit ListWriter(uint32_t start) : start_(start), at_(start) {}
    ListWriter& operator()(uint32_t word0, uint32_t word1 = 0);
    uint32_t start() const { return start_; }
    uint32_t end() const { return at_; }

  private:
    uint32_t start_;
    uint32_t at_;
};

inline ListWriter writeList(uint32_t start) {
    return ListWriter(start);
}

// Command words.
uint32_t setColourImage(uint32_t widthField);
uint32_t fillRectangle(uint32_t lrx, uint32_t lry);
uint32_t fillUpperLeft(uint32_t ulx, uint32_t uly);
constexpr uint32_t END_DL = 0xB8000000;
constexpr uint32_t FULL_SYNC = 0xE9000000;
constexpr uint32_t SET_FILL_COLOUR = 0xF7000000;

// A 4x4 matrix of 16.16 fixed-point elements written at an RDRAM offset in the
// guest's layout (integer halves, then fraction halves).
void writeMatrix(uint32_t offset, const double (&elements)[16]);
// Guest vertex records (x, y, z) written at an RDRAM offset.
void writeVertices(uint32_t offset, const std::vector<std::vector<int16_t>>& xyz);
// Writes a task record into DMEM.
void writeTaskRecord(uint32_t type, uint32_t dataPointer, uint32_t dataSize);

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Rgb& c);

// A machine without a ROM image, no display list state, the frame display on.
void resetGraphicsMachine();

class GlTaskTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // Runs a graphics task whose list starts at `start`.
    void runGraphicsTask(uint32_t start, uint32_t size = 8);
    // Pixel of the last frame swapped, (0, 0) at the top left.
    Rgb pixel(uint32_t x, uint32_t y) const;

    ScopedRecordingSink sink;
    EglOffscreenSurface surface;
};
