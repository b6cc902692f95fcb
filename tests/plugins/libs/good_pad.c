/* A complete controller plug-in that reports a fixed state.
 * no_input_pad.c builds the same plug-in without getInput. */
#include <stdio.h>

#include "orvex_plugin.h"

#ifndef PAD_NAME
#define PAD_NAME "Good Pad"
#define PAD_VERSION 0x0123
#define PAD_HAS_INPUT 1
#endif

uint32_t getPluginType(void) {
    return ORVEX_PLUGIN_TYPE_CONTROLLER;
}
uint32_t getPluginVersion(void) {
    return PAD_VERSION;
}
uint32_t getPluginCaps(void) {
    return 0;
}
void getPluginName(char* name) {
    snprintf(name, ORVEX_PLUGIN_NAME_SIZE, PAD_NAME);
}
void showPluginConfig(void* parent) {
    (void)parent;
}
void showPluginInfo(void) {}
uint8_t initPlugin(const OrvexOutputWindow* window, void* instance) {
    (void)window;
    (void)instance;
    return 1;
}
void freePlugin(void) {}
void aquireDevice(void) {}
#if PAD_HAS_INPUT
void getInput(OrvexInputState* state) {
    state->buttons[0] = 0x90; /* A + Start */
    state->buttons[1] = 0x21; /* L + C-right */
    state->stickX = 100;
    state->stickY = -100;
}
#endif
