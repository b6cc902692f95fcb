// Single-precision maths and the 64-bit integer helpers of the guest's C
// library. The maths is computed in extended precision and rounded to single
// precision when stored, as the x87 unit does.
#include <cmath>
#include <cstring>

#include "hle/hle_guest.h"
#include "hle/hle_routines.h"

using namespace hle;

namespace {

float fpr12() {
    float value;
    std::memcpy(&value, &theCpu.fpr[12], sizeof value);
    return value;
}

// f0 = the result rounded to single precision; f1-f3 are cleared.
void storeSingleResult(long double result) {
    const float rounded = static_cast<float>(result);
    std::memcpy(&theCpu.fpr[0], &rounded, sizeof rounded);
    theCpu.fpr[1] = theCpu.fpr[2] = theCpu.fpr[3] = 0;
}

// A 64-bit argument passed as two registers, high word first.
uint64_t pairArgument(unsigned high, unsigned low) {
    return (uint64_t(lowWord(high)) << 32) | lowWord(low);
}
uint64_t argumentX() {
    return pairArgument(A0, A1);
}
uint64_t argumentY() {
    return pairArgument(A2, A3);
}

struct Division {
    uint64_t quotient;
    uint64_t remainder;
};

// Division by zero gives a quotient of all ones and the dividend as remainder,
// as the processor's DDIVU leaves them.
Division divideUnsigned(uint64_t x, uint64_t y) {
    if (y == 0) return {~uint64_t(0), x};
    return {x / y, x % y};
}

// Division by zero gives -1 (x >= 0) or +1 (x < 0) and the dividend as
// remainder; the most negative value divided by -1 gives itself, remainder 0.
Division divideSigned(uint64_t xBits, uint64_t yBits) {
    const int64_t x = int64_t(xBits);
    const int64_t y = int64_t(yBits);
    if (y == 0) return {x >= 0 ? ~uint64_t(0) : 1, xBits};
    if (y == -1) return {0 - xBits, 0};
    return {uint64_t(x / y), uint64_t(x % y)};
}

// HI = remainder, LO = quotient; v0:v1 = `result`, v0 zero-extended and v1
// sign-extended as the guest routines leave them.
void storeDivision(const Division& d, uint64_t result) {
    theCpu.hi.set(d.remainder);
    theCpu.lo.set(d.quotient);
    setZeroExtended(V0, uint32_t(result >> 32));
    setSignExtended(V1, uint32_t(result));
}

} // namespace

void hleSqrtf() {
    storeSingleResult(std::sqrt(static_cast<long double>(fpr12())));
}

void hleSinf() {
    storeSingleResult(std::sin(static_cast<long double>(fpr12())));
}

void hleCosf() {
    storeSingleResult(std::cos(static_cast<long double>(fpr12())));
}

// v0:v1 = LO = the low 64 bits of x * y, HI = 0; t6 and t7 keep x and y.
void hleLlMul() {
    const uint64_t x = argumentX();
    const uint64_t y = argumentY();
    const uint64_t product = x * y;
    theCpu.hi.set(0);
    theCpu.lo.set(product);
    setZeroExtended(V0, uint32_t(product >> 32));
    setZeroExtended(V1, uint32_t(product));
    reg(T6).set(x);
    reg(T7).set(y);
}

void hleUllDiv() {
    const Division d = divideUnsigned(argumentX(), argumentY());
    storeDivision(d, d.quotient);
}

void hleUllRem() {
    const Division d = divideUnsigned(argumentX(), argumentY());
    storeDivision(d, d.remainder);
}

void hleLlDiv() {
    const Division d = divideSigned(argumentX(), argumentY());
    storeDivision(d, d.quotient);
}
