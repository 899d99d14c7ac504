// The record's layout: the maker's key holds Author, InfoURL and DisplayHost; a subkey
// named after the distinct name holds Build, DistinctName, DisplayName and FilePath.
#include "update/registration.h"

#include "platform/registry_store.h"
#include "update/http_client.h"
#include "update/program_identity.h"

namespace zorvane {

namespace {

std::string makerKey() {
    return std::string(kRegistrationRoot) + "\\" + kMakerKeyName;
}

std::string programKey() {
    return makerKey() + "\\" + kDistinctName;
}

}  // namespace

bool registerProgram(RegistryStore& store, const ProgramRecord& record) {
    if (!store.keyExists(kRegistrationRoot)) return false;
    store.setString(makerKey(), "Author", kAuthorName);
    store.setString(makerKey(), "InfoURL", record.infoUrl);
    store.setString(makerKey(), "DisplayHost", urlHost(record.infoUrl));
    store.setInt(programKey(), "Build", kBuildNumber);
    store.setString(programKey(), "DistinctName", kDistinctName);
    store.setString(programKey(), "DisplayName", kProgramName);
    store.setString(programKey(), "FilePath", record.filePath);
    return store.save();
}

bool unregisterProgram(RegistryStore& store) {
    store.deleteKey(programKey());
    if (!store.hasSubkeys(makerKey())) store.deleteKey(makerKey());
    return store.save();
}

}  // namespace zorvane
