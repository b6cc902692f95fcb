#include <cstring>

#include "hw/pif.h"
#include "hw_test_support.h"

namespace {

int inputCalls[CONTROLLER_SLOT_COUNT];

template <int Channel> void fakeInput(OrvexInputState* state) {
    ++inputCalls[Channel];
    state->buttons[0] = uint8_t(0x80 | Channel);
    state->buttons[1] = 0x21;
    state->stickX = 100;
    state->stickY = -2;
}

class Pif : public DeviceTest {
  protected:
    void SetUp() override {
        DeviceTest::SetUp();
        std::memset(inputCalls, 0, sizeof inputCalls);
        controllerSlots[0].getInput = fakeInput<0>;
        controllerSlots[1].getInput = fakeInput<1>;
        controllerSlots[2].getInput = fakeInput<2>;
        controllerSlots[3].getInput = fakeInput<3>;
    }
    // PIF RAM in guest byte order: byte 0 is the byte at 0x1FC007C0.
    static uint8_t& in(int i) { return theMemory.pifRamIn[i ^ 3]; }
    static uint8_t out(int i) { return theMemory.pifRamOut[i ^ 3]; }
    static void writeBlock(std::initializer_list<uint8_t> bytes, uint8_t control = 0) {
        std::memset(theMemory.pifRamIn, 0, PIF_RAM_SIZE);
        int i = 0;
        for (uint8_t b : bytes)
            in(i++) = b;
        in(63) = control;
    }
    static std::vector<uint8_t> outBytes(int from, int count) {
        std::vector<uint8_t> bytes;
        for (int i = from; i < from + count; ++i)
            bytes.push_back(out(i));
        return bytes;
    }
    using Bytes = std::vector<uint8_t>;
};

TEST_F(Pif, StatusOfFourChannelsWithOnlyControllerOne) {
    controllerSlots[0].enabled = 1;
    writeBlock({0xFF, 0x01, 0x03, 0x00, 0xAA, 0xAA, 0xAA, 0xAA, //
                0xFF, 0x01, 0x03, 0x00, 0xAA, 0xAA, 0xAA, 0xAA, //
                0xFF, 0x01, 0x03, 0x00, 0xAA, 0xAA, 0xAA, 0xAA, //
                0xFF, 0x01, 0x03, 0x00, 0xAA, 0xAA, 0xAA, 0xAA, //
                0xFE});
    const std::vector<uint8_t> written(theMemory.pifRamIn, theMemory.pifRamIn + 64);
    processPifCommands();
    EXPECT_EQ(outBytes(0, 8), (Bytes{0xFF, 0x01, 0x03, 0x00, 0x05, 0x00, 0x02, 0xFF}));
    for (int s : {8, 16, 24})
        EXPECT_EQ(outBytes(s, 8), (Bytes{0xFF, 0x01, 0x83, 0x00, 0xAA, 0xAA, 0xAA, 0xAA}));
    EXPECT_EQ(out(32), 0xFE);
    EXPECT_EQ(out(63), 0);
    EXPECT_EQ(std::vector<uint8_t>(theMemory.pifRamIn, theMemory.pifRamIn + 64), written)
        << "the guest's command block stays as written";
}

TEST_F(Pif, ReadButtonsNeedsReceiveLengthFourAndAnEnabledChannel) {
    controllerSlots[0].enabled = 1;
    controllerSlots[1].enabled = 1;
    pollControllers();
    EXPECT_EQ(inputCalls[0], 1);
    EXPECT_EQ(inputCalls[1], 1);
    EXPECT_EQ(inputCalls[2], 0) << "disabled slots are not polled";
    writeBlock({0xFF, 0x01, 0x04, 0x01, 0, 0, 0, 0, //
                0xFF, 0x01, 0x03, 0x01, 0, 0, 0, 0, //
                0xFF, 0x01, 0x04, 0x01, 0, 0, 0, 0, //
                0xFE});
    processPifCommands();
    EXPECT_EQ(outBytes(4, 4), (Bytes{0x80, 0x21, 100, 0xFE}));
    EXPECT_EQ(out(10), 0x83) << "receive length 3 is answered as no controller";
    EXPECT_EQ(outBytes(12, 4), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(out(18), 0x84) << "channel 2 is not enabled";
    EXPECT_EQ(out(63), 0);
}

TEST_F(Pif, FirstAccessAnswer) {
    writeBlock({0xFF, 0x01, 0xF4, 0x01, 1, 2, 3, 4, //
                0xFF, 0x01, 0x04, 0x01, 1, 2, 3, 4, //
                0xFF, 0x01, 0x04, 0x01, 1, 2, 3, 4, //
                0xFF, 0x01, 0x04, 0x01, 1, 2, 3, 4, //
                0x11, 0x22, 0x33},
               8);
    processPifCommands();
    EXPECT_EQ(outBytes(0, 8), (Bytes{0xFF, 0x01, 0x04, 0x01, 0, 0, 0, 0}));
    for (int s : {8, 16, 24})
        EXPECT_EQ(outBytes(s, 8), (Bytes{0xFF, 0x01, 0x84, 0x01, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(outBytes(32, 3), (Bytes{0xFE, 0x22, 0x33}));
    EXPECT_EQ(out(63), 0);
    EXPECT_EQ(sink_->statusPart(2).rfind("First PIF access!", 0), 0u);
}

TEST_F(Pif, StopRulesAndTheControlByte) {
    // A block that starts with its end answers nothing.
    writeBlock({0xFE, 0x00, 0x00, 0x00, 0, 0, 0, 0, 0xFF, 0x01, 0x03, 0x00});
    processPifCommands();
    EXPECT_EQ(out(63), 1);
    EXPECT_EQ(out(10), 0x03);

    // Command 0x03 on an enabled channel ends the scan.
    controllerSlots[0].enabled = 1;
    writeBlock({0xFF, 0x01, 0x03, 0x03, 0, 0, 0, 0, 0xFF, 0x01, 0x03, 0x00});
    processPifCommands();
    EXPECT_EQ(out(2), 0x03);
    EXPECT_EQ(out(10), 0x03) << "later slots keep what the guest wrote";
    EXPECT_EQ(out(63), 0);

    // Slots other than 0xFF and 0xFE are skipped; pak and EEPROM commands get
    // no answer, log, and leave the control byte alone.
    writeBlock({0x00, 0x01, 0x03, 0x00, 0, 0, 0, 0, //
                0xFF, 0x01, 0x03, 0x02, 0, 0, 0, 0, //
                0xFF, 0x01, 0x03, 0x04, 0, 0, 0, 0, //
                0xFF, 0x01, 0x03, 0x05, 0, 0, 0, 0, //
                0xFF, 0x01, 0x03, 0x06});
    processPifCommands();
    EXPECT_EQ(out(2), 0x03);
    EXPECT_EQ(out(10), 0x83);
    EXPECT_EQ(out(18), 0x83);
    EXPECT_EQ(out(26), 0x83);
    EXPECT_EQ(out(34), 0x03);
    EXPECT_EQ(out(63), 1);
    const std::string log = openLogText();
    for (const char* text :
         {"***** Implement PIF command 0x02 *****", "***** Implement PIF command 0x04 *****",
          "***** Implement PIF command 0x05 *****"})
        EXPECT_NE(log.find(text), std::string::npos) << text;

    // A reset command answers the control byte; slots 4-7 have no controller.
    writeBlock({0xFF, 0x01, 0x03, 0xFF, 0, 0, 0, 0, //
                0x00, 0,    0,    0,    0, 0, 0, 0, 0x00, 0, 0,    0,    0,    0,
                0,    0,    0x00, 0,    0, 0, 0, 0, 0,    0, 0xFF, 0x01, 0x04, 0x01});
    processPifCommands();
    EXPECT_EQ(out(34), 0x84);
    EXPECT_EQ(out(63), 0);
}

TEST_F(Pif, GuestRoundTripThroughBothSiTransfersInOneBlock) {
    controllerSlots[0].enabled = 1;
    // The command block in RDRAM, as the guest builds it.
    const uint32_t block[16] = {0xFF010401, 0, 0xFE000000};
    for (int i = 0; i < 16; ++i)
        setGuestWord(0x4000 + 4 * i, block[i]);
    // The read address is stored first; the write transfer still runs first.
    store(SI_DRAM_ADDR_REG_ADDR, 0x4000);
    store(SI_PIF_ADDR_RD64B_REG_ADDR, 0x1FC007C0);
    store(SI_PIF_ADDR_WR64B_REG_ADDR, 0x1FC007C0);
    processMemActions();
    EXPECT_EQ(inputCalls[0], 1);
    EXPECT_EQ(guestWord(0x4000), 0xFF010401u);
    EXPECT_EQ(guestWord(0x4004), 0x802164FEu);
    EXPECT_EQ(guestWord(0x4008), 0xFE000000u);
    EXPECT_EQ(guestWord(0x403C), 0u) << "control byte 0 after an answer";
    EXPECT_EQ(MI_INTR_REG & MI_INTR_SI, uint32_t(MI_INTR_SI));
}

} // namespace
