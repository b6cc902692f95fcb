// Shared set-up of the plug-in tests: folders holding copies of the test
// libraries, a working directory switched for one test, and a private registry.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/test_machine.h"
#include "support/test_registry.h"

// A folder holding copies of the named test libraries.
inline std::string pluginFolder(const std::string& tag, const std::vector<std::string>& files) {
    const std::string dir = makeTempDir(tag);
    for (const std::string& file : files)
        std::filesystem::copy_file(std::filesystem::path(ORVEX_TEST_PLUGIN_DIR) / file,
                                   std::filesystem::path(dir) / file);
    return dir;
}

class ScopedWorkingDirectory {
  public:
    explicit ScopedWorkingDirectory(const std::string& dir)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~ScopedWorkingDirectory() { std::filesystem::current_path(previous_); }

  private:
    std::filesystem::path previous_;
};

inline const std::vector<std::string> ALL_TEST_LIBRARIES = {
    "good_pad.so",     "no_input_pad.so", "graphics_plugin.so",
    "sound_plugin.so", "not_a_plugin.so", "not_a_library.so"};
