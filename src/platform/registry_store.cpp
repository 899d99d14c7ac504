// The per-user registry keys, kept in registry.ini beside the settings. One lock guards
// the file's contents because the update check may run on a worker thread.
#include "platform/registry_store.h"

#include <cctype>

#include "platform/file_util.h"
#include "platform/folders.h"
#include "platform/string_util.h"

namespace zorvane {

namespace {

// Whether the section `section` is the key `keyPath` or one of the keys below it.
bool isKeyOrBelow(const std::string& section, const std::string& keyPath) {
    if (section.size() == keyPath.size()) return startsWithNoCase(section, keyPath);
    return startsWithNoCase(section, keyPath + "\\");
}

}  // namespace

RegistryStore::RegistryStore(std::string iniPath) : path_(std::move(iniPath)) {
    ini_.load(path_);
}

RegistryStore& RegistryStore::user() {
    static RegistryStore store(joinPath(configFolder(), "registry.ini"));
    return store;
}

std::string RegistryStore::getString(const std::string& keyPath, const std::string& name,
                                     const std::string& def) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return ini_.has(keyPath, name) ? ini_.get(keyPath, name) : def;
}

int RegistryStore::getInt(const std::string& keyPath, const std::string& name, int def) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return ini_.getInt(keyPath, name, def);
}

void RegistryStore::setString(const std::string& keyPath, const std::string& name,
                              const std::string& value) {
    std::lock_guard<std::mutex> lock(mutex_);
    ini_.set(keyPath, name, value);
}

void RegistryStore::setInt(const std::string& keyPath, const std::string& name, int value) {
    setString(keyPath, name, std::to_string(value));
}

void RegistryStore::deleteKey(const std::string& keyPath) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const std::string& section : ini_.sections())
        if (isKeyOrBelow(section, keyPath)) ini_.removeSection(section);
}

bool RegistryStore::keyExists(const std::string& keyPath) const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const std::string& section : ini_.sections())
        if (isKeyOrBelow(section, keyPath)) return true;
    return false;
}

bool RegistryStore::hasSubkeys(const std::string& keyPath) const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const std::string& section : ini_.sections())
        if (section.size() > keyPath.size() && isKeyOrBelow(section, keyPath)) return true;
    return false;
}

bool RegistryStore::save() {
    std::lock_guard<std::mutex> lock(mutex_);
    return ini_.save(path_);
}

}  // namespace zorvane
