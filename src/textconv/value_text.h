// Stable one-line texts of Marshal values for readable diffs: quoted strings with escapes,
// shortest round-trip floats, Tables summarised by size and checksum, and the fields of a
// record as indented `name: value` lines in a fixed order, ids followed by their names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "marshal/marshal_value.h"

namespace zorvane {

class ProjectDatabase;
class ValuePathIndex;

// How much text one file may give: a multiple of its size. Marshal links let a few hundred
// bytes stand for gigabytes of text, and a git textconv driver must end.
class TextBudget {
  public:
    explicit TextBudget(size_t inputBytes);
    // Counts a finished piece of text.
    void spend(size_t bytes);
    // Throws TextTooLong when the finished pieces and `pending` bytes pass the limit.
    void check(size_t pending) const;
    size_t limit() const { return limit_; }

  private:
    size_t limit_;
    size_t spent_ = 0;
};

struct TextTooLong : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The values with lines of their own already written in a file's text, with the object
// index of each: one reached again (through a link, or after a link showed it first) is
// written as "@N", so each value is spelled out once.
struct ShownValues {
    std::unordered_map<const MarshalValue*, int32_t> indexOf;
    std::unordered_set<const MarshalValue*> shown;
};

struct ValueTextContext {
    // Names for ids; a database with idsOnly set (or null) gives bare ids.
    const ProjectDatabase* project = nullptr;
    // Resolves links to objects met earlier in the file; null shows links as "@N".
    const ValuePathIndex* index = nullptr;
    size_t topIndex = 0;
    // Null: every value is spelled out wherever it stands.
    ShownValues* shown = nullptr;
    // Null: no limit.
    const TextBudget* budget = nullptr;
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
// The object index of every value of a file's first top-level value that a link points at.
ShownValues shownValuesOf(const ValuePathIndex& index);

// "text" with \\, \", control characters and DEL escaped, so a value never breaks a line.
std::string quoteText(std::string_view text);
// `text` with every C0 control but TAB and line feed, DEL, and the C1 controls U+0080 to
// U+009F written as \xNN or \u00NN: stored text must not steer the terminal behind git's
// pager.
void appendVisible(std::string& out, std::string_view text);
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
