// Files are paired by name without regard to letter case, as the editor's file system
// would; files whose bytes are equal are not read at all.
#include "textconv/project_diff.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <unordered_map>

#include "marshal/marshal_file.h"
#include "platform/file_util.h"
#include "platform/path_nocase.h"
#include "project/project_path.h"
#include "platform/string_util.h"
#include "textconv/file_text.h"
#include "textconv/line_diff.h"
#include "textconv/value_text.h"

namespace zorvane {

namespace {

// The .rxdata entries of a project's Data folder by lower-cased name, whatever they are:
// a folder or a FIFO under a data file's name is trouble to report, not a removed file.
std::map<std::string, std::string> dataFiles(const std::string& projectFolder) {
    std::map<std::string, std::string> files;
    auto data = findPathNoCase(projectFolder, "Data");
    if (!data) return files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(*data, error)) {
        std::string name = entry.path().filename().string();
        if (name.size() > 7 && asciiLower(name.substr(name.size() - 7)) == ".rxdata")
            files.emplace(asciiLower(name), entry.path().string());
    }
    return files;
}

std::string projectFolderOf(const std::string& path) {
    if (isDirectory(path)) return path;
    std::string folder = folderOf(path);
    return folder.empty() ? "." : folder;
}

std::string baseName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

class FileComparer {
  public:
    FileComparer(const TextconvOptions& text, const ProjectDiffOptions& options, ProjectDiff& out)
        : text_(text), options_(options), out_(out) {}

    void compare(const std::string* oldPath, const std::string* newPath) {
        std::string name = baseName(newPath ? *newPath : *oldPath);
        std::string oldBytes, newBytes;
        if (oldPath && !read(*oldPath, oldBytes)) return;
        if (newPath && !read(*newPath, newBytes)) return;
        if (oldPath && newPath && oldBytes == newBytes) return;
        FileText oldText, newText;
        if (!convert(oldPath, oldBytes, oldText) || !convert(newPath, newBytes, newText)) return;
        compareBlocks(name, oldText, newText);
    }

  private:
    void problem(const std::string& path, const std::string& what) {
        out_.problems.push_back({path, what});
    }

    // A regular file of bounded size; anything else is named as a problem.
    bool read(const std::string& path, std::string& bytes) {
        std::string why;
        if (readRegularFile(path, kMaxSmallFileBytes, bytes, &why)) return true;
        problem(path, why);
        return false;
    }

    bool convert(const std::string* path, const std::string& bytes, FileText& text) {
        if (!path || bytes.empty()) return true;  // absent or empty: no items
        MarshalFile file;
        if (!file.loadFromBuffer(bytes)) {
            problem(*path, file.error().message());
            return false;
        }
        try {
            text = fileText(file, *path, text_, bytes.size());
        } catch (const TextTooLong& e) {
            problem(*path, e.what());
            return false;
        }
        return true;
    }

    void report(ItemChange::Kind kind, const std::string& file, const TextBlock* before,
                const TextBlock* after) {
        ItemChange change;
        change.kind = kind;
        change.file = file;
        change.key = (after ? after : before)->key;
        change.title = (after ? after : before)->title();
        change.diff = unifiedDiff(before ? before->text : std::string(),
                                  after ? after->text : std::string(), options_.context);
        out_.changes.push_back(std::move(change));
    }

    void compareBlocks(const std::string& file, const FileText& before, const FileText& after) {
        std::unordered_map<std::string, const TextBlock*> oldByKey, newByKey;
        for (const TextBlock& b : before.blocks) oldByKey.emplace(b.key, &b);
        for (const TextBlock& b : after.blocks) newByKey.emplace(b.key, &b);
        std::vector<std::string> oldOrder, newOrder;  // keys on both sides
        for (const TextBlock& b : after.blocks) {
            auto it = oldByKey.find(b.key);
            if (it == oldByKey.end()) {
                report(ItemChange::Kind::Added, file, nullptr, &b);
                continue;
            }
            newOrder.push_back(b.key);
            if (it->second->text != b.text) report(ItemChange::Kind::Changed, file, it->second, &b);
        }
        for (const TextBlock& b : before.blocks) {
            if (newByKey.count(b.key))
                oldOrder.push_back(b.key);
            else
                report(ItemChange::Kind::Removed, file, &b, nullptr);
        }
        if (oldOrder != newOrder) out_.reordered.push_back(file);
    }

    const TextconvOptions& text_;
    const ProjectDiffOptions& options_;
    ProjectDiff& out_;
};

}  // namespace

const char* changeKindName(ItemChange::Kind kind) {
    switch (kind) {
        case ItemChange::Kind::Added:
            return "added";
        case ItemChange::Kind::Removed:
            return "removed";
        case ItemChange::Kind::Changed:
            return "changed";
    }
    return "";
}

bool diffProjects(const std::string& oldProject, const std::string& newProject,
                  const ProjectDiffOptions& options, ProjectDiff& out, std::string& error) {
    std::string folders[2] = {projectFolderOf(oldProject), projectFolderOf(newProject)};
    for (const std::string& folder : folders) {
        if (!findPathNoCase(folder, "Data") || !isDirectory(*findPathNoCase(folder, "Data"))) {
            error = folder + ": not a project folder (it has no Data folder)";
            return false;
        }
    }
    ProjectDatabase names;
    std::string why;
    openLabels(names, folders[1], why);  // without names the ids stay bare on both sides
    TextconvOptions text;
    text.project = &names;
    text.detail = options.detail;
    text.language = options.language;

    std::map<std::string, std::string> before = dataFiles(folders[0]),
                                       after = dataFiles(folders[1]);
    std::map<std::string, std::pair<const std::string*, const std::string*>> pairs;
    for (const auto& [key, path] : before) pairs[key].first = &path;
    for (const auto& [key, path] : after) pairs[key].second = &path;
    FileComparer comparer(text, options, out);
    for (const auto& [key, sides] : pairs) comparer.compare(sides.first, sides.second);
    return true;
}

}  // namespace zorvane
