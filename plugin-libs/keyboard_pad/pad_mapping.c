#include "pad_mapping.h"

#include <stddef.h>

/* Stick readings within this distance of the centre read as centred. */
#define DEAD_ZONE 7000
/* C buttons from the right stick, Z from a trigger: pressed past half way. */
#define PRESS_THRESHOLD 16384

static void setButtons(OrvexInputState* state, unsigned buttons) {
    state->buttons[0] = (uint8_t)(buttons >> 8);
    state->buttons[1] = (uint8_t)buttons;
}

static unsigned getButtons(const OrvexInputState* state) {
    return ((unsigned)state->buttons[0] << 8) | state->buttons[1];
}

void padMapKeys(const volatile uint8_t* keys, OrvexInputState* state) {
    static const struct {
        uint8_t key;
        unsigned button;
    } buttonKeys[] = {
        {PAD_KEY_X, PAD_A},          {PAD_KEY_C, PAD_B},
        {PAD_KEY_RETURN, PAD_START}, {PAD_KEY_KEYPAD_ENTER, PAD_START},
        {PAD_KEY_A, PAD_Z},          {PAD_KEY_S, PAD_L},
        {PAD_KEY_D, PAD_R},          {PAD_KEY_I, PAD_C_UP},
        {PAD_KEY_K, PAD_C_DOWN},     {PAD_KEY_J, PAD_C_LEFT},
        {PAD_KEY_L, PAD_C_RIGHT},
    };
    unsigned buttons = 0;
    int x = 0, y = 0;
    if (keys) {
        for (size_t i = 0; i < sizeof buttonKeys / sizeof buttonKeys[0]; ++i)
            if (keys[buttonKeys[i].key]) buttons |= buttonKeys[i].button;
        x = (keys[PAD_KEY_RIGHT] ? PAD_STICK_RANGE : 0) -
            (keys[PAD_KEY_LEFT] ? PAD_STICK_RANGE : 0);
        y = (keys[PAD_KEY_UP] ? PAD_STICK_RANGE : 0) - (keys[PAD_KEY_DOWN] ? PAD_STICK_RANGE : 0);
    }
    setButtons(state, buttons);
    state->stickX = (int8_t)x;
    state->stickY = (int8_t)y;
}

/* One stick axis: the dead zone removed, the rest scaled onto the console's
 * range. */
static int8_t stickAxis(int value) {
    const int span = 32767 - DEAD_ZONE;
    if (value > DEAD_ZONE) return (int8_t)((value - DEAD_ZONE) * PAD_STICK_RANGE / span);
    if (value < -DEAD_ZONE) {
        const int scaled = (value + DEAD_ZONE) * PAD_STICK_RANGE / span;
        return (int8_t)(scaled < -PAD_STICK_RANGE ? -PAD_STICK_RANGE : scaled);
    }
    return 0;
}

void padMapController(const PadReading* reading, OrvexInputState* state) {
    static const struct {
        uint8_t sdlButton;
        unsigned button;
    } buttonMap[] = {
        {PAD_SDL_A, PAD_A},
        {PAD_SDL_B, PAD_B},
        {PAD_SDL_X, PAD_B},
        {PAD_SDL_START, PAD_START},
        {PAD_SDL_LEFTSHOULDER, PAD_L},
        {PAD_SDL_RIGHTSHOULDER, PAD_R},
        {PAD_SDL_DPAD_UP, PAD_DPAD_UP},
        {PAD_SDL_DPAD_DOWN, PAD_DPAD_DOWN},
        {PAD_SDL_DPAD_LEFT, PAD_DPAD_LEFT},
        {PAD_SDL_DPAD_RIGHT, PAD_DPAD_RIGHT},
    };
    unsigned buttons = 0;
    for (size_t i = 0; i < sizeof buttonMap / sizeof buttonMap[0]; ++i)
        if (reading->buttons & (1u << buttonMap[i].sdlButton)) buttons |= buttonMap[i].button;
    if (reading->leftTrigger > PRESS_THRESHOLD || reading->rightTrigger > PRESS_THRESHOLD)
        buttons |= PAD_Z;
    if (reading->rightY < -PRESS_THRESHOLD) buttons |= PAD_C_UP;
    if (reading->rightY > PRESS_THRESHOLD) buttons |= PAD_C_DOWN;
    if (reading->rightX < -PRESS_THRESHOLD) buttons |= PAD_C_LEFT;
    if (reading->rightX > PRESS_THRESHOLD) buttons |= PAD_C_RIGHT;
    setButtons(state, buttons);
    state->stickX = stickAxis(reading->leftX);
    /* SDL counts down as positive; the console counts up. */
    state->stickY = stickAxis(-(int)reading->leftY);
}

void padCombine(const OrvexInputState* keyboard, const OrvexInputState* controller,
                OrvexInputState* state) {
    const int useController = controller->stickX != 0 || controller->stickY != 0;
    setButtons(state, getButtons(keyboard) | getButtons(controller));
    state->stickX = useController ? controller->stickX : keyboard->stickX;
    state->stickY = useController ? controller->stickY : keyboard->stickY;
}

const char* padMappingText(void) {
    return "Keyboard Pad: the keyboard of the output window and the first game controller.\n"
           "\n"
           "Keyboard:\n"
           "  Arrow keys      stick\n"
           "  X               A\n"
           "  C               B\n"
           "  Enter           Start\n"
           "  A               Z\n"
           "  S               L\n"
           "  D               R\n"
           "  I / J / K / L   C up / left / down / right\n"
           "\n"
           "Game controller (plugged in at any time):\n"
           "  Left stick      stick\n"
           "  A               A\n"
           "  B, X            B\n"
           "  Start           Start\n"
           "  Triggers        Z\n"
           "  Shoulders       L, R\n"
           "  D-pad           D-pad\n"
           "  Right stick     C buttons\n"
           "\n"
           "Controllers are recognised through SDL's game-controller database; more\n"
           "mappings are read from gamecontrollerdb.txt in the working directory and\n"
           "from the SDL_GAMECONTROLLERCONFIG environment variable.";
}
