// Where things live on this system: the program's folder, the settings folder, the
// templates, the Wine prefix's common files folder and RPGXP's installed program.
#pragma once
#include <string>

namespace zorvane {

std::string programFolder();
// The program's folder when writable, else $XDG_CONFIG_HOME/zorvane (~/.config/zorvane),
// created on demand. $ZORVANE_CONFIG_DIR overrides it.
std::string configFolder();
std::string settingsFilePath();
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
