// The only changes the import makes to a Marshal tree: one name of a name array, and the
// parameter table of one actor. Everything else in the file is written back as it was read.
#pragma once

#include <cstddef>
#include <string>

#include "marshal/marshal_value.h"
#include "marshal/rgss_types.h"
#include "marshal/value_path_index.h"

namespace zorvane {

// Sets element `id` of a name array to `text`, in the form of the strings already there:
// a plain string as the editor writes it, or a string with the encoding flag that newer
// Ruby adds. Names elsewhere in the file that are links to the string it replaces get a
// string of their own with the old text, so they keep it. False when `array` is not an
// array or has no element `id`.
bool setNameAt(MarshalValue& array, size_t id, const std::string& text,
               const ValuePathIndex& index);
// The text of a name array's element, through a link when it is one.
std::string nameAt(const MarshalValue& array, size_t id, const ValuePathIndex& index);

// Puts `table`'s cells into an actor's "@parameters" (a packed Table) keeping its stored
// header. False unless the node is a Table of the same shape as `table`.
bool setActorParameters(MarshalValue& parameters, const Table& table);

}  // namespace zorvane
