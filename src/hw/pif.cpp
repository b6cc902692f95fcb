#include "hw/pif.h"

#include <cstdint>
#include <cstring>

#include "base/log.h"
#include "core/memory.h"
#include "plugins/controller_plugin.h"

namespace {

constexpr int CONTROL_BYTE = 63;
constexpr uint8_t SLOT_COMMAND = 0xFF;
constexpr uint8_t SLOT_END = 0xFE;
constexpr uint8_t NO_ANSWER = 0x80;

// PIF RAM rests in host word order; the commands are read in guest byte order.
void swapWords(uint8_t* to, const uint8_t* from) {
    for (uint32_t i = 0; i < PIF_RAM_SIZE; i += 4) {
        to[i] = from[i + 3];
        to[i + 1] = from[i + 2];
        to[i + 2] = from[i + 1];
        to[i + 3] = from[i];
    }
}

bool channelEnabled(int channel) {
    return channel < CONTROLLER_SLOT_COUNT && controllerSlots[channel].enabled != 0;
}

// The answer the console's boot code receives on its first access.
void answerFirstAccess(uint8_t* out) {
    statusMessage("First PIF access!");
    out[2] &= 0x0F;
    std::memset(out + 4, 0, 4);
    for (int s : {8, 16, 24}) {
        out[s + 2] |= NO_ANSWER;
        std::memset(out + s + 4, 0xFF, 4);
    }
    out[32] = SLOT_END;
    out[CONTROL_BYTE] = 0;
}

// Answers the command of one slot; returns false when the scan ends here.
bool answerSlot(const uint8_t* in, uint8_t* out, int channel) {
    const int s = channel * 8;
    const uint8_t receiveLength = in[s + 2];
    switch (in[s + 3]) {
    case 0x00: // controller status
        if (receiveLength == 3 && channelEnabled(channel)) {
            const uint8_t status[4] = {0x05, 0x00, 0x02, 0xFF};
            std::memcpy(out + s + 4, status, 4);
        } else {
            out[s + 2] |= NO_ANSWER;
        }
        out[CONTROL_BYTE] = 0;
        break;
    case 0x01: // read buttons and stick
        if (receiveLength == 4 && channelEnabled(channel))
            std::memcpy(out + s + 4, &controllerSlots[channel].inputState, 4);
        else
            out[s + 2] |= NO_ANSWER;
        out[CONTROL_BYTE] = 0;
        break;
    case 0x02:
    case 0x04:
    case 0x05: // controller pak and EEPROM
        logLine("***** Implement PIF command 0x%02X *****", in[s + 3]);
        out[s + 2] |= NO_ANSWER;
        break;
    case 0x03:
        out[CONTROL_BYTE] = 0;
        if (channelEnabled(channel)) return false;
        out[s + 2] |= NO_ANSWER;
        break;
    case 0xFF: // reset
        out[CONTROL_BYTE] = 0;
        break;
    default:
        break;
    }
    return true;
}

} // namespace

void pollControllers() {
    for (CControllerPlugin& slot : controllerSlots) {
        if (slot.enabled && slot.getInput) slot.getInput(&slot.inputState);
    }
}

void processPifCommands() {
    uint8_t in[PIF_RAM_SIZE];
    uint8_t out[PIF_RAM_SIZE];
    swapWords(in, theMemory.pifRamIn);
    std::memcpy(out, in, sizeof out);
    out[CONTROL_BYTE] = 1;

    if (in[CONTROL_BYTE] == 8) {
        answerFirstAccess(out);
    } else {
        for (int channel = 0; channel < 8; ++channel) {
            const uint8_t marker = in[channel * 8];
            if (marker == SLOT_END) break;
            if (marker != SLOT_COMMAND) continue;
            if (!answerSlot(in, out, channel)) break;
        }
    }
    swapWords(theMemory.pifRamOut, out);
}
