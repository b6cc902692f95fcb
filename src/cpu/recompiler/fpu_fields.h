// The FPU's names for the fields of the instruction being translated: the
// format in rs, fs in rd, ft in rt and fd in sa.
#pragma once

#include "cpu/recompiler/compile_state.h"

namespace fpu_fields {

inline unsigned fmt() {
    return compileState.rs;
}
inline unsigned fs() {
    return compileState.rd;
}
inline unsigned ft() {
    return compileState.rt;
}
inline unsigned fd() {
    return compileState.sa;
}

} // namespace fpu_fields
