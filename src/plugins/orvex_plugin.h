/*
 * Orvex plug-in library interface.
 *
 * A plug-in is a shared library ("*.so") in Orvex's working directory that
 * exports the functions below with C linkage under exactly these names. Orvex
 * lists a library as a plug-in when it exports the first four; a controller
 * slot accepts it only when it exports all ten.
 *
 * Only controller plug-ins are called during emulation: initPlugin once at the
 * start of a run, aquireDevice whenever the output window is activated or
 * deactivated, getInput each time the guest polls its controllers, freePlugin
 * once at the stop (and after a failed initPlugin). getInput runs on the
 * emulation thread, every other function on the user-interface thread; no
 * lock is held around any call, so aquireDevice may run while getInput does.
 *
 * Build a plug-in with, for example:
 *   cc -shared -fPIC -o mypad.so mypad.c
 */
#ifndef ORVEX_PLUGIN_H
#define ORVEX_PLUGIN_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Type codes returned by getPluginType. */
#define ORVEX_PLUGIN_TYPE_SOUND 5u
#define ORVEX_PLUGIN_TYPE_GRAPHICS 6u
#define ORVEX_PLUGIN_TYPE_CONTROLLER 12u

/* Version word returned by getPluginVersion: major in bits 8 and up, minor in
 * bits 4-7, patch in bits 0-3. ORVEX_PLUGIN_VERSION(1, 2, 3) is 0x0123. */
#define ORVEX_PLUGIN_VERSION(major, minor, patch)                                                  \
    ((((uint32_t)(major)) << 8) | ((((uint32_t)(minor)) & 0xFu) << 4) |                            \
     (((uint32_t)(patch)) & 0xFu))
#define ORVEX_PLUGIN_VERSION_MAJOR(word) (((uint32_t)(word)) >> 8)
#define ORVEX_PLUGIN_VERSION_MINOR(word) ((((uint32_t)(word)) >> 4) & 0xFu)
#define ORVEX_PLUGIN_VERSION_PATCH(word) (((uint32_t)(word)) & 0xFu)

/* Size of the buffer handed to getPluginName, terminating zero included. */
#define ORVEX_PLUGIN_NAME_SIZE 100

/* The controller state getInput fills: two button bytes, then the stick's X
 * and Y bytes (signed, right and up positive), in the order the guest reads
 * them from its controller.
 *   buttons[0]: 0x80 A, 0x40 B, 0x20 Z, 0x10 Start,
 *               0x08 D-up, 0x04 D-down, 0x02 D-left, 0x01 D-right
 *   buttons[1]: 0x20 L, 0x10 R, 0x08 C-up, 0x04 C-down, 0x02 C-left, 0x01 C-right */
typedef struct OrvexInputState {
    uint8_t buttons[2];
    int8_t stickX;
    int8_t stickY;
} OrvexInputState;

/* Number of keys in OrvexOutputWindow.keys: USB HID keyboard usage ids
 * (usage page 0x07), e.g. 0x04 'A', 0x28 Return, 0x4F Right arrow. */
#define ORVEX_KEY_COUNT 256

/* The output window as a plug-in sees it. Orvex owns the record and keeps it
 * alive from initPlugin to freePlugin; a plug-in only reads it. keys[k] is
 * non-zero while key k is held and the window has the keyboard focus; it is
 * updated on the user-interface thread, so read it as a snapshot. */
typedef struct OrvexOutputWindow {
    uint32_t size;                /* sizeof(OrvexOutputWindow) */
    void* nativeWindow;           /* toolkit window, NULL when headless */
    volatile const uint8_t* keys; /* ORVEX_KEY_COUNT entries */
} OrvexOutputWindow;

/* The ten exports. Results marked "not used" are ignored by Orvex. */
typedef uint32_t (*OrvexGetPluginTypeFn)(void);
typedef uint32_t (*OrvexGetPluginVersionFn)(void);
typedef uint32_t (*OrvexGetPluginCapsFn)(void);              /* result not used */
typedef void (*OrvexGetPluginNameFn)(char* name);            /* ORVEX_PLUGIN_NAME_SIZE bytes */
typedef void (*OrvexShowPluginConfigFn)(void* parentWindow); /* toolkit window, may be NULL */
typedef void (*OrvexShowPluginInfoFn)(void);
/* Returns non-zero when the plug-in is ready; zero disables its slot. */
typedef uint8_t (*OrvexInitPluginFn)(const OrvexOutputWindow* window, void* programInstance);
typedef void (*OrvexFreePluginFn)(void);
typedef void (*OrvexAquireDeviceFn)(void);
typedef void (*OrvexGetInputFn)(OrvexInputState* inputState);

#if defined(__GNUC__)
#define ORVEX_PLUGIN_EXPORT __attribute__((visibility("default")))
#else
#define ORVEX_PLUGIN_EXPORT
#endif

ORVEX_PLUGIN_EXPORT uint32_t getPluginType(void);
ORVEX_PLUGIN_EXPORT uint32_t getPluginVersion(void);
ORVEX_PLUGIN_EXPORT uint32_t getPluginCaps(void);
ORVEX_PLUGIN_EXPORT void getPluginName(char* name);
ORVEX_PLUGIN_EXPORT void showPluginConfig(void* parentWindow);
ORVEX_PLUGIN_EXPORT void showPluginInfo(void);
ORVEX_PLUGIN_EXPORT uint8_t initPlugin(const OrvexOutputWindow* window, void* programInstance);
ORVEX_PLUGIN_EXPORT void freePlugin(void);
ORVEX_PLUGIN_EXPORT void aquireDevice(void);
ORVEX_PLUGIN_EXPORT void getInput(OrvexInputState* inputState);

#ifdef __cplusplus
}
#endif

#endif /* ORVEX_PLUGIN_H */
