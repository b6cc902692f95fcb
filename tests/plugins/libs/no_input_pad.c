/* A controller plug-in that exports everything but getInput. */
#define PAD_NAME "No Input Pad"
#define PAD_VERSION 0x0100
#define PAD_HAS_INPUT 0
#include "good_pad.c"
