// The program's entry in the per-user record that the maker's tools share: written at
// start-up only where that record already exists, removed on the uninstall exit.
#pragma once
#include <string>

namespace zorvane {

class RegistryStore;

// The shared root of the record, below HKEY_CURRENT_USER.
constexpr const char* kRegistrationRoot = "Software\\Novaskim";

struct ProgramRecord {
    std::string infoUrl;   // where the update information file is fetched
    std::string filePath;  // the running program
};

// False when nothing was written (the root key is absent, or the store cannot be saved).
bool registerProgram(RegistryStore& store, const ProgramRecord& record);
// Removes the program's subkey, then the maker's key once no subkey is left below it.
bool unregisterProgram(RegistryStore& store);

}  // namespace zorvane
