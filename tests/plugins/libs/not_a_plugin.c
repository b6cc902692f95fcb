/* A shared library that is no plug-in: it lacks getPluginType. */
#include <stdint.h>

__attribute__((visibility("default"))) uint32_t getPluginVersion(void) {
    return 0x0100;
}
__attribute__((visibility("default"))) int somethingElse(int x) {
    return x + 1;
}
