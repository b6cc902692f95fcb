/* A listable sound plug-in whose name fills the whole name buffer. */
#include <string.h>

#include "orvex_plugin.h"

uint32_t getPluginType(void) {
    return ORVEX_PLUGIN_TYPE_SOUND;
}
uint32_t getPluginVersion(void) {
    return 0x0205;
}
uint32_t getPluginCaps(void) {
    return 0;
}
void getPluginName(char* name) {
    memset(name, 'S', ORVEX_PLUGIN_NAME_SIZE);
    name[ORVEX_PLUGIN_NAME_SIZE - 1] = 0;
}
