// The filler of the instruction table's empty places.
#include "cpu/interpreter/interpreter_internal.h"

namespace interp {

// Reserved encodings and missing instructions do nothing when run; they still
// count in their block (a missing one was reported and ends it).
void interpretNothing(const Instruction&, BlockRun&) {}

} // namespace interp
