// Which project a path given by the user means: a project file, the project's folder, or a
// data file in its Data folder all name the same project, on the command line of either
// program and from a file manager.
#pragma once
#include <string>

namespace zorvane {

// The project file of a folder: its first ".rxproj" by name, else its Game.ini (a project
// is its folder: the loader needs only a file in it); a file is taken as it is; "" when
// the folder holds neither.
std::string projectFileOf(const std::string& folderOrFile);
// The project file for a file that sits in a project's "Data" folder, or "".
std::string projectFileForDataFile(const std::string& dataFile);
// What to open for `path`: the project file of a folder or of a Data/*.rxdata file; any
// other path unchanged, so that opening it fails with the path the user gave.
std::string resolveProjectPath(const std::string& path);

}  // namespace zorvane
