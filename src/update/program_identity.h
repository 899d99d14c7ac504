// Who the program is: the names and version shown in the version box, the title bar and
// the update check, and where the maker publishes it, kept in one place.
#pragma once

#include "update/version.h"

namespace zorvane {

constexpr const char* kProgramName = "Zorvane";
constexpr const char* kDistinctName = "zorvane";
// From the version set in CMake: "1.06" is shown as "Ver1.06" and compared as build 106.
constexpr const char* kVersion = ZORVANE_VERSION;
constexpr const char* kVersionText = "Ver" ZORVANE_VERSION;
constexpr int kBuildNumber = ZORVANE_BUILD_NUMBER;
constexpr const char* kWebPageUrl = "https://zorvane.example.org/";
// The third line of the version box.
constexpr const char* kVersionNote = "RPGXP プロジェクト解析ツール";

// The update information file on the maker's server (the setting Update InfoURL can point
// elsewhere), and the maker's entry in the per-user registration record.
constexpr const char* kUpdateInfoUrl = "http://zorvane.example.org/downloads/update.inf";
constexpr const char* kMakerKeyName = "ZorvaneProject";
constexpr const char* kAuthorName = "Zorvane Project";

}  // namespace zorvane
