#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "base/registry.h"
#include "hle/hle_table.h"
#include "host/qt/qsettings_registry.h"
#include "support/test_machine.h"
#include "system/settings_values.h"
#include "video/frame_buffer_display.h"

namespace {

class QSettingsRegistryTest : public ::testing::Test {
  protected:
    void SetUp() override { path = makeTempDir("qsettings") + "/Orvex.conf"; }
    void TearDown() override {
        installRegistryBackend(nullptr);
        hleEnabled = niceFrameBuffer = false;
    }
    std::string path;
};

TEST_F(QSettingsRegistryTest, ValuesPersistInTheFileAcrossRuns) {
    {
        // First start: the defaults, and reading creates no file.
        QSettingsRegistry registry(path);
        installRegistryBackend(&registry);
        readOptions();
        EXPECT_FALSE(hleEnabled);
        EXPECT_FALSE(std::filesystem::exists(path));
        hleEnabled = true;
        writeOptions();
        writeMainWindowPosition({-12, 40});
        writeControllerPlugin(2, "scripted_pad.so");
        writeSoundPlugin("snd,1.so");
        installRegistryBackend(nullptr);
    }
    std::string text = readTextFile(path);
    EXPECT_NE(text.find("functions=dword:00000001"), std::string::npos) << text;
    EXPECT_NE(text.find("scripted_pad.so"), std::string::npos) << text;

    QSettingsRegistry registry(path);
    installRegistryBackend(&registry);
    readOptions();
    EXPECT_TRUE(hleEnabled);
    EXPECT_FALSE(niceFrameBuffer);
    EXPECT_EQ(readMainWindowPosition().left, -12);
    EXPECT_EQ(readMainWindowPosition().top, 40);
    EXPECT_EQ(readControllerPlugin(2), "scripted_pad.so");
    EXPECT_EQ(readSoundPlugin(), "snd,1.so");

    // A hand-edited option of two (in a new file) is on, and written back as one.
    text.replace(text.find("functions=dword:00000001"), 24, "functions=dword:00000002");
    const std::string handEdited = path + ".edited";
    std::ofstream(handEdited) << text;
    QSettingsRegistry edited(handEdited);
    installRegistryBackend(&edited);
    EXPECT_EQ(readRegNumber(HLE_ENABLED_VALUE, 7), 2u);
    hleEnabled = false;
    readOptions();
    EXPECT_TRUE(hleEnabled);
    writeOptions();
    EXPECT_NE(readTextFile(handEdited).find("functions=dword:00000001"), std::string::npos);
}

TEST_F(QSettingsRegistryTest, RawBytesAndOtherSubkeysRoundTripExactly) {
    QSettingsRegistry registry(path);
    const std::string odd("\xFF\x01"
                          "abc\0z",
                          7);
    const std::string lookalike = "dword:00000005";
    ASSERT_TRUE(registry.write(ORVEX_REGISTRY_KEY, "Odd", REG_SZ, odd));
    ASSERT_TRUE(registry.write(ORVEX_REGISTRY_KEY, "Lookalike", REG_SZ, lookalike));
    ASSERT_TRUE(
        registry.write("Software\\Orvex\\Extra", "Odd", REG_DWORD, std::string("\x05\0\0\0", 4)));

    QSettingsRegistry again(path);
    std::string bytes;
    ASSERT_TRUE(again.read(ORVEX_REGISTRY_KEY, "Odd", bytes));
    EXPECT_EQ(bytes, odd);
    ASSERT_TRUE(again.read(ORVEX_REGISTRY_KEY, "Lookalike", bytes));
    EXPECT_EQ(bytes, lookalike);
    ASSERT_TRUE(again.read("Software\\Orvex\\Extra", "Odd", bytes));
    EXPECT_EQ(bytes, std::string("\x05\0\0\0", 4));
    EXPECT_FALSE(again.read(ORVEX_REGISTRY_KEY, "Missing", bytes));
}

TEST_F(QSettingsRegistryTest, UnwritableFileReportsFailureAndKeepsDefaults) {
    const std::string blocker = makeTempDir("qsettings") + "/file";
    std::ofstream(blocker) << "not a directory";
    QSettingsRegistry registry(blocker + "/Orvex.conf");
    EXPECT_FALSE(
        registry.write(ORVEX_REGISTRY_KEY, "Main Window Left", REG_DWORD, std::string(4, '\0')));
}

TEST_F(QSettingsRegistryTest, UserFileLivesUnderTheXdgConfigDirectory) {
    // Qt reads the variable once per process, so every run here sets the same.
    static const std::string home = makeTempDir("xdg");
    setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    QSettingsRegistry registry;
    EXPECT_EQ(registry.fileName(), home + "/Orvex/Orvex.conf");
}

} // namespace
