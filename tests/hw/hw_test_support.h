// Shared set-up of the device tests: a fresh machine, guest stores through the
// memory map, and a log file to inspect.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/log.h"
#include "core/hw_registers.h"
#include "core/machine.h"
#include "core/memory.h"
#include "core/memory_map.h"
#include "hw/mem_actions.h"
#include "plugins/controller_plugin.h"
#include "support/test_machine.h"

class DeviceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetBareMachine();
        mem_actions[0] = mem_actions[1] = 0;
        resetControllerSlots();
        logDir_ = makeTempDir("hw-log");
        openLog(logDir_.c_str(), "device");
    }
    void TearDown() override {
        closeLog();
        resetControllerSlots();
    }

    // A guest word store to a physical address, through KSEG1.
    static void store(uint32_t physical, uint32_t value) {
        *reinterpret_cast<uint32_t*>(memWrite(0xA0000000u | physical)) = value;
    }
    // The same store followed by the end of its block.
    static void storeAndProcess(uint32_t physical, uint32_t value) {
        store(physical, value);
        processMemActions();
    }

    ScopedRecordingSink sink_;
    std::string logDir_;
};
