// The registry kept in a settings file through QSettings: on Linux a file
// under the user's XDG config directory ($XDG_CONFIG_HOME/Orvex/Orvex.conf,
// by default ~/.config/Orvex/Orvex.conf). Values of "Software\Orvex" sit at
// the top of the file; other subkeys become groups.
//
// Numbers are stored as "dword:XXXXXXXX" (hexadecimal, as registry exports
// write them), strings as text; bytes that are not UTF-8 text, and text that
// would read as a number, are stored as raw bytes.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "base/registry.h"

class QSettings;

class QSettingsRegistry : public RegistryBackend {
  public:
    // The user's settings file.
    QSettingsRegistry();
    // A settings file at the given path (tests, portable set-ups).
    explicit QSettingsRegistry(const std::string& filePath);
    ~QSettingsRegistry() override;

    bool read(const std::string& subkey, const std::string& name, std::string& bytes) override;
    bool write(const std::string& subkey, const std::string& name, uint32_t type,
               const std::string& bytes) override;

    std::string fileName() const;

  private:
    mutable std::mutex mutex_;
    std::unique_ptr<QSettings> settings_;
};
