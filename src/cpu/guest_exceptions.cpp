#include "cpu/guest_exceptions.h"

#include "base/log.h"
#include "core/cpu_state.h"
#include "core/machine.h"
#include "cpu/interrupts.h"

namespace {

constexpr uint32_t SPECIAL_TGE = 0x30, SPECIAL_TGEU = 0x31, SPECIAL_TLT = 0x32, SPECIAL_TLTU = 0x33,
                   SPECIAL_TEQ = 0x34, SPECIAL_TNE = 0x36;
constexpr uint32_t SPECIAL_DSUB = 0x2E;
constexpr uint32_t OP_DADDI = 0x18;

uint64_t gpr(uint32_t n) {
    return theCpu.gpr[n & 31].value();
}

int64_t signedImmediate(uint32_t word) {
    return int16_t(word & 0xFFFF);
}

// The condition of a trap. `kind` is the SPECIAL function for the register
// forms; the immediate forms (REGIMM rt 8..14) use the same order.
bool trapCondition(uint32_t kind, uint64_t left, uint64_t right) {
    switch (kind) {
    case 0:
        return int64_t(left) >= int64_t(right);
    case 1:
        return left >= right;
    case 2:
        return int64_t(left) < int64_t(right);
    case 3:
        return left < right;
    case 4:
        return left == right;
    case 6:
        return left != right;
    default:
        return false;
    }
}

} // namespace

extern "C" {

void enterGuestException(uint32_t code, uint32_t site) {
    uint32_t& status = theCpu.cop0[COP0_STATUS];
    uint32_t& cause = theCpu.cop0[COP0_CAUSE];
    cause = (cause & ~CAUSE_EXCCODE) | ((code & 0x1F) << 2);
    if ((status & STATUS_EXL) == 0) {
        const bool inDelaySlot = (site & 1) != 0;
        const uint32_t pc = site & ~3u;
        theCpu.cop0[COP0_EPC] = inDelaySlot ? pc - 4 : pc;
        cause = inDelaySlot ? (cause | CAUSE_BD) : (cause & ~CAUSE_BD);
    }
    status |= STATUS_EXL;
    if ((status & STATUS_BEV) == 0) {
        theCpu.pc = GENERAL_EXCEPTION_VECTOR;
        return;
    }
    theCpu.pc = BOOTSTRAP_EXCEPTION_VECTOR;
    showMessage(16, "BEV==1!!!\nShould reset emulation.. Instead, I'm bailing out..");
    haltEmulation();
}

void enterAddressError(uint32_t address, uint32_t site, uint32_t store) {
    theCpu.cop0[COP0_BADVADDR] = address;
    enterGuestException(store ? EXCEPTION_ADDRESS_STORE : EXCEPTION_ADDRESS_LOAD, site);
}

void enterFetchAddressError(uint32_t pc) {
    const bool inException = (theCpu.cop0[COP0_STATUS] & STATUS_EXL) != 0;
    theCpu.cop0[COP0_BADVADDR] = pc;
    enterGuestException(EXCEPTION_ADDRESS_LOAD, pc & ~3u);
    if (!inException) theCpu.cop0[COP0_EPC] = pc;
}

uint32_t trapWhen(uint32_t word, uint32_t site) {
    const uint64_t left = gpr(word >> 21);
    bool taken;
    if ((word >> 26) == 0) {
        if ((word & 63) < SPECIAL_TGE || (word & 63) > SPECIAL_TNE) return 0;
        taken = trapCondition((word & 63) - SPECIAL_TGE, left, gpr(word >> 16));
    } else {
        const uint32_t kind = ((word >> 16) & 31) - 8;
        taken = trapCondition(kind, left, uint64_t(signedImmediate(word)));
    }
    if (!taken) return 0;
    enterGuestException(EXCEPTION_TRAP, site);
    return 1;
}

uint32_t doublewordChecked(uint32_t word, uint32_t site) {
    const uint64_t left = gpr(word >> 21);
    uint32_t destination;
    int64_t result;
    bool overflow;
    if ((word >> 26) == OP_DADDI) {
        destination = (word >> 16) & 31;
        overflow = __builtin_add_overflow(int64_t(left), signedImmediate(word), &result);
    } else {
        destination = (word >> 11) & 31;
        const int64_t right = int64_t(gpr(word >> 16));
        overflow = (word & 63) == SPECIAL_DSUB
                       ? __builtin_sub_overflow(int64_t(left), right, &result)
                       : __builtin_add_overflow(int64_t(left), right, &result);
    }
    if (overflow) {
        enterGuestException(EXCEPTION_OVERFLOW, site);
        return 1;
    }
    if (destination != 0) theCpu.gpr[destination].set(uint64_t(result));
    return 0;
}

} // extern "C"
