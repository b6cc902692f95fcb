// Shared set-up of the plug-in tests: folders holding copies of the test
// libraries, a working directory switched for one test, and a private registry.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "base/registry.h"
#include "support/test_machine.h"

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

class TestRegistry : public RegistryBackend {
  public:
    TestRegistry() { installRegistryBackend(this); }
    ~TestRegistry() override { installRegistryBackend(nullptr); }
    bool read(const std::string& subkey, const std::string& name, std::string& bytes) override {
        auto it = values_.find(subkey + '\n' + name);
        if (it == values_.end()) return false;
        bytes = it->second;
        return true;
    }
    bool write(const std::string& subkey, const std::string& name, uint32_t,
               const std::string& bytes) override {
        values_[subkey + '\n' + name] = bytes;
        return true;
    }
    void setNumber(const std::string& name, uint32_t value) {
        writeRegValue(HKEY_CURRENT_USER, ORVEX_REGISTRY_KEY, name.c_str(), REG_DWORD, &value, 4);
    }
    void setString(const std::string& name, const std::string& value) {
        writeRegValue(HKEY_CURRENT_USER, ORVEX_REGISTRY_KEY, name.c_str(), REG_SZ, value.data(),
                      value.size());
    }

  private:
    std::map<std::string, std::string> values_;
};

inline const std::vector<std::string> ALL_TEST_LIBRARIES = {
    "good_pad.so",     "no_input_pad.so", "graphics_plugin.so",
    "sound_plugin.so", "not_a_plugin.so", "not_a_library.so"};
