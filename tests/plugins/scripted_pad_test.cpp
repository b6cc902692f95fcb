#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "plugin_test_support.h"
#include "plugins/controller_plugin.h"

namespace {

using SetScript = int (*)(const char*);

class ScriptedPad : public ::testing::Test {
  protected:
    void SetUp() override {
        resetControllerSlots();
        ASSERT_TRUE(pad().open(ORVEX_SCRIPTED_PAD));
        ASSERT_TRUE(pad().lookUpEntryPoints());
        setScript_ = reinterpret_cast<SetScript>(pad().getFunction("scriptedPadSetScript"));
        ASSERT_NE(setScript_, nullptr);
        dir_ = makeTempDir("pad");
    }
    void TearDown() override {
        unsetenv("ORVEX_PAD_SCRIPT");
        setScript_("");
        pad().freePlugin();
        resetControllerSlots();
    }
    static CControllerPlugin& pad() { return controllerSlots[0]; }
    std::string writeScript(const std::string& text) {
        const std::string path = dir_ + "/script" + std::to_string(scripts_++) + ".txt";
        std::ofstream(path) << text;
        return path;
    }
    std::vector<int> poll(int times) {
        std::vector<int> states;
        for (int i = 0; i < times; ++i) {
            OrvexInputState s{};
            pad().getInput(&s);
            states.push_back(s.buttons[0] << 24 | s.buttons[1] << 16 | uint8_t(s.stickX) << 8 |
                             uint8_t(s.stickY));
        }
        return states;
    }

    SetScript setScript_ = nullptr;
    std::string dir_;
    int scripts_ = 0;
};

TEST_F(ScriptedPad, ReplaysLinesWithRepeatsAndHoldsTheLast) {
    ASSERT_TRUE(setScript_(writeScript("# start\n"
                                       "1000 0 0 2\n"
                                       "\n"
                                       "0x8020 127 -128   # A and L, stick right-down\n"
                                       "nonsense\n"
                                       "10000 0 0\n"
                                       "0 5 5 0\n"
                                       "0001 -1 1\n")
                               .c_str()));
    EXPECT_EQ(poll(6), (std::vector<int>{0x10000000, 0x10000000, int(0x80207F80), 0x0001FF01,
                                         0x0001FF01, 0x0001FF01}));
    // Each run starts the script from its first line.
    ASSERT_EQ(pad().initPlugin(nullptr, nullptr), 1);
    EXPECT_EQ(poll(1), (std::vector<int>{0x10000000}));
}

TEST_F(ScriptedPad, FallsBackToTheEnvironmentAndToNeutral) {
    EXPECT_EQ(pad().initPlugin(nullptr, nullptr), 1);
    EXPECT_EQ(poll(2), (std::vector<int>{0, 0}));

    setenv("ORVEX_PAD_SCRIPT", writeScript("0400 -3 4\n").c_str(), 1);
    EXPECT_EQ(pad().initPlugin(nullptr, nullptr), 1);
    EXPECT_EQ(poll(1), (std::vector<int>{0x0400FD04}));

    setenv("ORVEX_PAD_SCRIPT", (dir_ + "/absent.txt").c_str(), 1);
    EXPECT_EQ(pad().initPlugin(nullptr, nullptr), 0) << "a named script that is missing fails";
}

TEST_F(ScriptedPad, RefusesWhatIsNotAScriptAndReportsEachLineOnce) {
    // Repeat counts that overflow, or exceed 32 bits, are refused lines; the
    // report of a bad line comes once although initPlugin follows setScript.
    testing::internal::CaptureStderr();
    ASSERT_TRUE(setScript_(writeScript("1000 0 0 99999999999999999999999\n"
                                       "2000 0 0 4294967296\n"
                                       "4000 0 0 4294967295\n")
                               .c_str()));
    ASSERT_EQ(pad().initPlugin(nullptr, nullptr), 1);
    const std::string report = testing::internal::GetCapturedStderr();
    EXPECT_NE(report.find(":1: unreadable"), std::string::npos) << report;
    EXPECT_NE(report.find(":2: unreadable"), std::string::npos) << report;
    EXPECT_EQ(report.find(":1: unreadable", report.find(":1: unreadable") + 1), std::string::npos)
        << report;
    EXPECT_EQ(poll(1), (std::vector<int>{0x40000000}));

    // Not text, not a file, not there: refused as a whole, and a run's
    // initPlugin fails with it.
    std::string withNul = "1000 0 0\n8000 0";
    withNul.push_back('\0');
    withNul += " 0\n2000 0 0\n";
    const std::string fifo = dir_ + "/pad.fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {writeScript(withNul), dir_, fifo, dir_ + "/absent.txt"}) {
        SCOPED_TRACE(path);
        testing::internal::CaptureStderr();
        EXPECT_EQ(setScript_(path.c_str()), 0);
        EXPECT_EQ(pad().initPlugin(nullptr, nullptr), 0);
        const std::string refusal = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(refusal.begin(), refusal.end(), '\n'), 1) << refusal;
        EXPECT_EQ(poll(1), (std::vector<int>{0}));
    }
}

} // namespace
