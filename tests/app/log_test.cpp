#include <gtest/gtest.h>

#include <string>

#include "base/log.h"
#include "core/cpu_state.h"
#include "core/machine.h"
#include "support/test_machine.h"

namespace {

TEST(Log, OneFilePerNameLinesWithProgramCounterAndLongTextsCut) {
    // Lines before any open are dropped quietly.
    closeLog();
    logLine("nobody hears %d", 1);
    logLineWithPc("nor this");
    flushLog();
    EXPECT_STREQ(theLog.path(), "");

    // A directory with and without separator gives the same file; the second
    // open truncates the file of the first.
    const std::string dir = makeTempDir("log");
    openLog(dir.c_str(), "%s.main", "Demo");
    EXPECT_EQ(std::string(theLog.path()), dir + "/Demo.main.log");
    logLine("first");
    openLog((dir + "/").c_str(), "%s.main", "Demo");
    EXPECT_EQ(std::string(theLog.path()), dir + "/Demo.main.log");
    logLine("second");
    theCpu.pc = 0x80000180;
    logLineWithPc("TLB miss");
    const std::string huge(5000, 'x');
    logLine("%s", huge.c_str());
    closeLog();
    EXPECT_EQ(readTextFile(dir + "/Demo.main.log"),
              "second\n[80000180] TLB miss\n" + std::string(LOG_MESSAGE_SIZE - 1, 'x') + "\n");
    EXPECT_STREQ(theLog.path(), "");

    // Boxes and status texts are cut too, not overflowed.
    ScopedRecordingSink sink;
    showMessage(0, "%s", huge.c_str());
    ASSERT_EQ(sink->messages().size(), 1u);
    EXPECT_EQ(sink->messages()[0].text.size(), MESSAGE_BOX_TEXT_SIZE - 1);
    statusMessage("%s", huge.c_str());
    EXPECT_EQ(sink->statusPart(2).size(), STATUS_TEXT_SIZE - 1);
    setStatusText(1, "%s", huge.c_str());
    EXPECT_EQ(sink->statusPart(1).size(), STATUS_TEXT_SIZE - 1);
}

TEST(Messages, BoxTitleFlagsAndAnswers) {
    ScopedRecordingSink sink;
    EXPECT_EQ(showMessage(0x10, "Cannot open %s!", "file"), MESSAGE_OK);
    sink->queueAnswer(MESSAGE_NO);
    EXPECT_EQ(showMessage(4, "Go on?"), MESSAGE_NO);
    const auto messages = sink->messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].title, "Orvex says:");
    EXPECT_EQ(messages[0].flags, 0x30u);
    EXPECT_EQ(messages[0].text, "Cannot open file!");
    EXPECT_EQ(messages[1].flags, 0x34u);
}

TEST(Messages, StatusMessageGoesToTheLogOnlyWhileRunning) {
    ScopedRecordingSink sink;
    const std::string dir = makeTempDir("status");
    openLog(dir.c_str(), "status");
    theCpu.pc = 0x80000180;
    emulationHalted = 0;
    statusMessage("Stop");
    EXPECT_EQ(sink->statusPart(2), "Stop [80000180]");
    haltEmulation();
    statusMessage("Quiet");
    EXPECT_EQ(sink->statusPart(2), "Quiet [80000180]");
    closeLog();
    emulationHalted = 0;
    EXPECT_EQ(readTextFile(dir + "/status.log"), "Stop [80000180]\n");
}

} // namespace
