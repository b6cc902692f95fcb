// Immediate and register arithmetic and logic. Most of it follows the 32-bit
// model: the low words of the operands, a sign-extended 32-bit result. AND,
// OR, NOR, SLT(I)(U) and the copies of ORI and OR use whole 64-bit values.
// ADD, ADDI and SUB never trap on overflow.
#include "core/cpu_state.h"
#include "cpu/recompiler/compile_state.h"
#include "cpu/recompiler/translators.h"
#include "cpu/x64/emitter.h"

using namespace x86;

namespace {

CompileState& cs() {
    return compileState;
}

// Copies the 64-bit gpr[from] into gpr[to].
void emitCopy64(unsigned from, unsigned to) {
    movRegAbs(EAX, gprLo(from));
    movRegAbs(EDX, gprHi(from));
    emitStoreEaxEdx(to);
}

// The tail of a set-on-less-than: flags of the high-word comparison are
// tested first (greater: 0, less: 1), then those of the low words, compared
// unsigned, by `compareLow`.
template <typename CompareLow>
void emitSetLessThan(unsigned rd, Cond greater, Cond less, CompareLow compareLow) {
    uint8_t* toZero = jccShort(greater, 0);
    uint8_t* toOne = jccShort(less, 0);
    compareLow();
    uint8_t* toZero2 = jccShort(JAE, 0);
    patchShortJumpHere(toOne);
    emitStoreConstant(rd, 1, 0);
    uint8_t* done = jmpShort(0);
    patchShortJumpHere(toZero);
    patchShortJumpHere(toZero2);
    emitStoreConstant(rd, 0, 0);
    patchShortJumpHere(done);
}

void emitSetLessThanImmediate(Cond greater, Cond less) {
    const uint32_t simm = cs().simm();
    movRegAbs(EAX, gprLo(cs().rs));
    movRegAbs(EDX, gprHi(cs().rs));
    cmpRegImm(EDX, (simm & 0x80000000) ? 0xFFFFFFFF : 0);
    emitSetLessThan(cs().rt, greater, less, [simm] { cmpRegImm(EAX, simm); });
}

void emitSetLessThanRegister(Cond greater, Cond less) {
    const unsigned rs = cs().rs, rt = cs().rt;
    movRegAbs(EAX, gprHi(rs));
    cmpRegAbs(EAX, gprHi(rt));
    emitSetLessThan(cs().rd, greater, less, [rs, rt] {
        movRegAbs(EAX, gprLo(rs));
        cmpRegAbs(EAX, gprLo(rt));
    });
}

} // namespace

void emitStoreEaxSignExtended(unsigned rd) {
    cdq();
    emitStoreEaxEdx(rd);
}

void emitStoreEaxEdx(unsigned rd) {
    if (rd == 0) return;
    movAbsReg(gprLo(rd), EAX);
    movAbsReg(gprHi(rd), EDX);
}

void emitStoreConstant(unsigned rd, uint32_t lo, uint32_t hi) {
    if (rd == 0) return;
    movAbsImm(gprLo(rd), lo);
    movAbsImm(gprHi(rd), hi);
}

void translateAddi() {
    movRegAbs(EAX, gprLo(cs().rs));
    addEaxImm(cs().simm());
    emitStoreEaxSignExtended(cs().rt);
}

void translateSlti() {
    emitSetLessThanImmediate(JG, JL);
}
void translateSltiu() {
    emitSetLessThanImmediate(JA, JB);
}

void translateAndi() {
    if (cs().imm16 == 0) {
        emitStoreConstant(cs().rt, 0, 0);
        return;
    }
    movRegAbs(EAX, gprLo(cs().rs));
    andRegImm(EAX, cs().imm16);
    if (cs().rt == 0) return;
    movAbsReg(gprLo(cs().rt), EAX);
    movAbsImm(gprHi(cs().rt), 0);
}

void translateOri() {
    const unsigned rs = cs().rs, rt = cs().rt;
    const uint32_t zimm = cs().imm16;
    if (rs == 0) {
        emitStoreConstant(rt, zimm, 0);
    } else if (zimm != 0 && rs == rt) {
        // In place: only the low word changes.
        movRegAbs(EAX, gprLo(rt));
        orRegImm(EAX, zimm);
        movAbsReg(gprLo(rt), EAX);
    } else if (zimm == 0 && rs != rt) {
        emitCopy64(rs, rt);
    } else if (zimm == 0) {
        // ORI of a register into itself with 0 changes nothing.
    } else {
        movRegAbs(EAX, gprLo(rs));
        movRegAbs(EDX, gprHi(rs));
        orRegImm(EAX, zimm);
        emitStoreEaxEdx(rt);
    }
}

void translateXori() {
    movRegAbs(EAX, gprLo(cs().rs));
    xorEaxImm(cs().imm16);
    emitStoreEaxSignExtended(cs().rt);
}

void translateLui() {
    const uint32_t value = uint32_t(cs().imm16) << 16;
    emitStoreConstant(cs().rt, value, (value & 0x80000000) ? 0xFFFFFFFF : 0);
}

void translateAdd() {
    movRegAbs(EAX, gprLo(cs().rs));
    movRegAbs(EBX, gprLo(cs().rt));
    addRegReg(EAX, EBX);
    emitStoreEaxSignExtended(cs().rd);
}

void translateSub() {
    movRegAbs(EAX, gprLo(cs().rs));
    movRegAbs(EBX, gprLo(cs().rt));
    subRegReg(EAX, EBX);
    emitStoreEaxSignExtended(cs().rd);
}

void translateAnd() {
    movRegAbs(EAX, gprLo(cs().rs));
    movRegAbs(EDX, gprHi(cs().rs));
    andRegAbs(EAX, gprLo(cs().rt));
    andRegAbs(EDX, gprHi(cs().rt));
    emitStoreEaxEdx(cs().rd);
}

void translateOr() {
    const unsigned rs = cs().rs, rt = cs().rt;
    if (rs == 0 && rt == 0) {
        emitStoreConstant(cs().rd, 0, 0);
    } else if (rs == 0) {
        emitCopy64(rt, cs().rd);
    } else if (rt == 0) {
        emitCopy64(rs, cs().rd);
    } else {
        movRegAbs(EAX, gprLo(rs));
        movRegAbs(EDX, gprHi(rs));
        orRegAbs(EAX, gprLo(rt));
        orRegAbs(EDX, gprHi(rt));
        emitStoreEaxEdx(cs().rd);
    }
}

void translateXor() {
    movRegAbs(EAX, gprLo(cs().rs));
    movRegAbs(EDX, gprLo(cs().rt));
    xorRegReg(EAX, EDX);
    emitStoreEaxSignExtended(cs().rd);
}

void translateNor() {
    movRegAbs(EAX, gprLo(cs().rs));
    movRegAbs(EDX, gprHi(cs().rs));
    orRegAbs(EAX, gprLo(cs().rt));
    notReg(EAX);
    orRegAbs(EDX, gprHi(cs().rt));
    notReg(EDX);
    emitStoreEaxEdx(cs().rd);
}

void translateSlt() {
    emitSetLessThanRegister(JG, JL);
}
void translateSltu() {
    emitSetLessThanRegister(JA, JB);
}
