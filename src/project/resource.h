// Finds a game resource named the editor's way ("Graphics\Characters\Hero", no extension)
// in the game folder first, then in the run-time packages (RTP) 1 to 3, trying the image or
// audio extensions in the runtime's order. Names that would leave their folder find nothing.
#pragma once

#include <string>

#include "platform/folders.h"  // commonFilesFolder()

namespace zorvane {

// For n = 1..3: the common files folder + "Enterbrain/RGSS/" + name; other n are ignored.
void setRtpFolder(int n, const std::string& name);
// The RTP base folder of package n, "" when unset or n is out of range.
std::string rtpFolder(int n);

// 0: game folder, 1..3: that RTP, -1: not found (outPath is then left unchanged).
int resolveResource(const std::string& relativeName, const std::string& gameFolder,
                    std::string& outPath);

}  // namespace zorvane
