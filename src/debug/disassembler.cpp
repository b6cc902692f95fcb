#include "debug/disassembler.h"

#include "core/cpu_state.h"
#include "cpu/instruction_table.h"

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

void disassembleInstruction(uint32_t pc, uint32_t, uint32_t word, char* mnemonic, char* operands) {
    constexpr size_t size = DISASSEMBLY_TEXT_SIZE;
    std::snprintf(mnemonic, size, "Unknown");
    std::snprintf(operands, size, "Instruction");
    if (word == 0) {
        std::snprintf(mnemonic, size, "NOP");
        operands[0] = '\0';
        return;
    }
    const InstructionInfo& entry = lookupInstruction(word);
    if (entry.mnemonic == nullptr) return;
    std::snprintf(mnemonic, size, "%s", entry.mnemonic);

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
    case OperandForm::None:
        operands[0] = '\0';
        break;
    case OperandForm::Raw:
        break;
    case OperandForm::ThreeReg:
        std::snprintf(operands, size, "%s, %s, %s", rd, rs, rt);
        break;
    case OperandForm::VarShift:
        std::snprintf(operands, size, "%s, %s, %s", rd, rt, rs);
        break;
    case OperandForm::Shift:
        std::snprintf(operands, size, "%s, %s, 0x%04X", rd, rt, unsigned(sa));
        break;
    case OperandForm::Shift32:
        std::snprintf(operands, size, "%s, %s, 0x%02X", rd, rt, unsigned(sa));
        break;
    case OperandForm::MulDiv:
        std::snprintf(operands, size, "%s, %s", rs, rt);
        break;
    case OperandForm::JumpReg:
    case OperandForm::HiLoTo:
        std::snprintf(operands, size, "%s", rs);
        break;
    case OperandForm::JumpLinkReg:
        std::snprintf(operands, size, "%s, %s", rd, rs);
        break;
    case OperandForm::HiLoFrom:
        std::snprintf(operands, size, "%s", rd);
        break;
    case OperandForm::Immediate:
        std::snprintf(operands, size, "%s, %s, 0x%04X", rt, rs, unsigned(imm));
        break;
    case OperandForm::Upper:
        std::snprintf(operands, size, "%s, 0x%04X", rt, unsigned(imm));
        break;
    case OperandForm::LoadStore:
        std::snprintf(operands, size, "%s, 0x%04X(%s)", rt, unsigned(imm), rs);
        break;
    case OperandForm::FpuLoadStore:
        std::snprintf(operands, size, "%s, 0x%04X(%s)", ft, unsigned(imm), rs);
        break;
    case OperandForm::Cache:
        std::snprintf(operands, size, "op, 0x%04X(%s)", unsigned(imm), rs);
        break;
    case OperandForm::Branch2:
        std::snprintf(operands, size, "%s, %s, 0x%08X", rs, rt, unsigned(branchTarget));
        break;
    case OperandForm::Branch1:
        std::snprintf(operands, size, "%s, 0x%08X", rs, unsigned(branchTarget));
        break;
    case OperandForm::Jump:
        std::snprintf(operands, size, "0x%08X", unsigned(jumpTarget));
        break;
    case OperandForm::BranchCond:
        std::snprintf(operands, size, "0x%08X", unsigned(branchTarget));
        break;
    case OperandForm::Cop0Move:
        std::snprintf(operands, size, "%s, %s", rt, cop0RegisterNames[(word >> 11) & 31]);
        break;
    case OperandForm::Cop1Move:
        std::snprintf(operands, size, "%s, %s", rt, fs);
        break;
    case OperandForm::Cop1Control:
        std::snprintf(operands, size, "%s, %s", rt, fpuControlNames[(word >> 11) & 31]);
        break;
    case OperandForm::Fpu3:
        std::snprintf(operands, size, "%s, %s, %s", fd, fs, ft);
        break;
    case OperandForm::Fpu2:
        std::snprintf(operands, size, "%s, %s", fd, fs);
        break;
    }
}
