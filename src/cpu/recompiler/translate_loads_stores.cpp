// Loads and stores. Every access passes the guest virtual address to memRead
// or memWrite and goes through the host pointer they return; byte and
// halfword addresses are XORed with 3 and 2 first (guest memory is held as
// host-order words). Doublewords are two words, the high one first.
#include "core/cpu_state.h"
#include "core/machine_mode.h"
#include "core/memory_map.h"
#include "cpu/recompiler/code_pages.h"
#include "cpu/recompiler/compile_state.h"
#include "cpu/recompiler/native_routines.h"
#include "cpu/recompiler/translators.h"
#include "cpu/x64/emitter.h"

using namespace x86;

namespace {

CompileState& cs() {
    return compileState;
}

const void* routine(uint8_t* (*f)(uint32_t)) {
    return reinterpret_cast<const void*>(f);
}
const void* routine(void (*f)(uint32_t, uint32_t)) {
    return reinterpret_cast<const void*>(f);
}

// EAX = the effective address, then the byte or halfword XOR.
void emitAddress(uint32_t xorMask) {
    emitEffectiveAddress();
    if (xorMask) xorEaxImm(xorMask);
}

// RAX = host pointer for the address in EAX.
void emitTranslate(uint8_t* (*translate)(uint32_t)) {
    movRegReg(EDI, EAX);
    callRel32(routine(translate));
}

void emitLoad(uint32_t xorMask, void (*access)(), bool signExtend) {
    emitAddress(xorMask);
    emitTranslate(memRead);
    access();
    const unsigned rt = cs().rt;
    if (signExtend) {
        emitStoreEaxSignExtended(rt);
    } else if (rt != 0) {
        movAbsReg(gprLo(rt), EAX);
        movAbsImm(gprHi(rt), 0);
    }
}

// lowWord receives the word at pointer + 4, highWord (when not null) the
// word at the pointer.
void emitLoadDoubleword(uint32_t* lowWord, uint32_t* highWord) {
    emitAddress(0);
    emitTranslate(memRead);
    movRcxRax();
    addRaxImm8(4);
    movEaxPtrRax();
    if (lowWord) movAbsReg(lowWord, EAX);
    if (highWord) {
        movRaxRcx();
        movEaxPtrRax();
        movAbsReg(highWord, EAX);
    }
}

// The complete machine's stores also discard translated code they overwrite.
uint8_t* (*storeRoutine())(uint32_t) {
    return completeMachine() ? memWriteTracked : memWrite;
}

void emitStore(uint32_t xorMask, const uint32_t* source, void (*access)()) {
    emitAddress(xorMask);
    emitTranslate(storeRoutine());
    movRegAbs(ECX, source);
    access();
}

// highWord (when not null) goes to the address, lowWord to address + 4.
void emitStoreDoubleword(const uint32_t* highWord, const uint32_t* lowWord) {
    emitAddress(0);
    emitTranslate(storeRoutine());
    if (highWord) {
        movRegAbs(ECX, highWord);
        movPtrRaxEcx();
    }
    addRaxImm8(4);
    movRegAbs(ECX, lowWord);
    movPtrRaxEcx();
}

// LWL, LWR, SWL, SWR: the merge routine gets (rt, address).
void emitMerge(void (*merge)(uint32_t, uint32_t)) {
    emitAddress(0);
    movRegReg(ESI, EAX);
    movRegImm(EDI, cs().rt);
    callRel32(routine(merge));
}

} // namespace

void translateLb() {
    emitLoad(3, movsxEaxBytePtrRax, true);
}
void translateLh() {
    emitLoad(2, movsxEaxWordPtrRax, true);
}
void translateLw() {
    emitLoad(0, movEaxPtrRax, true);
}
void translateLbu() {
    emitLoad(3, movzxEaxBytePtrRax, false);
}
void translateLhu() {
    emitLoad(2, movzxEaxWordPtrRax, false);
}

void translateLd() {
    const unsigned rt = cs().rt;
    if (rt == 0) {
        emitLoadDoubleword(nullptr, nullptr);
        return;
    }
    emitLoadDoubleword(gprLo(rt), gprHi(rt));
}

void translateLwl() {
    emitMerge(loadWordLeft);
}
void translateLwr() {
    emitMerge(loadWordRight);
}

void translateLwc1() {
    emitAddress(0);
    emitTranslate(memRead);
    movEaxPtrRax();
    movAbsReg(&theCpu.fpr[cs().rt], EAX);
}

void translateLdc1() {
    // A pair starting at register 31 has no upper register: only fpr[31]
    // takes its word, no state past the register file is touched.
    const unsigned ft = cs().rt;
    emitLoadDoubleword(&theCpu.fpr[ft], ft < 31 ? &theCpu.fpr[ft + 1] : nullptr);
}

void translateSb() {
    emitStore(3, gprLo(cs().rt), movPtrRaxCl);
}

void translateSh() {
    emitStore(2, gprLo(cs().rt), movPtrRaxCx);
}

void translateSw() {
    emitStore(0, gprLo(cs().rt), movPtrRaxEcx);
}

void translateSd() {
    emitStoreDoubleword(gprHi(cs().rt), gprLo(cs().rt));
}

void translateSwl() {
    emitMerge(storeWordLeft);
}

void translateSwr() {
    emitMerge(storeWordRight);
}

void translateSwc1() {
    emitStore(0, &theCpu.fpr[cs().rt], movPtrRaxEcx);
}

void translateSdc1() {
    const unsigned ft = cs().rt;
    emitStoreDoubleword(ft < 31 ? &theCpu.fpr[ft + 1] : nullptr, &theCpu.fpr[ft]);
}
