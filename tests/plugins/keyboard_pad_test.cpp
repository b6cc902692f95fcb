// Keyboard Pad: its mapping of keys and game-controller readings, and the
// library as a controller slot loads and polls it.
#include <gtest/gtest.h>

#include <string>

#include "pad_mapping.h"
#include "plugin_test_support.h"
#include "plugins/controller_plugin.h"

namespace {

unsigned buttonsOf(const OrvexInputState& s) {
    return unsigned(s.buttons[0]) << 8 | s.buttons[1];
}

TEST(KeyboardPad, DefaultMapping) {
    uint8_t keys[ORVEX_KEY_COUNT] = {};
    for (int key :
         {PAD_KEY_X, PAD_KEY_C, PAD_KEY_RETURN, PAD_KEY_A, PAD_KEY_S, PAD_KEY_D, PAD_KEY_I,
          PAD_KEY_J, PAD_KEY_K, PAD_KEY_L, PAD_KEY_RIGHT, PAD_KEY_UP, PAD_KEY_DOWN})
        keys[key] = 1;
    OrvexInputState s;
    padMapKeys(keys, &s);
    EXPECT_EQ(buttonsOf(s), PAD_A | PAD_B | PAD_START | PAD_Z | PAD_L | PAD_R | PAD_C_UP |
                                PAD_C_LEFT | PAD_C_DOWN | PAD_C_RIGHT);
    EXPECT_EQ(s.stickX, PAD_STICK_RANGE);
    EXPECT_EQ(s.stickY, 0); // up and down cancel

    PadReading r{};
    r.buttons = 1u << PAD_SDL_X | 1u << PAD_SDL_LEFTSHOULDER | 1u << PAD_SDL_DPAD_LEFT;
    r.rightTrigger = 30000;
    r.rightY = -32768;
    r.leftX = 3000; // inside the dead zone
    r.leftY = -32768;
    OrvexInputState pad;
    padMapController(&r, &pad);
    EXPECT_EQ(buttonsOf(pad), PAD_B | PAD_L | PAD_DPAD_LEFT | PAD_Z | PAD_C_UP);
    EXPECT_EQ(pad.stickX, 0);
    EXPECT_EQ(pad.stickY, PAD_STICK_RANGE); // SDL's up is the console's up

    // Buttons of both; the keyboard's stick while the controller's is centred.
    OrvexInputState keyboard{{0x80, 0}, 80, 0}, out;
    pad.stickY = 0;
    padCombine(&keyboard, &pad, &out);
    EXPECT_EQ(buttonsOf(out), PAD_A | PAD_B | PAD_L | PAD_DPAD_LEFT | PAD_Z | PAD_C_UP);
    EXPECT_EQ(out.stickX, 80);
    EXPECT_NE(std::string(padMappingText()).find("X               A"), std::string::npos);
}

#ifdef ORVEX_KEYBOARD_PAD
TEST(KeyboardPad, LoadsIntoASlotAndReadsTheWindowKeys) {
    resetControllerSlots();
    CControllerPlugin& slot = controllerSlots[0];
    ASSERT_TRUE(slot.open(ORVEX_KEYBOARD_PAD));
    ASSERT_TRUE(slot.lookUpEntryPoints());
    EXPECT_EQ(slot.getPluginType(), ORVEX_PLUGIN_TYPE_CONTROLLER);

    uint8_t keys[ORVEX_KEY_COUNT] = {};
    const OrvexOutputWindow window{sizeof(OrvexOutputWindow), nullptr, keys};
    const OrvexOutputWindow unknownRecord{4, nullptr, keys};
    keys[PAD_KEY_X] = keys[PAD_KEY_LEFT] = 1;
    for (const OrvexOutputWindow* w :
         {&window, &unknownRecord, (const OrvexOutputWindow*)nullptr}) {
        ASSERT_NE(slot.initPlugin(w, nullptr), 0);
        slot.aquireDevice();
        OrvexInputState s{};
        slot.getInput(&s);
        // Keys are read only through a window record of the known size.
        EXPECT_EQ(buttonsOf(s), w == &window ? PAD_A : 0u);
        EXPECT_EQ(s.stickX, w == &window ? -PAD_STICK_RANGE : 0);
        slot.freePlugin();
    }
    resetControllerSlots();
}
#endif

} // namespace
