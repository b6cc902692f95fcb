#include "rsp/display_list_state.h"

// The display-list interpreter keeps no state; its reset has nothing to do.
void resetDisplayLists() {}
