// Handlers of the display list's signal-processor commands.
#pragma once

void commandNothing();
void commandMatrix();         // G_MTX
void commandMoveMemory();     // G_MOVEMEM
void commandVertex();         // G_VTX
void commandDisplayList();    // G_DL
void commandEndDisplayList(); // G_ENDDL
void commandMoveWord();       // G_MOVEWORD
void commandPopMatrix();      // G_POPMTX
void commandTriangle();       // G_TRI1
void commandSprite();         // G_SPRITE2D_BASE
