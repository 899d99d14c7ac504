#include "project/project_path.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <vector>

#include "platform/file_util.h"
#include "platform/path_nocase.h"
#include "platform/string_util.h"

namespace zorvane {

namespace {

// A name made of the extension alone (".rxproj") has no file name before it.
bool hasExtension(std::string_view name, std::string_view extension) {
    return name.size() > extension.size() && endsWithNoCase(name, extension);
}

}  // namespace

std::string projectFileOf(const std::string& folderOrFile) {
    if (isRegularFile(folderOrFile)) return folderOrFile;
    if (!isDirectory(folderOrFile)) return {};
    std::vector<std::string> projects;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folderOrFile, error)) {
        std::string name = entry.path().filename().string();
        if (hasExtension(name, ".rxproj") && isRegularFile(entry.path().string()))
            projects.push_back(name);
    }
    std::sort(projects.begin(), projects.end());
    if (!projects.empty()) return joinPath(folderOrFile, projects.front());
    auto ini = findPathNoCase(folderOrFile, "Game.ini");
    return ini ? *ini : std::string();
}

std::string projectFileForDataFile(const std::string& dataFile) {
    // Kept as relative as it was given, so the project reads the same either way.
    std::error_code error;
    std::filesystem::path folder = std::filesystem::path(dataFile).parent_path();
    if (folder.empty()) folder = std::filesystem::current_path(error);
    std::string name = folder.filename().string();
    if (error || !equalsNoCase(name, "data")) return {};
    std::filesystem::path project = folder.parent_path();
    if (project.empty()) project = folder.is_absolute() ? "/" : ".";
    return projectFileOf(project.string());
}

std::string resolveProjectPath(const std::string& path) {
    std::string file;
    if (isDirectory(path))
        file = projectFileOf(path);
    else if (isRegularFile(path) && hasExtension(path, ".rxdata"))
        file = projectFileForDataFile(path);
    return file.empty() ? path : file;
}

}  // namespace zorvane
