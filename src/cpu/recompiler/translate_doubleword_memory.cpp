// The complete machine's loads and stores beyond the design's. LWU reads its
// word inline like LW; the merges and the linked forms call native routines
// with (rt, address), as LWL and SWL do.
#include "core/load_linked.h"
#include "core/memory_map.h"
#include "cpu/recompiler/compile_state.h"
#include "cpu/recompiler/native_doubleword.h"
#include "cpu/recompiler/translate_doubleword.h"
#include "cpu/recompiler/translators.h"
#include "cpu/x64/emitter.h"

using namespace x86;

namespace {

CompileState& cs() {
    return compileState;
}

void emitNativeAccess(void (*routine)(uint32_t, uint32_t)) {
    emitEffectiveAddress();
    movRegReg(ESI, EAX);
    movRegImm(EDI, cs().rt);
    callRel32(reinterpret_cast<const void*>(routine));
}

} // namespace

void translateLwu() {
    emitEffectiveAddress();
    movRegReg(EDI, EAX);
    callRel32(reinterpret_cast<const void*>(&memRead));
    movEaxPtrRax();
    const unsigned rt = cs().rt;
    if (rt == 0) return;
    movAbsReg(gprLo(rt), EAX);
    movAbsImm(gprHi(rt), 0);
}

void translateLwrWide() {
    emitNativeAccess(loadWordRightWide);
}
void translateLdl() {
    emitNativeAccess(loadDoublewordLeft);
}
void translateLdr() {
    emitNativeAccess(loadDoublewordRight);
}
void translateSdl() {
    emitNativeAccess(storeDoublewordLeft);
}
void translateSdr() {
    emitNativeAccess(storeDoublewordRight);
}
void translateLl() {
    emitNativeAccess(loadLinkedWord);
}
void translateLld() {
    emitNativeAccess(loadLinkedDoubleword);
}
void translateSc() {
    emitNativeAccess(storeConditionalWord);
}
void translateScd() {
    emitNativeAccess(storeConditionalDoubleword);
}

void emitClearLoadLinked() {
    movAbsImm(&loadLinkedBit, 0);
}

void translateEretClearingLink() {
    emitClearLoadLinked();
    translateEret();
}
