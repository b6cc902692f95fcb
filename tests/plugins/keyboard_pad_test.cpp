// Keyboard Pad: its mapping of keys and game-controller readings, and the
// library as a controller slot loads and polls it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "pad_mapping.h"
#include "plugin_test_support.h"
#include "plugins/controller_plugin.h"

namespace {

unsigned buttonsOf(const OrvexInputState& s) {
    return unsigned(s.buttons[0]) << 8 | s.buttons[1];
}

TEST(KeyboardPadMapping, DefaultKeys) {
    uint8_t keys[ORVEX_KEY_COUNT] = {};
    OrvexInputState s;
    padMapKeys(keys, &s);
    EXPECT_EQ(buttonsOf(s), 0u);
    EXPECT_EQ(s.stickX, 0);

    const struct {
        int key;
        unsigned button;
    } cases[] = {{PAD_KEY_X, PAD_A},      {PAD_KEY_C, PAD_B},      {PAD_KEY_RETURN, PAD_START},
                 {PAD_KEY_A, PAD_Z},      {PAD_KEY_S, PAD_L},      {PAD_KEY_D, PAD_R},
                 {PAD_KEY_I, PAD_C_UP},   {PAD_KEY_J, PAD_C_LEFT}, {PAD_KEY_K, PAD_C_DOWN},
                 {PAD_KEY_L, PAD_C_RIGHT}};
    for (const auto& c : cases) {
        std::memset(keys, 0, sizeof keys);
        keys[c.key] = 1;
        padMapKeys(keys, &s);
        EXPECT_EQ(buttonsOf(s), c.button) << "key " << c.key;
    }

    std::memset(keys, 0, sizeof keys);
    keys[PAD_KEY_RIGHT] = keys[PAD_KEY_UP] = 1;
    padMapKeys(keys, &s);
    EXPECT_EQ(s.stickX, PAD_STICK_RANGE);
    EXPECT_EQ(s.stickY, PAD_STICK_RANGE);
    keys[PAD_KEY_LEFT] = keys[PAD_KEY_DOWN] = 1; // opposite keys cancel
    keys[PAD_KEY_UP] = 0;
    padMapKeys(keys, &s);
    EXPECT_EQ(s.stickX, 0);
    EXPECT_EQ(s.stickY, -PAD_STICK_RANGE);

    padMapKeys(nullptr, &s);
    EXPECT_EQ(buttonsOf(s), 0u);

    const std::string info = padMappingText();
    for (const char* line : {"Arrow keys      stick", "X               A", "Enter           Start",
                             "I / J / K / L   C up / left / down / right"})
        EXPECT_NE(info.find(line), std::string::npos) << line;
}

TEST(KeyboardPadMapping, GameControllerAndCombination) {
    PadReading r{};
    OrvexInputState pad;
    r.leftX = 3000; // inside the dead zone
    r.leftY = -32768;
    padMapController(&r, &pad);
    EXPECT_EQ(pad.stickX, 0);
    EXPECT_EQ(pad.stickY, PAD_STICK_RANGE); // SDL's up is the console's up
    r.leftX = -32768;
    r.leftY = 32767;
    padMapController(&r, &pad);
    EXPECT_EQ(pad.stickX, -PAD_STICK_RANGE);
    EXPECT_EQ(pad.stickY, -PAD_STICK_RANGE);

    r = PadReading{};
    r.buttons = 1u << PAD_SDL_A | 1u << PAD_SDL_X | 1u << PAD_SDL_START |
                1u << PAD_SDL_RIGHTSHOULDER | 1u << PAD_SDL_DPAD_LEFT;
    r.leftTrigger = 30000;
    r.rightX = 32767;
    r.rightY = -32768;
    padMapController(&r, &pad);
    EXPECT_EQ(buttonsOf(pad),
              PAD_A | PAD_B | PAD_START | PAD_R | PAD_DPAD_LEFT | PAD_Z | PAD_C_RIGHT | PAD_C_UP);

    // Buttons of both; the keyboard's stick while the controller's is centred.
    OrvexInputState keyboard{{0x00, 0x20}, 80, 0}, centred{{0x80, 0}, 0, 0}, out;
    padCombine(&keyboard, &centred, &out);
    EXPECT_EQ(buttonsOf(out), PAD_A | PAD_L);
    EXPECT_EQ(out.stickX, 80);
    OrvexInputState moved{{0, 0}, -40, 10};
    padCombine(&keyboard, &moved, &out);
    EXPECT_EQ(out.stickX, -40);
    EXPECT_EQ(out.stickY, 10);
}

#ifdef ORVEX_KEYBOARD_PAD
TEST(KeyboardPadLibrary, LoadsIntoASlotAndReadsTheWindowKeys) {
    resetControllerSlots();
    CControllerPlugin& slot = controllerSlots[0];
    ASSERT_TRUE(slot.open(ORVEX_KEYBOARD_PAD));
    ASSERT_TRUE(slot.lookUpEntryPoints());
    EXPECT_EQ(slot.getPluginType(), ORVEX_PLUGIN_TYPE_CONTROLLER);
    char name[ORVEX_PLUGIN_NAME_SIZE] = {};
    slot.getPluginName(name);
    EXPECT_STREQ(name, "Keyboard Pad");

    uint8_t keys[ORVEX_KEY_COUNT] = {};
    const OrvexOutputWindow window{sizeof(OrvexOutputWindow), nullptr, keys};
    ASSERT_NE(slot.initPlugin(&window, nullptr), 0);
    keys[PAD_KEY_X] = keys[PAD_KEY_LEFT] = keys[PAD_KEY_D] = 1;
    OrvexInputState s{};
    slot.aquireDevice();
    slot.getInput(&s);
    EXPECT_EQ(buttonsOf(s), PAD_A | PAD_R);
    EXPECT_EQ(s.stickX, -PAD_STICK_RANGE);
    keys[PAD_KEY_X] = keys[PAD_KEY_LEFT] = keys[PAD_KEY_D] = 0;
    slot.getInput(&s);
    EXPECT_EQ(buttonsOf(s), 0u);
    slot.freePlugin();

    // A window record of an unknown size, or none, reads as no key held.
    const OrvexOutputWindow shortRecord{4, nullptr, keys};
    keys[PAD_KEY_X] = 1;
    ASSERT_NE(slot.initPlugin(&shortRecord, nullptr), 0);
    slot.getInput(&s);
    EXPECT_EQ(buttonsOf(s), 0u);
    slot.freePlugin();
    ASSERT_NE(slot.initPlugin(nullptr, nullptr), 0);
    slot.getInput(&s);
    EXPECT_EQ(buttonsOf(s), 0u);
    slot.freePlugin();
    resetControllerSlots();
}
#endif

} // namespace
