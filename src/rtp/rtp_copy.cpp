// The copy never trusts a name from the project to choose a place: destinations are built
// only from safe relative names under the game folder, and every file is written whole or
// not at all. Game.ini changes only after every listed file has arrived.
#include "rtp/rtp_copy.h"

#include <cstdio>
#include <memory>
#include <optional>

#include "platform/atomic_file.h"
#include "platform/beneath_root.h"
#include "platform/file_util.h"
#include "platform/folders.h"
#include "platform/ini_file.h"
#include "platform/path_nocase.h"
#include "project/file_helpers.h"

namespace zorvane {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// In CopyProblem order: Japanese, English.
const char* const kProblemTexts[][2] = {
    {"ゲームフォルダの外を指す名前です", "The name points outside the game folder"},
    {"RTPのファイルを読み込めません", "The RTP file cannot be read"},
    {"フォルダを作成できません", "The folder cannot be made"},
    {"ゲームフォルダに書き込めません", "The game folder cannot be written to"},
    {"Windowsのシステムフォルダにありません", "Not in the Windows system folder"},
    {"Game.iniを読み込めません", "Game.ini cannot be read"},
    {"Game.iniを書き込めません", "Game.ini cannot be written"},
    {"シンボリックリンクです。リンクの先には書き込みません",
     "A symbolic link: nothing is written where it points"},
};

// A failure, or nothing.
using Outcome = std::optional<CopyFailure>;

Outcome failed(const std::string& name, CopyProblem problem) {
    return CopyFailure{name, problem};
}

// The link's path as the user finds it in the game folder.
Outcome linkFailure(const std::string& projectFolder, const std::string& link) {
    std::string relative;
    if (!relativeBeneath(projectFolder, link, relative)) relative = link;
    size_t start = relative.find_first_not_of("/\\");
    return failed(start == std::string::npos ? relative : relative.substr(start),
                  CopyProblem::LinkInGameFolder);
}

std::vector<std::string> splitParts(const std::string& relative) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : relative + "/") {
        if (c != '/' && c != '\\') {
            part += c;
            continue;
        }
        if (!part.empty() && part != ".") parts.push_back(part);
        part.clear();
    }
    return parts;
}

// The extension of the file a path names, with its dot; "" when it has none.
std::string extensionOf(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    return path.substr(dot);
}

// An existing entry of `folder` named `part` in any letter case, else the name as given.
std::string childOf(const std::string& folder, const std::string& part) {
    auto hit = findPathNoCase(folder, part);
    return hit ? *hit : joinPath(folder, part);
}

// The game folder is the root: the writer opens every folder below it without following
// a link, and refuses a destination that is one.
Outcome copyFile(const std::string& source, const std::string& destination,
                 const std::string& projectFolder, const std::string& name) {
    std::unique_ptr<std::FILE, FileCloser> in(std::fopen(source.c_str(), "rb"));
    if (!in) return failed(name, CopyProblem::SourceUnreadable);
    AtomicFileWriter out;
    if (!out.open(destination, projectFolder)) {
        if (!out.refusedLink().empty()) return linkFailure(projectFolder, out.refusedLink());
        return failed(name, CopyProblem::WriteFailed);
    }
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, in.get())) > 0)
        if (!out.write(std::string_view(buffer, got)))
            return failed(name, CopyProblem::WriteFailed);
    // out drops its temporary file
    if (std::ferror(in.get())) return failed(name, CopyProblem::SourceUnreadable);
    if (!out.commit()) return failed(name, CopyProblem::WriteFailed);
    return std::nullopt;
}

Outcome copyOne(const std::string& projectFolder, const RtpFile& file) {
    std::string destination = copyDestination(projectFolder, file);
    if (destination.empty()) return failed(file.relativePath, CopyProblem::UnsafePath);
    BeneathResult folder = ensureFolderBeneath(projectFolder, folderOf(destination));
    if (folder.status == BeneathStatus::Link) return linkFailure(projectFolder, folder.where);
    if (!folder.ok()) return failed(file.relativePath, CopyProblem::FolderNotCreated);
    return copyFile(file.foundPath, destination, projectFolder, file.relativePath);
}

// RTP1 to RTP3 emptied; every other byte of the file stays. Returns the Library key.
Outcome emptyRtpKeys(const std::string& projectFolder, std::string& library) {
    std::string path = childOf(projectFolder, "Game.ini");
    IniFile ini;
    if (!ini.load(path)) return failed("Game.ini", CopyProblem::GameIniUnreadable);
    // Another game's Game.ini behind a link would lose its RTP lines.
    std::string link = linkBeneath(projectFolder, path);
    if (!link.empty()) return linkFailure(projectFolder, link);
    for (const char* key : {"RTP1", "RTP2", "RTP3"}) ini.set("Game", key, "");
    if (!writeFileAtomic(path, ini.bytes(), projectFolder)) {
        link = linkBeneath(projectFolder, path);  // planted since the check
        return link.empty() ? failed("Game.ini", CopyProblem::GameIniNotWritten)
                            : linkFailure(projectFolder, link);
    }
    library = ini.get("Game", "Library", "");
    return std::nullopt;
}

// The library is a plain file name: it comes from the system folder and lands beside
// Game.ini, nowhere else.
Outcome copyLibrary(const std::string& projectFolder, const std::string& library) {
    if (library.find_first_of("/\\") != std::string::npos || !isSafeRelativeName(library) ||
        library == "." || library == "..")
        return failed(library, CopyProblem::UnsafePath);
    std::string source = windowsSystemFile(library);
    if (source.empty()) return failed(library, CopyProblem::NotFound);
    return copyFile(source, childOf(projectFolder, library), projectFolder, library);
}

}  // namespace

std::string copyDestination(const std::string& projectFolder, const RtpFile& file) {
    if (file.relativePath.empty() || !isSafeRelativeName(file.relativePath)) return "";
    std::vector<std::string> parts = splitParts(file.relativePath);
    if (parts.empty()) return "";
    std::string path = projectFolder;
    for (size_t i = 0; i + 1 < parts.size(); ++i) path = childOf(path, parts[i]);
    return childOf(path, parts.back() + extensionOf(file.foundPath));
}

RtpCopyResult copyRtpFiles(const std::vector<RtpFile>& files, const std::string& projectFolder,
                           RtpProgress& progress, const std::atomic<bool>& abort) {
    RtpCopyResult result;
    progress.setRange(static_cast<int>(files.size()));
    progress.setPosition(0);
    for (size_t i = 0; i < files.size(); ++i) {
        if (abort.load(std::memory_order_relaxed)) {
            result.aborted = true;
            progress.setPosition(0);
            return result;
        }
        if (auto failure = copyOne(projectFolder, files[i]))
            result.fileFailures.push_back(*failure);
        else
            ++result.copied;
        progress.setPosition(static_cast<int>(i) + 1);
    }
    if (!result.fileFailures.empty()) return result;
    std::string library;
    if (auto failure = emptyRtpKeys(projectFolder, library)) {
        result.finishFailures.push_back(*failure);
        return result;
    }
    result.gameIniChanged = true;
    if (library.empty()) return result;
    if (auto failure = copyLibrary(projectFolder, library))
        result.finishFailures.push_back(*failure);
    return result;
}

const char* copyProblemText(CopyProblem problem, ListingLanguage language) {
    return kProblemTexts[static_cast<int>(problem)][language == ListingLanguage::English ? 1 : 0];
}

}  // namespace zorvane
