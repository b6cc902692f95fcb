#include "cpu/block_analysis.h"

#include <cstring>

#include "cpu/compile_messages.h"

namespace {

constexpr uint32_t STACK_POINTER = 29;

uint32_t jumpTarget(uint32_t pc, uint32_t word) {
    return ((pc + 4) & 0xF0000000u) | ((word & 0x03FFFFFF) << 2);
}

} // namespace

uint32_t BlockAnalysis::applyShape(const InstructionInfo& info, uint32_t pc, uint32_t word) {
    const uint8_t shape = info.shape;
    uint32_t flags = 0;

    if (info.report != nullptr) info.report(word);
    if (shape & SHAPE_MISSING) reportMissingInstruction(pc, word);
    if (shape & SHAPE_DELAY_SLOT) countdown_ = 1;
    if ((shape & SHAPE_LIKELY) && endCheckNeeded_) flags |= STEP_END_CHECK_ON_EXIT;
    if (shape & SHAPE_IDLE_JUMP) {
        uint32_t slot = 1;
        if (count_ + 1 < wordsAvailable_) std::memcpy(&slot, source_ + size_t(count_ + 1) * 4, 4);
        if (jumpTarget(pc, word) == pc && slot == 0) flags |= STEP_IDLE_JUMP;
    }
    if ((shape & SHAPE_HLE_CALL_SITE) && hleEnabled && (pc >> 24) == 0x80) {
        const HleFunction* f = hleLookup(pc, jumpTarget(pc, word));
        if (f != nullptr && f->handler != nullptr) {
            pendingNative_ = f->handler;
            flags |= STEP_CALL_REPLACED;
        }
    }
    if ((shape & SHAPE_END_CHECK) && ((word >> 21) & 31) != STACK_POINTER) {
        endCheckNeeded_ = true;
        flags |= STEP_REQUESTS_END_CHECK;
    }
    if (shape & SHAPE_ENDS_BLOCK) countdown_ = 0;
    return flags;
}

HleHandler BlockAnalysis::closeOrResume() {
    if (pendingNative_ != nullptr && hleEnabled) {
        // The replaced function's return point: the native routine runs
        // after the delay slot, and the block goes on behind it.
        const HleHandler native = pendingNative_;
        pendingNative_ = nullptr;
        // Its hardware effects (a task start) are carried out at the end.
        endCheckNeeded_ = true;
        countdown_ = 2;
        return native;
    }
    closed_ = true;
    return nullptr;
}
