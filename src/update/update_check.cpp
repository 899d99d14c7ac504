// The update information file is read as a private profile text, so comments, spacing and
// letter case of sections and keys follow the same rules as the settings file.
#include "update/update_check.h"

#include "platform/ini_file.h"

namespace zorvane {

namespace {

bool sameNameNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace

UpdateCheckAnswer findUpdate(const std::string& infText, const std::string& distinctName,
                             int build) {
    IniFile inf = IniFile::fromText(infText);
    UpdateCheckAnswer answer;
    for (int n = 1;; ++n) {
        std::string section = "Soft" + std::to_string(n);
        std::string name = inf.get(section, "DistinctName");
        if (name.empty()) break;
        if (!sameNameNoCase(name, distinctName)) continue;
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
