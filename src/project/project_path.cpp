#include "project/project_path.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <vector>

#include "platform/file_util.h"
#include "platform/path_nocase.h"

namespace zorvane {

namespace {

bool endsWithNoCase(const std::string& text, const std::string& tail) {
    return text.size() > tail.size() &&
           std::equal(tail.begin(), tail.end(), text.end() - static_cast<long>(tail.size()),
                      [](char x, char y) {
                          return std::tolower(static_cast<unsigned char>(x)) ==
                                 std::tolower(static_cast<unsigned char>(y));
                      });
}

}  // namespace

std::string projectFileOf(const std::string& folderOrFile) {
    if (isRegularFile(folderOrFile)) return folderOrFile;
    if (!isDirectory(folderOrFile)) return {};
    std::vector<std::string> projects;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folderOrFile, error)) {
        std::string name = entry.path().filename().string();
        if (endsWithNoCase(name, ".rxproj") && isRegularFile(entry.path().string()))
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
    if (error || name.size() != 4 || !endsWithNoCase("/" + name, "data")) return {};
    std::filesystem::path project = folder.parent_path();
    if (project.empty()) project = folder.is_absolute() ? "/" : ".";
    return projectFileOf(project.string());
}

std::string resolveProjectPath(const std::string& path) {
    std::string file;
    if (isDirectory(path))
        file = projectFileOf(path);
    else if (isRegularFile(path) && endsWithNoCase(path, ".rxdata"))
        file = projectFileForDataFile(path);
    return file.empty() ? path : file;
}

}  // namespace zorvane
