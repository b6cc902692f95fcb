// Settings of the user, kept under HKEY_CURRENT_USER "Software\Orvex". The
// values live in a settings back end that the front end installs (a settings
// file in the GUI); without one they live in memory for the life of the process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Root key and value types, with the numbers the settings have always used.
using RegistryRoot = uintptr_t;
constexpr RegistryRoot HKEY_CURRENT_USER = 0x80000001u;
constexpr uint32_t REG_SZ = 1;
constexpr uint32_t REG_DWORD = 4;
constexpr const char* ORVEX_REGISTRY_KEY = "Software\\Orvex";

class RegistryBackend {
  public:
    virtual ~RegistryBackend() = default;
    // Reads the raw bytes of a value; false when the key or value is missing.
    virtual bool read(const std::string& subkey, const std::string& name, std::string& bytes) = 0;
    // Stores a value with its type; false when it could not be stored.
    virtual bool write(const std::string& subkey, const std::string& name, uint32_t type,
                       const std::string& bytes) = 0;
};

// The back end in use; never null. Installing null restores the in-memory one.
RegistryBackend& registryBackend();
void installRegistryBackend(RegistryBackend* backend);

// Reads at most `size` bytes of a value into `buffer`; true only when the value
// was read. On false the buffer is unchanged, so its content is the default.
bool readRegValue(RegistryRoot root, const char* subkey, const char* name, void* buffer,
                  size_t size);
// Stores `size` bytes of `data` as a value of the given type.
bool writeRegValue(RegistryRoot root, const char* subkey, const char* name, uint32_t type,
                   const void* data, size_t size);
