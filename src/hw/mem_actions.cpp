#include "hw/mem_actions.h"

#include <cinttypes>

#include "base/log.h"
#include "core/hw_registers.h"
#include "core/memory.h"
#include "hw/audio_output.h"
#include "hw/dma.h"
#include "hw/mem_action_bits.h"
#include "hw/pif.h"
#include "hw/register_store.h"
#include "video/frame_buffer_display.h"

namespace {

// A (clear, set) pair of a set/clear write: the clear wins.
struct ClearSetPair {
    uint32_t clear;
    uint32_t set;
    uint32_t target;
};

uint32_t applyClearWins(uint32_t value, uint32_t write, const ClearSetPair* pairs, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (write & pairs[i].clear)
            value &= ~pairs[i].target;
        else if (write & pairs[i].set)
            value |= pairs[i].target;
    }
    return value;
}

void applyMiWrites() {
    miModeWrite = latchedStore(WriteLatch::MiMode);
    miIntrMaskWrite = latchedStore(WriteLatch::MiIntrMask);
    if (miModeWrite != 0) {
        const uint32_t w = miModeWrite;
        // The init length is ORed into the low 7 bits.
        uint32_t mode = MI_MODE_REG | (w & 0x7F);
        // Each pair is tested clear first, then set, so the set wins.
        if (w & 0x80) mode &= ~0x80u;
        if (w & 0x100) mode |= 0x80;
        if (w & 0x200) mode &= ~0x100u;
        if (w & 0x400) mode |= 0x100;
        if (w & 0x800) MI_INTR_REG &= ~MI_INTR_DP;
        if (w & 0x1000) mode &= ~0x200u;
        if (w & 0x2000) mode |= 0x200;
        MI_MODE_REG = mode;
        miModeWrite = 0;
    }
    if (miIntrMaskWrite != 0) {
        static constexpr ClearSetPair maskPairs[] = {
            {0x1, 0x2, MI_INTR_SP},   {0x4, 0x8, MI_INTR_SI},     {0x10, 0x20, MI_INTR_AI},
            {0x40, 0x80, MI_INTR_VI}, {0x100, 0x200, MI_INTR_PI}, {0x400, 0x800, MI_INTR_DP},
        };
        MI_INTR_MASK_REG =
            applyClearWins(MI_INTR_MASK_REG, miIntrMaskWrite, maskPairs, std::size(maskPairs));
        miIntrMaskWrite = 0;
    }
    latchedStore(WriteLatch::MiMode) = 0;
    latchedStore(WriteLatch::MiIntrMask) = 0;
}

void applySpStatusWrite() {
    spStatusWrite = latchedStore(WriteLatch::SpStatus);
    const uint32_t w = spStatusWrite;
    static constexpr ClearSetPair statusPairs[] = {
        {0x1, 0x2, 0x0001},           {0x4, 0, 0x0002},
        {0x20, 0x40, 0x0020},         {0x80, 0x100, 0x0040},
        {0x200, 0x400, 0x0080},       {0x800, 0x1000, 0x0100},
        {0x2000, 0x4000, 0x0200},     {0x8000, 0x10000, 0x0400},
        {0x20000, 0x40000, 0x0800},   {0x80000, 0x100000, 0x1000},
        {0x200000, 0x400000, 0x2000}, {0x800000, 0x1000000, 0x4000},
    };
    SP_STATUS_REG = applyClearWins(SP_STATUS_REG, w, statusPairs, std::size(statusPairs));
    if (w & 0x8)
        MI_INTR_REG &= ~MI_INTR_SP;
    else if (w & 0x10)
        MI_INTR_REG |= MI_INTR_SP;
    // Releasing the halt bit starts no signal-processor task.
}

void applyPiStatusWrite() {
    piStatusWrite = latchedStore(WriteLatch::PiStatus);
    // Bit 0x1 (controller reset) has no effect.
    if (piStatusWrite & 0x2) MI_INTR_REG &= ~MI_INTR_PI;
    piStatusWrite = 0;
    latchedStore(WriteLatch::PiStatus) = 0;
}

void applyDpcStatusWrite() {
    dpcStatusWrite = latchedStore(WriteLatch::DpcStatus);
    static constexpr ClearSetPair statusPairs[] = {
        {0x1, 0x2, 0x1},
        {0x4, 0x8, 0x2},
        {0x10, 0x20, 0x4},
    };
    // The counter-clearing bits have no effect; the command buffer is always ready.
    DPC_STATUS_REG =
        applyClearWins(DPC_STATUS_REG, dpcStatusWrite, statusPairs, std::size(statusPairs)) | 0x80;
}

void newFrameSource() {
    const uint32_t offset = VI_ORIGIN_REG & 0x1FFFFFFF;
    if (offset >= RDRAM_SIZE) {
        // A frame outside RDRAM cannot be shown; the display keeps the last one.
        logLine("VI_ORIGIN_REG 0x%08X lies outside RDRAM; frame source unchanged", VI_ORIGIN_REG);
        return;
    }
    uint8_t* source = theMemory.rdram + offset;
    if (source != theFrameBufferDisplay.frameSource) theFrameBufferDisplay.frameSource = source;
}

void newFrameMode() {
    const uint32_t pixelType = VI_STATUS_REG & 3;
    if (pixelType == 1) {
        logLine("Unhandled bit-mode when VI_WIDTH_REG set! (bpp=%i)", int(pixelType));
        return;
    }
    setFrameMode(pixelType == 3 ? 0x32 : 0x16, VI_WIDTH_REG);
}

} // namespace

extern "C" void processMemActions() {
    uint32_t& actions = mem_actions[0];

    if (actions & ACTION_GROUP_STATUS) {
        if (actions & ACTION_MI) {
            applyMiWrites();
            actions &= ~ACTION_MI;
        }
        if (actions & ACTION_SP_STATUS) {
            applySpStatusWrite();
            actions &= ~ACTION_SP_STATUS;
        }
        if (actions & ACTION_PI_STATUS) {
            applyPiStatusWrite();
            actions &= ~ACTION_PI_STATUS;
        }
        if (actions & ACTION_DPC_STATUS) {
            applyDpcStatusWrite();
            actions &= ~ACTION_DPC_STATUS;
        }
    }

    if (actions & ACTION_GROUP_TRANSFER) {
        if (actions & ACTION_AI_LEN) queueAudio();
        if (actions & ACTION_PI_DMA_WRITE) piDmaWrite();
        if (actions & ACTION_PI_DMA_READ) piDmaRead();
        if (actions & ACTION_SP_DMA) spDma();
        if (actions & ACTION_SI_DMA_WRITE) siDmaWrite();
        if (actions & ACTION_SI_DMA_READ) {
            // The commands are answered between the guest's write and read
            // transfers, whatever the order of its stores.
            pollControllers();
            processPifCommands();
            siDmaRead();
        }
        actions &= ~ACTION_GROUP_TRANSFER;
    }

    if (actions & ACTION_GROUP_DISPLAY) {
        if (actions & ACTION_VI_ORIGIN) newFrameSource();
        if (actions & ACTION_VI_WIDTH) newFrameMode();
        actions &= ~ACTION_GROUP_DISPLAY;
    }

    const uint64_t left = (uint64_t(mem_actions[1]) << 32) | mem_actions[0];
    if (left != 0) showMessage(0, "Some mem_actions weren't processed:\n0x%016" PRIX64, left);
    mem_actions[0] = 0;
    mem_actions[1] = 0;
}
