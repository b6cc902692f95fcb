// System-control coprocessor: moves to and from the COP0 registers, the TLB
// instructions and ERET. COP0 registers are plain words here; moving one has
// no side effect (the timer and the interrupts are handled between blocks).
#include "core/cpu_state.h"
#include "core/tlb.h"
#include "cpu/recompiler/compile_state.h"
#include "cpu/recompiler/translators.h"
#include "cpu/x64/emitter.h"

using namespace x86;

namespace {

CompileState& cs() {
    return compileState;
}

uint32_t* cop0(unsigned n) {
    return &theCpu.cop0[n & 31];
}

// Points RDX at TLB entry Index; the returned jump skips the rest of the
// instruction's code when Index is 32 or more (patch it at the end).
uint8_t* emitPointAtIndexedEntry() {
    movRegAbs(EDX, cop0(COP0_INDEX));
    cmpRegImm(EDX, TLB_ENTRIES);
    uint8_t* outOfRange = jccShort(JAE, 0);
    shlRegImm(EDX, 5); // sizeof(TlbEntry); zero-extends into RDX
    leaRcxAbs(tlb);
    addRdxRcx();
    return outOfRange;
}

constexpr int8_t ENTRY_LL = 0, ENTRY_LH = 4, ENTRY_HL = 8, ENTRY_HH = 12;

} // namespace

void translateMfc0() {
    // Only the low word of rt is written; its high word keeps its value.
    if (cs().rt == 0) return;
    movRegAbs(EAX, cop0(cs().rd));
    movAbsReg(gprLo(cs().rt), EAX);
}

void translateMtc0() {
    if (cs().rt == 0) {
        movAbsImm(cop0(cs().rd), 0);
        return;
    }
    movRegAbs(EAX, gprLo(cs().rt));
    movAbsReg(cop0(cs().rd), EAX);
    nop();
}

void translateTlbwi() {
    uint8_t* outOfRange = emitPointAtIndexedEntry();
    // ll and lh: the EntryLo registers without their global bits.
    movRegAbs(EAX, cop0(COP0_ENTRYLO0));
    andRegImm(EAX, 0xFFFFFFFE);
    movPtrRdxReg(ENTRY_LL, EAX);
    movRegAbs(EAX, cop0(COP0_ENTRYLO1));
    andRegImm(EAX, 0xFFFFFFFE);
    movPtrRdxReg(ENTRY_LH, EAX);
    // hl: EntryHi without the page mask's bits and the ASID's upper bits;
    // both global bits ANDed into bit 12.
    movRegAbs(EAX, cop0(COP0_PAGEMASK));
    notReg(EAX);
    andRegAbs(EAX, cop0(COP0_ENTRYHI));
    andRegImm(EAX, 0xFFFFE0FF);
    movRegAbs(ECX, cop0(COP0_ENTRYLO0));
    andRegAbs(ECX, cop0(COP0_ENTRYLO1));
    andRegImm(ECX, 1);
    shlRegImm(ECX, 12);
    orRegReg(EAX, ECX);
    movPtrRdxReg(ENTRY_HL, EAX);
    movRegAbs(EAX, cop0(COP0_PAGEMASK));
    movPtrRdxReg(ENTRY_HH, EAX);
    callRel32(reinterpret_cast<const void*>(&tlbWriteIndexed));
    patchShortJumpHere(outOfRange);
}

void translateTlbr() {
    // The inverse of TLBWI's folding: the global bit kept in hl bit 12 goes
    // back into both EntryLo registers and leaves EntryHi.
    uint8_t* outOfRange = emitPointAtIndexedEntry();
    movRegPtrRdx(EAX, ENTRY_HH);
    movAbsReg(cop0(COP0_PAGEMASK), EAX);
    movRegPtrRdx(ECX, ENTRY_HL);
    movRegReg(EAX, ECX);
    andRegImm(EAX, 0xFFFFEFFF);
    movAbsReg(cop0(COP0_ENTRYHI), EAX);
    shrRegImm(ECX, 12);
    andRegImm(ECX, 1);
    movRegPtrRdx(EAX, ENTRY_LL);
    orRegReg(EAX, ECX);
    movAbsReg(cop0(COP0_ENTRYLO0), EAX);
    movRegPtrRdx(EAX, ENTRY_LH);
    orRegReg(EAX, ECX);
    movAbsReg(cop0(COP0_ENTRYLO1), EAX);
    patchShortJumpHere(outOfRange);
}

void translateTlbp() {
    // No search is made: the probe always answers entry 30.
    movAbsImm(cop0(COP0_INDEX), 30);
}

void translateProbeTlb() {
    callRel32(reinterpret_cast<const void*>(&probeTlb));
}

void translateTlbwr() {
    callRel32(reinterpret_cast<const void*>(&writeTlbEntryRandom));
}

void translateEret() {
    // With ERL set: pc = ErrorEPC and ERL cleared; otherwise pc = EPC and EXL
    // cleared. Cause then becomes the sign of the new Status, which clears
    // every pending bit and the exception code.
    movRegAbs(EAX, cop0(COP0_STATUS));
    andRegImm(EAX, 0x4);
    testEaxZero();
    uint8_t* notErl = jccShort(JE, 0);
    movRegAbs(EAX, cop0(COP0_ERROREPC));
    movAbsReg(&theCpu.pc, EAX);
    movRegAbs(EAX, cop0(COP0_STATUS));
    andRegImm(EAX, 0xFFFFFFFB);
    uint8_t* store = jmpShort(0);
    patchShortJumpHere(notErl);
    movRegAbs(EAX, cop0(COP0_EPC));
    movAbsReg(&theCpu.pc, EAX);
    movRegAbs(EAX, cop0(COP0_STATUS));
    andRegImm(EAX, 0xFFFFFFFD);
    patchShortJumpHere(store);
    cdq();
    movAbsReg(cop0(COP0_STATUS), EAX);
    movAbsReg(cop0(COP0_CAUSE), EDX);
}
