/* A listable graphics plug-in (the four listing functions only). */
#include <stdio.h>

#include "orvex_plugin.h"

uint32_t getPluginType(void) {
    return ORVEX_PLUGIN_TYPE_GRAPHICS;
}
uint32_t getPluginVersion(void) {
    return 0x1000;
}
uint32_t getPluginCaps(void) {
    return 0;
}
void getPluginName(char* name) {
    snprintf(name, ORVEX_PLUGIN_NAME_SIZE, "Test Graphics");
}
