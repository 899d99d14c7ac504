// Stable one-line texts of Marshal values for readable diffs: quoted strings with escapes,
// shortest round-trip floats, Tables summarised by size and checksum, and the fields of a
// record as indented `name: value` lines in a fixed order, ids followed by their names.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "marshal/marshal_value.h"

namespace zorvane {

class ProjectDatabase;
class ValuePathIndex;

struct ValueTextContext {
    // Names for ids; a database with idsOnly set (or null) gives bare ids.
    const ProjectDatabase* project = nullptr;
    // Resolves links to objects met earlier in the file; null shows links as "@N".
    const ValuePathIndex* index = nullptr;
    size_t topIndex = 0;
};

// A value of an Array, Hash or String subclass (Marshal's "C"), or one that carries instance
// variables ("I"), seen through: the subclass ("" for none), the value it holds and its
// variables other than a string's encoding flag.
struct WrappedValue {
    std::string className;
    const MarshalValue* inner = nullptr;
    std::vector<const ValuePair*> ivars;
};
// False when v wraps nothing but a string with its encoding flag (or is no wrapper at all).
bool seeThrough(const MarshalValue& v, WrappedValue& out);

// "text" with \\, \", control characters and DEL escaped, so a value never breaks a line.
std::string quoteText(std::string_view text);
// The shortest text that reads back as the same double; integral values end in ".0".
std::string floatText(double value);
// "Table 20x15x3 crc32:0123abcd" (the checksum covers the stored bytes), Color and Tone as
// their four components, other packed values by class, size and checksum.
std::string packedText(const MarshalValue& userDump);

// The value of a node on one line, or "" for a value that needs lines of its own (objects
// and hashes with entries, arrays that hold more than numbers). Integers in a field with a
// known kind of id get the name: "3 [Potion]".
std::string inlineValueText(const MarshalValue& node, std::string_view ivar,
                            const ValueTextContext& context);

// The fields of an object as "name: value" lines at `indent` spaces: the fields of the
// database record tables first in their order, then the others by name; `skip` names
// instance variables that the caller shows itself. Nested objects and lists follow
// indented, list elements as "- " items.
void appendFields(std::string& out, const MarshalValue& object, int indent,
                  const ValueTextContext& context, const std::vector<std::string_view>& skip = {});
// One "name: value" entry (name without '@'), with lines of its own when it needs them.
void appendField(std::string& out, std::string_view ivar, const MarshalValue& value, int indent,
                 const ValueTextContext& context);

}  // namespace zorvane
