// Where things live on this system: the program's folder, the settings folder, the
// templates, the Wine prefix's common files folder and RPGXP's installed program.
#pragma once
#include <string>
#include <vector>

namespace zorvane {

std::string programFolder();
// The program's folder when writable and the program is not an installed one, else
// $XDG_CONFIG_HOME/zorvane (~/.config/zorvane), created on demand. $ZORVANE_CONFIG_DIR
// overrides it.
std::string configFolder();
// Whether settings may go beside a program in `programFolder`: it is writable, and its
// templates are not those of an installed layout (../share/zorvane/template with none
// beside it), so a program in /usr/bin run as root never writes there.
bool settingsBesideProgram(const std::string& programFolder);
std::string settingsFilePath();
// Where the templates are looked for, in order: `template` beside the program (the build
// tree, a program copied with its templates), ../share/zorvane/template from it (installed
// under any prefix), then where the package installs them.
std::vector<std::string> templateFolderCandidates();
// The first candidate that is a folder; "" when none is.
std::string findTemplateFolder();
// findTemplateFolder(), else the first candidate (whose files then fail to open by name).
std::string templateFolder();
// The folder under which Enterbrain/RGSS holds the RTPs.
std::string commonFilesFolder();
// RPGXP's program mapped into the Wine prefix, "" when it is not installed.
std::string rpgxpApplicationPath();
std::string winePrefix();
// `name` in the Wine prefix's Windows system folder: syswow64 (the system folder of 32-bit
// programs on a 64-bit prefix), then system32; "" when neither holds it.
std::string windowsSystemFile(const std::string& name);
std::string tempFolder();

}  // namespace zorvane
