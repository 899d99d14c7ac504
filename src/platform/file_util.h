// Small file and path helpers shared by the platform layer and its users.
#pragma once
#include <string>

namespace zorvane {

bool readWholeFile(const std::string& path, std::string& out);
// The part before the last '/' or '\' ("" when there is none).
std::string folderOf(const std::string& path);
// a + "/" + b, without doubling a separator; b alone when a is empty.
std::string joinPath(const std::string& a, const std::string& b);

}  // namespace zorvane
