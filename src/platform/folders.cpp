// Where things live on this system. The Windows program keeps everything beside itself
// and finds RPGXP and the RTPs through the registry; here the Wine prefix stands in.
#include "platform/folders.h"

#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/file_util.h"
#include "platform/path_nocase.h"
#include "platform/string_util.h"

namespace zorvane {

namespace {

// Where the Debian package puts the templates: a copy of an installed program still finds
// them from wherever it is run.
#ifndef ZORVANE_PACKAGED_TEMPLATES
#define ZORVANE_PACKAGED_TEMPLATES "/usr/share/zorvane/template"
#endif
const char* const kPackagedTemplates = ZORVANE_PACKAGED_TEMPLATES;

std::string envOr(const char* name, const std::string& def) {
    const char* value = std::getenv(name);
    return (value && *value) ? std::string(value) : def;
}

std::string homeFolder() {
    return envOr("HOME", "/tmp");
}

bool ensureFolderExists(const std::string& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return isDirectory(folder);
}

// system.reg writes "\\" for '\', '\"' for '"' and "\xHHHH" for UTF-16 code units.
void appendCodePoint(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Reads a quoted registry string starting at text[pos] == '"'.
std::string unescapeRegString(const std::string& text, size_t pos) {
    std::string out;
    char32_t pendingHigh = 0;
    for (++pos; pos < text.size() && text[pos] != '"'; ++pos) {
        char c = text[pos];
        if (c != '\\' || pos + 1 >= text.size()) {
            out += c;
            continue;
        }
        char e = text[++pos];
        if (e != 'x') {
            out += (e == 'n') ? '\n' : (e == 't') ? '\t' : e;
            continue;
        }
        size_t start = pos + 1, end = start;
        while (end < text.size() && end < start + 4 && isHex(text[end])) ++end;
        char32_t unit = static_cast<char32_t>(
            std::strtoul(text.substr(start, end - start).c_str(), nullptr, 16));
        pos = end - 1;
        if (unit >= 0xD800 && unit < 0xDC00) {
            pendingHigh = unit;
        } else if (unit >= 0xDC00 && unit < 0xE000 && pendingHigh) {
            appendCodePoint(out, 0x10000 + ((pendingHigh - 0xD800) << 10) + (unit - 0xDC00));
            pendingHigh = 0;
        } else {
            appendCodePoint(out, unit);
        }
    }
    return out;
}

// The value "ApplicationPath" of the first key whose path ends in "\RPGXP".
std::string findRpgxpValue(const std::string& reg) {
    bool inKey = false;
    size_t pos = 0;
    while (pos < reg.size()) {
        size_t eol = reg.find('\n', pos);
        if (eol == std::string::npos) eol = reg.size();
        std::string line = reg.substr(pos, eol - pos);
        pos = eol + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[') {
            size_t close = line.find(']');
            std::string key =
                line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
            inKey = endsWithNoCase(key, "\\\\RPGXP") || endsWithNoCase(key, "\\RPGXP");
            continue;
        }
        static const std::string kName = "\"applicationpath\"=";
        if (!inKey || line.size() < kName.size() ||
            !endsWithNoCase(line.substr(0, kName.size()), kName))
            continue;
        size_t quote = line.find('"', kName.size());  // also after "str(2):"
        if (quote != std::string::npos) return unescapeRegString(line, quote);
    }
    return "";
}

// "C:\Program Files\X" -> prefix/drive_c/Program Files/X (other drives via dosdevices),
// resolved without regard to case when the exact spelling is missing.
std::string mapWindowsPath(const std::string& prefix, const std::string& windowsPath) {
    if (windowsPath.size() < 2 || windowsPath[1] != ':') return "";
    char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(windowsPath[0])));
    std::string root = drive == 'c' ? joinPath(prefix, "drive_c")
                                    : joinPath(prefix, std::string("dosdevices/") + drive + ":");
    std::string relative = windowsPath.substr(2);
    while (!relative.empty() && (relative.front() == '\\' || relative.front() == '/'))
        relative.erase(0, 1);
    while (!relative.empty() && (relative.back() == '\\' || relative.back() == '/'))
        relative.pop_back();
    if (!isSafeRelativeName(relative)) return "";
    if (auto found = findPathNoCase(root, relative)) return *found;
    std::string mapped = relative;
    for (char& c : mapped)
        if (c == '\\') c = '/';
    return joinPath(root, mapped);
}

}  // namespace

std::string programFolder() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path(ec).string();
    return exe.parent_path().string();
}

bool settingsBesideProgram(const std::string& program) {
    bool installed = !isDirectory(joinPath(program, "template")) &&
                     isDirectory(joinPath(folderOf(program), "share/zorvane/template"));
    return !installed && access(program.c_str(), W_OK) == 0;
}

std::string configFolder() {
    std::string folder = envOr("ZORVANE_CONFIG_DIR", "");
    if (folder.empty()) {
        std::string program = programFolder();
        if (settingsBesideProgram(program)) return program;
        std::string xdg = envOr("XDG_CONFIG_HOME", joinPath(homeFolder(), ".config"));
        folder = joinPath(xdg, "zorvane");
    }
    ensureFolderExists(folder);
    return folder;
}

std::string settingsFilePath() {
    return joinPath(configFolder(), "zorvane.ini");
}

std::vector<std::string> templateFolderCandidates() {
    std::string program = programFolder();
    std::vector<std::string> candidates = {joinPath(program, "template"),
                                           joinPath(folderOf(program), "share/zorvane/template")};
    if (candidates.back() != kPackagedTemplates) candidates.push_back(kPackagedTemplates);
    return candidates;
}

std::string findTemplateFolder() {
    for (const std::string& folder : templateFolderCandidates())
        if (isDirectory(folder)) return folder;
    return "";
}

std::string templateFolder() {
    std::string found = findTemplateFolder();
    return found.empty() ? templateFolderCandidates().front() : found;
}

std::string winePrefix() {
    return envOr("WINEPREFIX", joinPath(homeFolder(), ".wine"));
}

std::string commonFilesFolder() {
    std::string overridden = envOr("ZORVANE_COMMON_FILES", "");
    if (!overridden.empty()) return overridden;
    const std::string candidates[] = {
        joinPath(winePrefix(), "drive_c/Program Files (x86)/Common Files"),
        joinPath(winePrefix(), "drive_c/Program Files/Common Files"),
    };
    for (const std::string& folder : candidates)
        if (auto rgss = findPathNoCase(folder, "Enterbrain/RGSS"); rgss && isDirectory(*rgss))
            return folder;
    return candidates[0];
}

std::string rpgxpApplicationPath() {
    std::string prefix = winePrefix();
    std::string reg;
    if (!readWholeFile(joinPath(prefix, "system.reg"), reg)) return "";
    std::string windowsPath = findRpgxpValue(reg);
    if (windowsPath.empty()) return "";
    return mapWindowsPath(prefix, windowsPath);
}

std::string windowsSystemFile(const std::string& name) {
    for (const char* folder : {"drive_c/windows/syswow64", "drive_c/windows/system32"}) {
        auto hit = findPathNoCase(joinPath(winePrefix(), folder), name);
        if (hit && isRegularFile(*hit)) return *hit;
    }
    return "";
}

std::string tempFolder() {
    std::string folder = envOr("TMPDIR", "/tmp");
    return isDirectory(folder) ? folder : "/tmp";
}

}  // namespace zorvane
