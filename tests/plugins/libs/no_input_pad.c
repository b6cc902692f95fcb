/* A controller plug-in that exports everything but getInput. */
#include <stdio.h>

#include "orvex_plugin.h"

static int initCalls, freeCalls, inputCalls;

uint32_t getPluginType(void) {
    return ORVEX_PLUGIN_TYPE_CONTROLLER;
}
uint32_t getPluginVersion(void) {
    return 0x0100;
}
uint32_t getPluginCaps(void) {
    return 0;
}
void getPluginName(char* name) {
    snprintf(name, ORVEX_PLUGIN_NAME_SIZE, "No Input Pad");
}
void showPluginConfig(void* parent) {
    (void)parent;
}
void showPluginInfo(void) {}
uint8_t initPlugin(const OrvexOutputWindow* window, void* instance) {
    (void)window;
    (void)instance;
    ++initCalls;
    return 1;
}
void freePlugin(void) {
    ++freeCalls;
}
void aquireDevice(void) {}
ORVEX_PLUGIN_EXPORT int noInputPadInputCalls(void) {
    return inputCalls;
}
