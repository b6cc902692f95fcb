// Test helpers: a fresh machine, a recording user-interface sink, temporary
// files and the shared test ROMs.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/recording_ui_sink.h"

// Installs a recording sink for the test's lifetime and restores the default.
class ScopedRecordingSink {
  public:
    ScopedRecordingSink();
    ~ScopedRecordingSink();
    RecordingUiSink& operator*() { return sink_; }
    RecordingUiSink* operator->() { return &sink_; }

  private:
    RecordingUiSink sink_;
};

// A fresh temporary directory per call, under the build tree.
std::string makeTempDir(const std::string& tag);
// Reads a whole text file ("" when missing).
std::string readTextFile(const std::string& path);
// The text of the open log so far.
std::string openLogText();
// Path of a shared test ROM, or "" when the folder is absent.
std::string sharedRom(const std::string& name);

// Loads an image built from `words` into theRom and resets the machine.
void bootMachineWithProgram(const std::vector<uint32_t>& words);
// Resets the machine with no ROM image loaded.
void resetBareMachine();

// Guest memory as the guest sees it (big-endian words), through the host blocks.
uint32_t guestWord(uint32_t physical);
void setGuestWord(uint32_t physical, uint32_t value);
