// The value tree of a Marshal file, one value a line, indented by depth: the text of files
// that no other form knows, and what `zorvane-cli dump` prints.
#pragma once

#include <string>

#include "marshal/marshal_file.h"

namespace zorvane {

// Every value of the file; with withPaths each line also names its value path.
std::string dumpValues(const MarshalFile& file, bool withPaths);

}  // namespace zorvane
