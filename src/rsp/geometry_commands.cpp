// The signal-processor commands of the display list: matrices, vertices,
// calls and returns, segment bases, triangles and the sprite box.
#include "rsp/geometry_commands.h"

#include <cstring>

#include "base/log.h"
#include "core/hw_registers.h"
#include "core/memory.h"
#include "gfx/gl_api.h"
#include "rsp/display_list_state.h"

namespace {

DisplayListState& s = theDisplayList;

constexpr uint32_t MATRIX_BYTES = 64;
constexpr uint32_t SPRITE_BYTES = 32;

// The signed 16-bit guest halfword at guest byte `offset` of a vertex record
// copied from RDRAM (halfwords lie at their address XOR 2 in the host-order
// words).
int16_t vertexHalf(const uint8_t* record, uint32_t offset) {
    int16_t value;
    std::memcpy(&value, record + (offset ^ 2), sizeof value);
    return value;
}

// The signed 16-bit guest halfword at an RDRAM offset.
int16_t rdramHalf(uint32_t offset) {
    int16_t value;
    std::memcpy(&value, theMemory.rdram + (offset ^ 2), sizeof value);
    return value;
}

// Guest halfword j of the record at an RDRAM offset: 16-bit index
// (offset / 2 + j) XOR 1 of RDRAM.
uint16_t matrixHalf(uint32_t offset, uint32_t j) {
    uint16_t value;
    std::memcpy(&value, theMemory.rdram + 2 * ((offset / 2 + j) ^ 1), sizeof value);
    return value;
}

void vertex(uint32_t index) {
    const uint8_t* v = s.vertexBuffer + index * VERTEX_BYTES;
    theGl.Vertex3f(float(vertexHalf(v, 0)), float(vertexHalf(v, 2)), float(vertexHalf(v, 4)));
}

} // namespace

void commandNothing() {}

void commandMatrix() {
    const uint32_t address = resolveSegmentedAddress(s.commandWord1);
    if ((s.commandWord0 & 0xFFFF) != MATRIX_BYTES) showMessage(0, "Size of matrix != 64!!");
    // The 32 halfwords read, with the XOR of the host word order, span these
    // bytes (4 more than the matrix when it does not start on a word).
    const uint32_t first = address & ~3u;
    const uint32_t end = 2 * (((address / 2) + 31) | 1) + 2;
    if (!insideRdram(first, end - first)) return endListOutsideRdram("The matrix", address);
    float matrix[16];
    for (uint32_t k = 0; k < 16; ++k) {
        const uint32_t whole = matrixHalf(address, k);
        const uint32_t fraction = matrixHalf(address, k + 16);
        matrix[k] = float(int32_t(whole << 16 | fraction)) * 1.52587890625e-5f;
    }
    const uint32_t p = (s.commandWord0 >> 16) & 0xFF;
    if (p > 7) return;
    const bool load = p & 2;
    if (p & 1) {
        theGl.MatrixMode(GL_PROJECTION);
    } else {
        theGl.MatrixMode(GL_MODELVIEW);
        if (p & 4) theGl.PushMatrix();
    }
    if (load)
        theGl.LoadMatrixf(matrix);
    else
        theGl.MultMatrixf(matrix);
}

void commandMoveMemory() {
    switch ((s.commandWord0 >> 16) & 0xFF) {
    case 0x96:
        showMessage(0, "Implement G_MV_TXTATT in G_MOVEMEM!");
        break;
    case 0x98:
        showMessage(0, "Implement G_MV_MATRIX_2 in G_MOVEMEM!");
        break;
    case 0x9A:
        showMessage(0, "Implement G_MV_MATRIX_3 in G_MOVEMEM!");
        break;
    case 0x9C:
        showMessage(0, "Implement G_MV_MATRIX_4 in G_MOVEMEM!");
        break;
    case 0x9E:
        showMessage(0, "Implement G_MV_MATRIX_1 in G_MOVEMEM!");
        break;
    default:
        break;
    }
}

void commandVertex() {
    const uint32_t start = (s.commandWord0 >> 16) & 0xF;
    uint32_t length = s.commandWord0 & 0xFFFF;
    const uint32_t address = resolveSegmentedAddress(s.commandWord1);
    const uint32_t room = sizeof s.vertexBuffer - start * VERTEX_BYTES;
    if (length > room) {
        logLine("G_VTX of %u bytes from vertex %u runs past the 16 vertices; %u bytes are loaded",
                length, start, room);
        length = room;
    }
    if (!insideRdram(address, length)) return endListOutsideRdram("The vertices", address);
    std::memcpy(s.vertexBuffer + start * VERTEX_BYTES, theMemory.rdram + address, length);
}

void commandDisplayList() {
    const uint32_t target = resolveSegmentedAddress(s.commandWord1);
    switch ((s.commandWord0 >> 16) & 0xFF) {
    case 0:
        // Beyond the deepest level the call is skipped.
        if (s.displayListDepth == DISPLAY_LIST_LEVELS - 1) return;
        ++s.displayListDepth;
        // The walker's advance follows: the next command run is at the target.
        s.displayListAddress = target - 8;
        s.displayListStack[s.displayListDepth] = target;
        DPC_CURRENT_REG = target;
        break;
    case 1:
        showMessage(0, "Need ''Jump to DL'' in G_DL()!");
        s.taskDone = true;
        break;
    default:
        break;
    }
}

void commandEndDisplayList() {
    if (s.displayListDepth == 0) {
        s.taskDone = true;
        return;
    }
    --s.displayListDepth;
    s.displayListAddress = s.displayListStack[s.displayListDepth];
    DPC_CURRENT_REG = s.displayListAddress;
}

void commandMoveWord() {
    const uint32_t index = s.commandWord0 & 0xFF;
    const uint32_t offset = (s.commandWord0 >> 8) & 0xFF;
    switch (index) {
    case 0x00:
        showMessage(0, "Implement G_MW_MATRIX in G_MOVEWORD()!!!");
        break;
    case 0x06:
        if (offset >= 4 * SEGMENT_COUNT) {
            logLine("G_MW_SEGMENT offset 0x%02X names no segment; ignored", offset);
            break;
        }
        s.segmentTable[offset >> 2] = s.commandWord1 & 0xFFFFFF;
        break;
    case 0x0C:
        showMessage(0, "Implement G_MW_POINTS in G_MOVEWORD()!!!");
        break;
    default:
        break;
    }
}

void commandPopMatrix() {
    theGl.MatrixMode(GL_MODELVIEW);
    theGl.PopMatrix();
}

void commandTriangle() {
    const uint32_t i = ((s.commandWord1 >> 16) & 0xFF) / 10;
    const uint32_t j = ((s.commandWord1 >> 8) & 0xFF) / 10;
    const uint32_t k = (s.commandWord1 & 0xFF) / 10;
    if (i >= VERTEX_COUNT || j >= VERTEX_COUNT || k >= VERTEX_COUNT) {
        logLine("G_TRI1 %08X names a vertex past the 16 of the buffer; skipped", s.commandWord1);
        return;
    }
    theGl.Begin(GL_TRIANGLES);
    theGl.Color3ub(255, 0, 0);
    vertex(i);
    theGl.Color3ub(0, 255, 0);
    vertex(j);
    theGl.Color3ub(0, 0, 255);
    vertex(k);
    theGl.End();
}

void commandSprite() {
    const uint32_t address = resolveSegmentedAddress(s.commandWord1);
    if (!insideRdram(address, SPRITE_BYTES)) return endListOutsideRdram("The sprite", address);
    if (s.colourImageWidth == 0.0f) {
        logLine("G_SPRITE2D_BASE before any G_SETCIMG draws nothing");
        return;
    }
    const float width = rdramHalf(address + 10), height = rdramHalf(address + 12);
    const float x = rdramHalf(address + 26), y = rdramHalf(address + 28);
    const float w = s.colourImageWidth, h = s.colourImageHeight;
    const float x0 = x / w, y0 = y / h, x1 = (x + width) / w, y1 = (y + height) / h;
    theGl.ShadeModel(GL_FLAT);
    theGl.MatrixMode(GL_PROJECTION);
    theGl.PushMatrix();
    theGl.LoadIdentity();
    theGl.Ortho(0, 1, 1, 0, -1, 1);
    theGl.MatrixMode(GL_MODELVIEW);
    theGl.PushMatrix();
    theGl.LoadIdentity();
    theGl.Begin(GL_POLYGON);
    theGl.Color3ub(128, 128, 128);
    theGl.Vertex2f(x0, y0);
    theGl.Color3ub(0, 64, 128);
    theGl.Vertex2f(x0, y1);
    theGl.Color3ub(0, 0, 64);
    theGl.Vertex2f(x1, y1);
    theGl.Color3ub(128, 0, 0);
    theGl.Vertex2f(x1, y0);
    theGl.End();
    theGl.PopMatrix();
    theGl.MatrixMode(GL_PROJECTION);
    theGl.PopMatrix();
}
