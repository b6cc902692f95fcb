#include "hw/mem_actions.h"

#include <cinttypes>

#include "base/log.h"
#include "core/memory.h"
#include "hw/audio_output.h"
#include "hw/dma.h"
#include "hw/dp.h"
#include "hw/mem_action_bits.h"
#include "hw/mi.h"
#include "hw/pi.h"
#include "hw/pif.h"
#include "hw/sp.h"
#include "hw/vi.h"

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
        if (actions & ACTION_VI_ORIGIN) applyNewFrameSource();
        if (actions & ACTION_VI_WIDTH) applyNewFrameMode();
        actions &= ~ACTION_GROUP_DISPLAY;
    }

    const uint64_t left = (uint64_t(mem_actions[1]) << 32) | mem_actions[0];
    if (left != 0) showMessage(0, "Some mem_actions weren't processed:\n0x%016" PRIX64, left);
    mem_actions[0] = 0;
    mem_actions[1] = 0;
}
