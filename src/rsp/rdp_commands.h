// Handlers of the display list's display-processor commands.
#pragma once

void commandTextureRectangle(); // G_TEXRECT
void commandFullSync();         // G_RDPFULLSYNC
void commandFillRectangle();    // G_FILLRECT
void commandSetFillColour();    // G_SETFILLCOLOR
void commandSetColourImage();   // G_SETCIMG
