// The version query: fetch the maker's update information file, find this program's
// "Soft%d" section and compare its build number with ours.
#pragma once
#include <string>

#include "update/http_client.h"

namespace zorvane {

enum class UpdateResult { Failed = 0, NoNewerBuild = 1, NewerBuild = 2 };

struct UpdateCheckOptions {
    std::string infoUrl;
    HttpOptions http;
};

struct UpdateCheckAnswer {
    UpdateResult result = UpdateResult::Failed;
    std::string foundVersion;  // the Version of a newer build
    std::string errorText;     // why the check failed
};

// The entry of distinctName (compared without regard to case) in an update information
// file's text; the scan stops at the first "Soft%d" without a DistinctName.
UpdateCheckAnswer findUpdate(const std::string& infText, const std::string& distinctName,
                             int build);
UpdateCheckAnswer checkForUpdate(const std::string& distinctName, int build,
                                 const UpdateCheckOptions& options);

}  // namespace zorvane
