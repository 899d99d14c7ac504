// The @name of every element of a data file whose top value is an array of objects, read
// straight from the bytes without building the value tree: what labelling ids needs from
// the big database files, at a fraction of a full read.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvane {

struct ScannedNames {
    // Per element: its @name ("" for nil, for an object without one, or for a nil name);
    // the text ends at a NUL byte as MarshalValue::text() has it.
    std::vector<std::string> names;
    // Per element: its class name ("" for nil).
    std::vector<std::string> classes;
};

// Nothing when the bytes are not plainly such a file (another version, a link where an
// element or a name stands, a name that is not a string, bytes left over, a cut): the
// caller then reads the file in full, which says what is wrong with it.
std::optional<ScannedNames> scanArrayNames(std::string_view bytes);

}  // namespace zorvane
