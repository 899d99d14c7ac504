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
    // Read in one pass: tens of thousands of sections must not cost a scan each.
    const IniFile::Values inf = IniFile::fromText(infText).allValues();
    auto value = [&](const std::string& section, const char* key) {
        auto keys = inf.find(section);
        if (keys == inf.end()) return std::string();
        auto found = keys->second.find(key);
        return found == keys->second.end() ? std::string() : found->second;
    };
    UpdateCheckAnswer answer;
    for (int n = 1;; ++n) {
        std::string section = "soft" + std::to_string(n);
        std::string name = value(section, "distinctname");
        if (name.empty()) break;
        if (!equalsNoCase(name, distinctName)) continue;
        if (IniFile::toInt(value(section, "build"), 0) > build) {
            answer.result = UpdateResult::NewerBuild;
            answer.foundVersion = value(section, "version");
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
