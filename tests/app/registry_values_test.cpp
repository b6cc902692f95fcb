#include <gtest/gtest.h>

#include <cstring>

#include "base/registry.h"
#include "hle/hle_table.h"
#include "support/test_registry.h"
#include "system/machine_choice.h"
#include "system/settings_values.h"
#include "system/speed_limiter.h"
#include "video/frame_buffer_display.h"

namespace {

uint32_t numberOf(const TestRegistry::Value* v) {
    uint32_t n = 0;
    EXPECT_EQ(v->bytes.size(), 4u);
    std::memcpy(&n, v->bytes.data(), std::min<size_t>(4, v->bytes.size()));
    return n;
}

class RegistryValuesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        hleEnabled = niceFrameBuffer = true;
        completeMachineOption = false;
    }
    void TearDown() override {
        hleEnabled = niceFrameBuffer = false;
        completeMachineOption = true;
    }
    TestRegistry registry;
};

TEST_F(RegistryValuesTest, FirstStartHasDefaultPositionsAndEverythingOff) {
    limitSpeed = false;
    readOptions();
    EXPECT_FALSE(hleEnabled);
    EXPECT_FALSE(niceFrameBuffer);
    EXPECT_TRUE(completeMachineOption) << "the complete machine is on unless stored off";
    EXPECT_TRUE(limitSpeed) << "the speed limiter is on by default";
    EXPECT_EQ(static_cast<uint32_t>(readOutputWindowPosition().top), 0x80000000u);
    EXPECT_FALSE(readControllerEnabled(1));
    EXPECT_EQ(readControllerPlugin(1), "");
    EXPECT_TRUE(registry.values.empty()) << "reading writes nothing";
}

TEST_F(RegistryValuesTest, NonzeroFlagsCountAsOnAndAreWrittenBackAsOne) {
    registry.setNumber(HLE_ENABLED_VALUE, 2);
    registry.setNumber(NICE_FRAME_BUFFER_VALUE, 0x80000000u);
    registry.setNumber("Controller 3 Enabled", 7);
    registry.setNumber("Controller 5 Enabled", 1); // only controllers 1 to 4 exist
    registry.setNumber(COMPLETE_MACHINE_VALUE, 0);
    registry.setNumber(LIMIT_SPEED_VALUE, 0);
    readOptions();
    EXPECT_FALSE(completeMachineOption);
    EXPECT_FALSE(limitSpeed);
    limitSpeed = true;
    EXPECT_TRUE(hleEnabled);
    EXPECT_TRUE(niceFrameBuffer);
    EXPECT_TRUE(readControllerEnabled(3));
    EXPECT_FALSE(readControllerEnabled(2));
    EXPECT_FALSE(readControllerEnabled(5));

    writeOptions();
    writeControllerEnabled(3, true);
    writeControllerEnabled(2, false);
    for (const char* name :
         {HLE_ENABLED_VALUE, NICE_FRAME_BUFFER_VALUE, LIMIT_SPEED_VALUE, "Controller 3 Enabled"}) {
        ASSERT_NE(registry.find(name), nullptr) << name;
        EXPECT_EQ(registry.find(name)->type, REG_DWORD);
        EXPECT_EQ(numberOf(registry.find(name)), 1u) << name;
    }
    EXPECT_EQ(numberOf(registry.find("Controller 2 Enabled")), 0u);
    EXPECT_EQ(numberOf(registry.find(COMPLETE_MACHINE_VALUE)), 0u);
}

TEST_F(RegistryValuesTest, ValuesRoundTripWithTheirTypesAndBufferSizes) {
    // Controller numbers outside 1 to 4 write nothing.
    writeControllerEnabled(0, true);
    writeControllerEnabled(5, true);
    writeControllerPlugin(5, "x.so");
    EXPECT_TRUE(registry.values.empty());

    writeMainWindowPosition({-12, 40});
    writeOutputWindowPosition({300, 0});
    writeControllerPlugin(1, "scripted_pad.so");
    writeSoundPlugin("snd.so");
    writePreviousDirectory("/roms/");
    EXPECT_EQ(readMainWindowPosition().left, -12);
    EXPECT_EQ(readMainWindowPosition().top, 40);
    EXPECT_EQ(readOutputWindowPosition().left, 300);
    EXPECT_EQ(readOutputWindowPosition().top, 0);
    EXPECT_EQ(readControllerPlugin(1), "scripted_pad.so");
    EXPECT_EQ(readSoundPlugin(), "snd.so");
    EXPECT_EQ(registry.find(MAIN_WINDOW_LEFT)->type, REG_DWORD);
    // Strings are stored without their terminating zero.
    const auto* plugin = registry.find("Controller 1 Plugin");
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(plugin->type, REG_SZ);
    EXPECT_EQ(plugin->bytes, "scripted_pad.so");
    EXPECT_EQ(registry.find(PREVIOUS_DIRECTORY_VALUE)->bytes, "/roms/");

    // Strings are read at most their buffer size; a zero inside ends them.
    const std::string longName(300, 'x');
    writeControllerPlugin(4, longName);
    writeGraphicsPlugin(longName);
    writeSoundPlugin(std::string(99, 's'));
    EXPECT_EQ(readControllerPlugin(4), std::string(199, 'x'));
    EXPECT_EQ(readGraphicsPlugin(), std::string(99, 'x'));
    EXPECT_EQ(readSoundPlugin(), std::string(99, 's'));
    registry.write(ORVEX_REGISTRY_KEY, GRAPHICS_PLUGIN_VALUE, REG_SZ, std::string("a.so\0junk", 9));
    EXPECT_EQ(readGraphicsPlugin(), "a.so");
}

} // namespace
