// The value tree of a Marshal file, one value a line, indented by depth: the text of files
// that no other form knows, and what `zorvane-cli dump` prints.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "marshal/marshal_file.h"

namespace zorvane {

// Every value of the file; with withPaths each line also names its value path.
std::string dumpValues(const MarshalFile& file, bool withPaths);
// The same text handed to `write` in pieces of about 64 KB, so it is never held whole: its
// indentation grows with the square of the nesting, which a crafted file makes deep.
void dumpValues(const MarshalFile& file, bool withPaths,
                const std::function<void(std::string_view)>& write);

}  // namespace zorvane
