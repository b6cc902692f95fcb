// State of the display-list interpreter that a machine reset clears.
#pragma once

// Brings the display-list interpreter back to its start state.
void resetDisplayLists();
