// Facts about the floating-point instructions that the recompiler and the
// reference interpreter share: formats, the condition flag, the compare
// conditions that are carried out and the messages of unsupported forms.
#pragma once

#include <cstdint>
#include <initializer_list>

// The format field (rs) of an FPU arithmetic instruction.
constexpr unsigned FMT_S = 16;
constexpr unsigned FMT_D = 17;
constexpr unsigned FMT_W = 20;
constexpr unsigned FMT_L = 21;

// The condition flag of fcr31, set by C.cond and tested by BC1.
constexpr uint32_t FCR31_CONDITION = 0x00800000;

constexpr const char* FPU_MESSAGE_SQRT_D = "FMT_D needed in DynaRec for SQRT!";
constexpr const char* FPU_MESSAGE_CVT_S_L = "FMT_L needed in DynaRec for CVT.S!";
constexpr const char* FPU_MESSAGE_CVT_D_L = "FMT_L needed in DynaRec for CVT.D!";

// Names of the sixteen compare conditions, by cond = funct & 15.
inline const char* compareConditionName(unsigned cond) {
    static const char* const names[16] = {"F",  "UN",   "EQ",  "UEQ", "OLT", "ULT", "OLE", "ULE",
                                          "SF", "NGLE", "SEQ", "NGL", "LT",  "NGE", "LE",  "NGT"};
    return names[cond & 15];
}

// The x87 status bits (in AH after fnstsw) tested for a supported condition:
// C3 (0x40) for EQ, C0 (0x01) for LT, both for LE. 0 for the conditions that
// are not carried out.
inline uint8_t compareTestBits(unsigned cond) {
    switch (cond & 15) {
    case 2:
        return 0x40;
    case 12:
        return 0x01;
    case 14:
        return 0x41;
    default:
        return 0;
    }
}

// Whether register n has an upper neighbour in the register file.
inline bool hasUpperHalf(unsigned n) {
    return n < 31;
}
// Whether every named register can hold a double (its pair lies inside fpr).
inline bool doublesFit(std::initializer_list<unsigned> registers) {
    for (unsigned n : registers)
        if (!hasUpperHalf(n)) return false;
    return true;
}
