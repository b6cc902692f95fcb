// A private registry for one test: installed for its lifetime, it starts empty
// and keeps each value's type and raw bytes.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "base/registry.h"

class TestRegistry : public RegistryBackend {
  public:
    struct Value {
        uint32_t type;
        std::string bytes;
    };
    TestRegistry() { installRegistryBackend(this); }
    ~TestRegistry() override { installRegistryBackend(nullptr); }

    bool read(const std::string& subkey, const std::string& name, std::string& bytes) override {
        auto it = values.find(subkey + '\n' + name);
        if (it == values.end()) return false;
        bytes = it->second.bytes;
        return true;
    }
    bool write(const std::string& subkey, const std::string& name, uint32_t type,
               const std::string& bytes) override {
        values[subkey + '\n' + name] = {type, bytes};
        return true;
    }
    // A value of the program's own key, or null.
    Value* find(const std::string& name) {
        auto it = values.find(std::string(ORVEX_REGISTRY_KEY) + '\n' + name);
        return it == values.end() ? nullptr : &it->second;
    }
    void setNumber(const std::string& name, uint32_t value) {
        writeRegValue(HKEY_CURRENT_USER, ORVEX_REGISTRY_KEY, name.c_str(), REG_DWORD, &value, 4);
    }
    void setString(const std::string& name, const std::string& value) {
        writeRegValue(HKEY_CURRENT_USER, ORVEX_REGISTRY_KEY, name.c_str(), REG_SZ, value.data(),
                      value.size());
    }

    std::map<std::string, Value> values;
};
