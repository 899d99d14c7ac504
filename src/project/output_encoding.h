// The encoding of files written for people (CSV, text documents): CP932 when the project's
// Game.ini is Shift_JIS, because the Japanese tools that open them expect it; UTF-8
// otherwise, because other projects hold text CP932 cannot. A setting or flag may choose.
#pragma once

#include <string>

namespace zorvane {

class ProjectDatabase;

// In the order of the OutputEncoding setting.
enum class OutputEncoding { Automatic = 0, Cp932 = 1, Utf8 = 2 };

bool writesCp932(OutputEncoding encoding, const ProjectDatabase& project);

// The command line's names: "auto", "cp932", "utf-8"; false for any other.
bool parseOutputEncoding(const std::string& name, OutputEncoding& encoding);

}  // namespace zorvane
