// The filler of the instruction table's empty places.
#include "cpu/translators.h"

// Reserved encodings and missing instructions: no code; the instruction still
// counts in its block (a missing one is reported and ends it).
void translateReserved() {}
