#include "base/registry.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <mutex>

namespace {

class MemoryRegistry : public RegistryBackend {
  public:
    bool read(const std::string& subkey, const std::string& name, std::string& bytes) override {
        std::lock_guard lock(mutex_);
        auto it = values_.find(subkey + '\n' + name);
        if (it == values_.end()) return false;
        bytes = it->second;
        return true;
    }
    bool write(const std::string& subkey, const std::string& name, uint32_t,
               const std::string& bytes) override {
        std::lock_guard lock(mutex_);
        values_[subkey + '\n' + name] = bytes;
        return true;
    }

  private:
    std::mutex mutex_;
    std::map<std::string, std::string> values_;
};

MemoryRegistry& memoryRegistry() {
    static MemoryRegistry registry;
    return registry;
}

std::atomic<RegistryBackend*> installed{nullptr};

} // namespace

RegistryBackend& registryBackend() {
    RegistryBackend* backend = installed.load(std::memory_order_acquire);
    return backend ? *backend : memoryRegistry();
}

void installRegistryBackend(RegistryBackend* backend) {
    installed.store(backend, std::memory_order_release);
}

bool readRegValue(RegistryRoot root, const char* subkey, const char* name, void* buffer,
                  size_t size) {
    if (root != HKEY_CURRENT_USER || !buffer) return false;
    std::string bytes;
    if (!registryBackend().read(subkey, name, bytes)) return false;
    std::memcpy(buffer, bytes.data(), std::min(bytes.size(), size));
    return true;
}

bool writeRegValue(RegistryRoot root, const char* subkey, const char* name, uint32_t type,
                   const void* data, size_t size) {
    if (root != HKEY_CURRENT_USER) return false;
    return registryBackend().write(subkey, name, type,
                                   std::string(static_cast<const char*>(data), size));
}
