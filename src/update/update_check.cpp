// The update information file is read as a private profile text, so comments, spacing and
// letter case of sections and keys follow the same rules as the settings file.
#include "update/update_check.h"

#include "platform/ini_file.h"
#include "platform/string_util.h"

namespace zorvane {

namespace {

}  // namespace

UpdateCheckAnswer findUpdate(const std::string& infText, const std::string& distinctName,
                             int build) {
    IniFile inf = IniFile::fromText(infText);
    UpdateCheckAnswer answer;
    for (int n = 1;; ++n) {
        std::string section = "Soft" + std::to_string(n);
        std::string name = inf.get(section, "DistinctName");
        if (name.empty()) break;
        if (!equalsNoCase(name, distinctName)) continue;
        if (inf.getInt(section, "Build", 0) > build) {
            answer.result = UpdateResult::NewerBuild;
            answer.foundVersion = inf.get(section, "Version");
        } else {
            answer.result = UpdateResult::NoNewerBuild;
        }
        return answer;
    }
    answer.errorText = "NotFound:" + distinctName;
    return answer;
}

UpdateCheckAnswer checkForUpdate(const std::string& distinctName, int build,
                                 const UpdateCheckOptions& options) {
    std::string text;
    UpdateCheckAnswer answer;
    if (!httpGet(options.infoUrl, text, options.http, answer.errorText)) return answer;
    return findUpdate(text, distinctName, build);
}

}  // namespace zorvane
