/*
 * Keyboard Pad: a controller plug-in that reads the output window's keyboard
 * and the first game controller SDL knows (plugged in before or during the
 * run). The mapping is in pad_mapping.c; showPluginInfo shows it.
 *
 * Threads: initPlugin, freePlugin, aquireDevice and the two dialogs run on
 * the user-interface thread; getInput on the emulation thread, which alone
 * opens, reads and closes the game controller between initPlugin and
 * freePlugin.
 */
#include <SDL.h>
#include <stdio.h>
#include <string.h>

#include "orvex_plugin.h"
#include "pad_mapping.h"

static const volatile uint8_t* windowKeys;
static int sdlReady;
static SDL_GameController* controller;

ORVEX_PLUGIN_EXPORT uint32_t getPluginType(void) {
    return ORVEX_PLUGIN_TYPE_CONTROLLER;
}

ORVEX_PLUGIN_EXPORT uint32_t getPluginVersion(void) {
    return ORVEX_PLUGIN_VERSION(1, 0, 0);
}

ORVEX_PLUGIN_EXPORT uint32_t getPluginCaps(void) {
    return 0;
}

ORVEX_PLUGIN_EXPORT void getPluginName(char* name) {
    snprintf(name, ORVEX_PLUGIN_NAME_SIZE, "Keyboard Pad");
}

/* A message box of SDL's own; on a machine without a display the text goes
 * to standard error instead. */
static void showText(const char* title, const char* text) {
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, title, text, NULL) != 0)
        fprintf(stderr, "%s\n%s\n", title, text);
}

ORVEX_PLUGIN_EXPORT void showPluginInfo(void) {
    showText("About Keyboard Pad", padMappingText());
}

ORVEX_PLUGIN_EXPORT void showPluginConfig(void* parentWindow) {
    (void)parentWindow;
    showText("Keyboard Pad", "Keyboard Pad has a fixed mapping; nothing to configure.\n\n"
                             "See \"About\" for the keys and the game controller's buttons.");
}

ORVEX_PLUGIN_EXPORT uint8_t initPlugin(const OrvexOutputWindow* window, void* programInstance) {
    (void)programInstance;
    windowKeys = NULL;
    if (window && window->size >= sizeof(OrvexOutputWindow)) windowKeys = window->keys;
    controller = NULL;
    /* Controllers are polled by getInput; their events would only pile up. */
    sdlReady = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    if (sdlReady) {
        SDL_GameControllerEventState(SDL_IGNORE);
        SDL_JoystickEventState(SDL_IGNORE);
        SDL_RWops* extra = SDL_RWFromFile("gamecontrollerdb.txt", "rb");
        if (extra) SDL_GameControllerAddMappingsFromRW(extra, 1);
    } else {
        fprintf(stderr, "Keyboard Pad: no game controllers (%s); the keyboard still works\n",
                SDL_GetError());
    }
    return 1;
}

ORVEX_PLUGIN_EXPORT void freePlugin(void) {
    if (controller) SDL_GameControllerClose(controller);
    controller = NULL;
    if (sdlReady) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    sdlReady = 0;
    windowKeys = NULL;
}

ORVEX_PLUGIN_EXPORT void aquireDevice(void) {
    /* The keyboard state belongs to the window and the controller is polled:
     * nothing to take or give back. */
}

/* Keeps the first attached game controller open: a detached one is closed,
 * and while none is open the first one SDL recognises is opened. */
static SDL_GameController* currentController(void) {
    SDL_GameControllerUpdate();
    if (controller && !SDL_GameControllerGetAttached(controller)) {
        SDL_GameControllerClose(controller);
        controller = NULL;
    }
    for (int i = 0; !controller && i < SDL_NumJoysticks(); ++i)
        if (SDL_IsGameController(i)) controller = SDL_GameControllerOpen(i);
    return controller;
}

static void readController(SDL_GameController* pad, PadReading* reading) {
    memset(reading, 0, sizeof *reading);
    for (int b = 0; b <= PAD_SDL_DPAD_RIGHT; ++b)
        if (SDL_GameControllerGetButton(pad, (SDL_GameControllerButton)b))
            reading->buttons |= 1u << b;
    reading->leftX = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
    reading->leftY = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY);
    reading->rightX = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTX);
    reading->rightY = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTY);
    reading->leftTrigger = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT);
    reading->rightTrigger = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
}

ORVEX_PLUGIN_EXPORT void getInput(OrvexInputState* inputState) {
    OrvexInputState keyboard, pad;
    padMapKeys(windowKeys, &keyboard);
    memset(&pad, 0, sizeof pad);
    SDL_GameController* current = sdlReady ? currentController() : NULL;
    if (current) {
        PadReading reading;
        readController(current, &reading);
        padMapController(&reading, &pad);
    }
    padCombine(&keyboard, &pad, inputState);
}
