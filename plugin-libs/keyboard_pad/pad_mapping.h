/*
 * Keyboard Pad's mapping of keys and game-controller readings onto the
 * console's controller state. Pure functions: the plug-in feeds them the
 * output window's key state and what SDL reports of the first game
 * controller.
 */
#ifndef KEYBOARD_PAD_MAPPING_H
#define KEYBOARD_PAD_MAPPING_H

#include <stdint.h>

#include "orvex_plugin.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Keys of the default mapping, as USB HID keyboard usage ids. */
#define PAD_KEY_A 0x04
#define PAD_KEY_C 0x06
#define PAD_KEY_D 0x07
#define PAD_KEY_I 0x0C
#define PAD_KEY_J 0x0D
#define PAD_KEY_K 0x0E
#define PAD_KEY_L 0x0F
#define PAD_KEY_S 0x16
#define PAD_KEY_X 0x1B
#define PAD_KEY_RETURN 0x28
#define PAD_KEY_RIGHT 0x4F
#define PAD_KEY_LEFT 0x50
#define PAD_KEY_DOWN 0x51
#define PAD_KEY_UP 0x52
#define PAD_KEY_KEYPAD_ENTER 0x58

/* Full deflection of the console's stick, as far as its hardware reaches. */
#define PAD_STICK_RANGE 80

/* Bits of OrvexInputState.buttons, first byte then second byte as one word. */
#define PAD_A 0x8000u
#define PAD_B 0x4000u
#define PAD_Z 0x2000u
#define PAD_START 0x1000u
#define PAD_DPAD_UP 0x0800u
#define PAD_DPAD_DOWN 0x0400u
#define PAD_DPAD_LEFT 0x0200u
#define PAD_DPAD_RIGHT 0x0100u
#define PAD_L 0x0020u
#define PAD_R 0x0010u
#define PAD_C_UP 0x0008u
#define PAD_C_DOWN 0x0004u
#define PAD_C_LEFT 0x0002u
#define PAD_C_RIGHT 0x0001u

/* What a game controller reports, in SDL's terms: its buttons by SDL's
 * standard layout (bit n for button n of SDL_GameControllerButton) and its
 * axes (-32768..32767; triggers 0..32767; stick Y positive downwards). */
typedef struct PadReading {
    uint32_t buttons;
    int16_t leftX, leftY, rightX, rightY, leftTrigger, rightTrigger;
} PadReading;

/* SDL_GameControllerButton numbers the mapping uses. */
enum {
    PAD_SDL_A = 0,
    PAD_SDL_B = 1,
    PAD_SDL_X = 2,
    PAD_SDL_Y = 3,
    PAD_SDL_BACK = 4,
    PAD_SDL_GUIDE = 5,
    PAD_SDL_START = 6,
    PAD_SDL_LEFTSTICK = 7,
    PAD_SDL_RIGHTSTICK = 8,
    PAD_SDL_LEFTSHOULDER = 9,
    PAD_SDL_RIGHTSHOULDER = 10,
    PAD_SDL_DPAD_UP = 11,
    PAD_SDL_DPAD_DOWN = 12,
    PAD_SDL_DPAD_LEFT = 13,
    PAD_SDL_DPAD_RIGHT = 14
};

/* The controller state of the keys held (keys: ORVEX_KEY_COUNT entries; null
 * reads as no key held). */
void padMapKeys(const volatile uint8_t* keys, OrvexInputState* state);

/* The controller state of a game controller's reading. */
void padMapController(const PadReading* reading, OrvexInputState* state);

/* Both at once: buttons of either; the controller's stick when it is out of
 * its dead zone, else the keyboard's. */
void padCombine(const OrvexInputState* keyboard, const OrvexInputState* controller,
                OrvexInputState* state);

/* The text showPluginInfo shows. */
const char* padMappingText(void);

#ifdef __cplusplus
}
#endif

#endif
