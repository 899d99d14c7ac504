// The per-user registry keys of the program (update-check record, fuzzy-search options),
// kept in an ini file whose sections are key paths such as "Software\Hidemaruo\HmJre".
#pragma once
#include <mutex>
#include <string>

#include "platform/ini_file.h"

namespace zorvane {

class RegistryStore {
  public:
    explicit RegistryStore(std::string iniPath);
    // registry.ini in configFolder().
    static RegistryStore& user();

    std::string getString(const std::string& keyPath, const std::string& name,
                          const std::string& def) const;
    int getInt(const std::string& keyPath, const std::string& name, int def) const;
    void setString(const std::string& keyPath, const std::string& name, const std::string& value);
    void setInt(const std::string& keyPath, const std::string& name, int value);
    // Removes the key and every key below it.
    void deleteKey(const std::string& keyPath);
    // A key exists when it or a key below it is in the store (it may hold no values).
    bool keyExists(const std::string& keyPath) const;
    bool hasSubkeys(const std::string& keyPath) const;
    bool save();

  private:
    std::string path_;
    mutable std::mutex mutex_;
    IniFile ini_;
};

}  // namespace zorvane
