#include "debug/disassembler.h"

#include "core/cpu_state.h"

#include <cstdio>

// The general and COP0 register names are the ones the register dump uses.
const char* const (&cpuRegisterNames)[32] = gprNames;
const char* const (&cop0RegisterNames)[32] = cop0Names;

const char* const fpuRegisterNames[32] = {"f00", "f01", "f02", "f03", "f04", "f05", "f06", "f07",
                                          "f08", "f09", "f10", "f11", "f12", "f13", "f14", "f15",
                                          "f16", "f17", "f18", "f19", "f20", "f21", "f22", "f23",
                                          "f24", "f25", "f26", "f27", "f28", "f29", "f30", "f31"};

const char* const fpuControlNames[32] = {
    "fcr00", "fcr01", "fcr02", "fcr03", "fcr04", "fcr05", "fcr06", "fcr07",
    "fcr08", "fcr09", "fcr10", "fcr11", "fcr12", "fcr13", "fcr14", "fcr15",
    "fcr16", "fcr17", "fcr18", "fcr19", "fcr20", "fcr21", "fcr22", "fcr23",
    "fcr24", "fcr25", "fcr26", "fcr27", "fcr28", "fcr29", "fcr30", "fcr31"};

namespace {

// How the operand text of an instruction is built.
enum class Form : uint8_t {
    None,         // empty operand text
    Raw,          // operand text stays "Instruction"
    ThreeReg,     // rd, rs, rt
    VarShift,     // rd, rt, rs
    Shift,        // rd, rt, sa (four digits)
    Shift32,      // rd, rt, sa (two digits)
    MulDiv,       // rs, rt
    JumpReg,      // rs
    JumpLinkReg,  // rd, rs
    HiLoFrom,     // rd
    HiLoTo,       // rs
    Immediate,    // rt, rs, imm
    Upper,        // rt, imm
    LoadStore,    // rt, imm(rs)
    FpuLoadStore, // ft, imm(rs)
    Cache,        // op, imm(rs)
    Branch2,      // rs, rt, target
    Branch1,      // rs, target
    Jump,         // absolute target
    BranchCond,   // target
    Cop0Move,     // rt, COP0 rd
    Cop1Move,     // rt, fs
    Cop1Control,  // rt, FPU control fs
    Fpu3,         // fd, fs, ft
    Fpu2,         // fd, fs
};

struct Entry {
    const char* name; // nullptr: no instruction here
    Form form;
};

using enum Form;

constexpr Entry none{nullptr, None};

// clang-format off

// Primary opcode (bits 31-26); SPECIAL, REGIMM, COP0 and COP1 are decoded further.
constexpr Entry opcodeTable[64] = {
    /*  0 */ none, none, {"J", Jump}, {"JAL", Jump},
    /*  4 */ {"BEQ", Branch2}, {"BNE", Branch2}, {"BLEZ", Branch1}, {"BGTZ", Branch1},
    /*  8 */ {"ADDI", Immediate}, {"ADDIU", Immediate}, {"SLTI", Immediate}, {"SLTIU", Immediate},
    /* 12 */ {"ANDI", Immediate}, {"ORI", Immediate}, {"XORI", Immediate}, {"LUI", Upper},
    /* 16 */ none, none, {"RCP", Raw}, none,
    /* 20 */ {"BEQL", Branch2}, {"BNEL", Branch2}, {"BLEZL", Branch1}, {"BGTZL", Branch1},
    /* 24 */ {"DADDI", None}, {"DADDIU", None}, {"LDL", None}, {"LDR", None},
    /* 28 */ none, none, none, none,
    /* 32 */ {"LB", LoadStore}, {"LH", LoadStore}, {"LWL", LoadStore}, {"LW", LoadStore},
    /* 36 */ {"LBU", LoadStore}, {"LHU", LoadStore}, {"LWR", LoadStore}, {"LWU", None},
    /* 40 */ {"SB", LoadStore}, {"SH", LoadStore}, {"SWL", LoadStore}, {"SW", LoadStore},
    /* 44 */ {"SDL", None}, {"SDR", None}, {"SWR", LoadStore}, {"CACHE", Cache},
    /* 48 */ {"LL", None}, {"LWC1", FpuLoadStore}, {"LWC2", Raw}, none,
    /* 52 */ {"LLD", None}, {"LDC1", FpuLoadStore}, {"LDC2", None}, {"LD", LoadStore},
    /* 56 */ {"SC", None}, {"SWC1", FpuLoadStore}, {"SWC2", Raw}, none,
    /* 60 */ {"SCD", None}, {"SDC1", FpuLoadStore}, {"SDC2", None}, {"SD", LoadStore},
};

// SPECIAL (opcode 0) by funct.
constexpr Entry specialTable[64] = {
    /*  0 */ {"SLL", Shift}, none, {"SRL", Shift}, {"SRA", Shift},
    /*  4 */ {"SLLV", VarShift}, none, {"SRLV", VarShift}, {"SRAV", VarShift},
    /*  8 */ {"JR", JumpReg}, {"JALR", JumpLinkReg}, none, none,
    /* 12 */ {"SYSCALL", None}, {"BREAK", None}, none, {"SYNC", None},
    /* 16 */ {"MFHI", HiLoFrom}, {"MTHI", HiLoTo}, {"MFLO", HiLoFrom}, {"MTLO", HiLoTo},
    /* 20 */ {"DSLLV", None}, none, {"DSRLV", None}, {"DSRAV", None},
    /* 24 */ {"MULT", MulDiv}, {"MULTU", MulDiv}, {"DIV", MulDiv}, {"DIVU", MulDiv},
    /* 28 */ {"DMULT", None}, {"DMULTU", MulDiv}, {"DDIV", MulDiv}, {"DDIVU", MulDiv},
    /* 32 */ {"ADD", ThreeReg}, {"ADDU", ThreeReg}, {"SUB", ThreeReg}, {"SUBU", ThreeReg},
    /* 36 */ {"AND", ThreeReg}, {"OR", ThreeReg}, {"XOR", ThreeReg}, {"NOR", ThreeReg},
    /* 40 */ none, none, {"SLT", ThreeReg}, {"SLTU", ThreeReg},
    /* 44 */ {"DADD", None}, {"DADDU", None}, {"DSUB", None}, {"DSUBU", None},
    /* 48 */ {"TGE", None}, {"TGEU", None}, {"TLT", None}, {"TLTU", None},
    /* 52 */ {"TEQ", None}, none, {"TNE", None}, none,
    /* 56 */ {"DSLL", None}, none, {"DSRL", None}, {"DSRA", None},
    /* 60 */ {"DSLL32", Shift32}, none, {"DSRL32", None}, {"DSRA32", Shift32},
};

// REGIMM (opcode 1) by rt.
constexpr Entry regimmTable[32] = {
    /*  0 */ {"BLTZ", Branch1}, {"BGEZ", Branch1}, {"BLTZL", Branch1}, {"BGEZL", Branch1},
    /*  4 */ none, none, none, none,
    /*  8 */ {"TGEI", None}, {"TGEIU", None}, {"TLTI", None}, {"TLTIU", None},
    /* 12 */ {"TEQI", None}, none, {"TNEI", None}, none,
    /* 16 */ {"BLTZAL", None}, {"BGEZAL", Branch1}, {"BLTZALL", None}, {"BGEZALL", None},
    /* 20 */ none, none, none, none,
    /* 24 */ none, none, none, none,
    /* 28 */ none, none, none, none,
};

// COP0 (opcode 16) by rs; rs 8 and 16 are decoded further.
constexpr Entry cop0Table[32] = {
    /*  0 */ {"MFC0", Cop0Move}, {"DMFC0", None}, {"CFC0", None}, none,
    /*  4 */ {"MTC0", Cop0Move}, {"DMTC0", None}, {"CTC0", None}, none,
    /*  8 */ none, none, none, none,
    /* 12 */ none, none, none, none,
    /* 16 */ none, none, none, none,
    /* 20 */ none, none, none, none,
    /* 24 */ none, none, none, none,
    /* 28 */ none, none, none, none,
};

// COP0 rs 16 by funct.
constexpr Entry tlbTable[64] = {
    /*  0 */ none, {"TLBR", None}, {"TLBWI", None}, none,
    /*  4 */ none, none, {"TLBWR", None}, none,
    /*  8 */ {"TLBP", None}, none, none, none,
    /* 12 */ none, none, none, none,
    /* 16 */ none, none, none, none,
    /* 20 */ none, none, none, none,
    /* 24 */ {"ERET", None}, none, none, none,
    /* 28 */ none, none, none, none,
    /* 32 */ none, none, none, none,
    /* 36 */ none, none, none, none,
    /* 40 */ none, none, none, none,
    /* 44 */ none, none, none, none,
    /* 48 */ none, none, none, none,
    /* 52 */ none, none, none, none,
    /* 56 */ none, none, none, none,
    /* 60 */ none, none, none, none,
};

// COP0 and COP1 rs 8 by bits 17-16.
constexpr Entry bc0Table[4] = {
    {"BC0F", None}, {"BC0T", None}, {"BC0FL", None}, {"BC0TL", None},
};
constexpr Entry bc1Table[4] = {
    {"BC1F", BranchCond}, {"BC1T", BranchCond},
    {"BC1FL", BranchCond}, {"BC1TL", BranchCond},
};

// COP1 (opcode 17) by rs; rs 8 and the formats S, D, W, L are decoded further.
// MFC1 and MTC1 move a floating-point register, CFC1 and CTC1 a control register.
constexpr Entry cop1Table[32] = {
    /*  0 */ {"MFC1", Cop1Move}, {"DMFC1", None}, {"CFC1", Cop1Control}, none,
    /*  4 */ {"MTC1", Cop1Move}, {"DMTC1", Cop1Move}, {"CTC1", Cop1Control}, none,
    /*  8 */ none, none, none, none,
    /* 12 */ none, none, none, none,
    /* 16 */ none, none, none, none,
    /* 20 */ none, none, none, none,
    /* 24 */ none, none, none, none,
    /* 28 */ none, none, none, none,
};

// COP1 arithmetic of the formats S, D, W and L by funct; the format is not part
// of the mnemonic.
constexpr Entry fpuTable[64] = {
    /*  0 */ {"ADD", Fpu3}, {"SUB", Fpu3}, {"MUL", Fpu3}, {"DIV", Fpu3},
    /*  4 */ {"SQRT", Fpu2}, {"ABS", Fpu2}, {"MOV", Fpu2}, {"NEG", Fpu2},
    /*  8 */ {"ROUND.L", None}, {"TRUNC.L", None}, {"CEIL.L", None}, {"FLOOR.L", None},
    /* 12 */ {"ROUND.W", None}, {"TRUNC.W", Fpu2}, {"CEIL.W", None}, {"FLOOR.W", None},
    /* 16 */ none, none, none, none,
    /* 20 */ none, none, none, none,
    /* 24 */ none, none, none, none,
    /* 28 */ none, none, none, none,
    /* 32 */ {"CVT.S", Fpu2}, {"CVT.D", Fpu2}, none, none,
    /* 36 */ {"CVT.W", Fpu2}, {"CVT.L", Fpu2}, none, none,
    /* 40 */ none, none, none, none,
    /* 44 */ none, none, none, none,
    /* 48 */ {"C.F", None}, {"C.UN", None}, {"C.EQ", None}, {"C.UEQ", None},
    /* 52 */ {"C.OLT", None}, {"C.ULT", None}, {"C.OLE", None}, {"C.ULE", None},
    /* 56 */ {"C.SF", None}, {"C.NGLE", None}, {"C.SEQ", None}, {"C.NGL", None},
    /* 60 */ {"C.LT", None}, {"C.NGE", None}, {"C.LE", None}, {"C.NGT", None},
};

// clang-format on

Entry decode(uint32_t word) {
    const uint32_t opcode = word >> 26;
    const uint32_t rs = (word >> 21) & 31;
    const uint32_t rt = (word >> 16) & 31;
    const uint32_t funct = word & 63;
    switch (opcode) {
    case 0:
        return specialTable[funct];
    case 1:
        return regimmTable[rt];
    case 16:
        if (rs == 8) return bc0Table[rt & 3];
        if (rs == 16) return tlbTable[funct];
        return cop0Table[rs];
    case 17:
        if (rs == 8) return bc1Table[rt & 3];
        if (rs == 16 || rs == 17 || rs == 20 || rs == 21) return fpuTable[funct];
        return cop1Table[rs];
    default:
        return opcodeTable[opcode];
    }
}

} // namespace

void disassembleInstruction(uint32_t pc, uint32_t, uint32_t word, char* mnemonic, char* operands) {
    constexpr size_t size = DISASSEMBLY_TEXT_SIZE;
    std::snprintf(mnemonic, size, "Unknown");
    std::snprintf(operands, size, "Instruction");
    if (word == 0) {
        std::snprintf(mnemonic, size, "NOP");
        operands[0] = '\0';
        return;
    }
    const Entry entry = decode(word);
    if (entry.name == nullptr) return;
    std::snprintf(mnemonic, size, "%s", entry.name);

    const char* const* gpr = cpuRegisterNames;
    const char* rs = gpr[(word >> 21) & 31];
    const char* rt = gpr[(word >> 16) & 31];
    const char* rd = gpr[(word >> 11) & 31];
    const uint32_t sa = (word >> 6) & 31;
    const uint32_t imm = word & 0xFFFF;
    const char* ft = fpuRegisterNames[(word >> 16) & 31];
    const char* fs = fpuRegisterNames[(word >> 11) & 31];
    const char* fd = fpuRegisterNames[(word >> 6) & 31];
    // Unsigned arithmetic keeps the wrap-around at the ends of the address space defined.
    const uint32_t branchTarget = pc + 4 + (static_cast<uint32_t>(int32_t(int16_t(imm))) << 2);
    const uint32_t jumpTarget = ((word & 0x03FFFFFF) << 2) | ((pc + 4) & 0xF0000000);

    switch (entry.form) {
    case Form::None:
        operands[0] = '\0';
        break;
    case Form::Raw:
        break;
    case Form::ThreeReg:
        std::snprintf(operands, size, "%s, %s, %s", rd, rs, rt);
        break;
    case Form::VarShift:
        std::snprintf(operands, size, "%s, %s, %s", rd, rt, rs);
        break;
    case Form::Shift:
        std::snprintf(operands, size, "%s, %s, 0x%04X", rd, rt, unsigned(sa));
        break;
    case Form::Shift32:
        std::snprintf(operands, size, "%s, %s, 0x%02X", rd, rt, unsigned(sa));
        break;
    case Form::MulDiv:
        std::snprintf(operands, size, "%s, %s", rs, rt);
        break;
    case Form::JumpReg:
    case Form::HiLoTo:
        std::snprintf(operands, size, "%s", rs);
        break;
    case Form::JumpLinkReg:
        std::snprintf(operands, size, "%s, %s", rd, rs);
        break;
    case Form::HiLoFrom:
        std::snprintf(operands, size, "%s", rd);
        break;
    case Form::Immediate:
        std::snprintf(operands, size, "%s, %s, 0x%04X", rt, rs, unsigned(imm));
        break;
    case Form::Upper:
        std::snprintf(operands, size, "%s, 0x%04X", rt, unsigned(imm));
        break;
    case Form::LoadStore:
        std::snprintf(operands, size, "%s, 0x%04X(%s)", rt, unsigned(imm), rs);
        break;
    case Form::FpuLoadStore:
        std::snprintf(operands, size, "%s, 0x%04X(%s)", ft, unsigned(imm), rs);
        break;
    case Form::Cache:
        std::snprintf(operands, size, "op, 0x%04X(%s)", unsigned(imm), rs);
        break;
    case Form::Branch2:
        std::snprintf(operands, size, "%s, %s, 0x%08X", rs, rt, unsigned(branchTarget));
        break;
    case Form::Branch1:
        std::snprintf(operands, size, "%s, 0x%08X", rs, unsigned(branchTarget));
        break;
    case Form::Jump:
        std::snprintf(operands, size, "0x%08X", unsigned(jumpTarget));
        break;
    case Form::BranchCond:
        std::snprintf(operands, size, "0x%08X", unsigned(branchTarget));
        break;
    case Form::Cop0Move:
        std::snprintf(operands, size, "%s, %s", rt, cop0RegisterNames[(word >> 11) & 31]);
        break;
    case Form::Cop1Move:
        std::snprintf(operands, size, "%s, %s", rt, fs);
        break;
    case Form::Cop1Control:
        std::snprintf(operands, size, "%s, %s", rt, fpuControlNames[(word >> 11) & 31]);
        break;
    case Form::Fpu3:
        std::snprintf(operands, size, "%s, %s, %s", fd, fs, ft);
        break;
    case Form::Fpu2:
        std::snprintf(operands, size, "%s, %s", fd, fs);
        break;
    }
}
