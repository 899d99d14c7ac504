// Tree edits of the import, kept in one place so the tree's representation can change
// under them without the import noticing.
#include "import/tree_edits.h"

#include <cstdint>

namespace zorvane {

namespace {

// The string node itself, or the string inside an instance-variable wrapper; else null.
const MarshalValue* stringOf(const MarshalValue& node) {
    if (node.kind() == MarshalValue::String) return &node;
    if (node.kind() == MarshalValue::Ivars && !node.children().empty() &&
        node.children()[0].kind() == MarshalValue::String)
        return &node.children()[0];
    return nullptr;
}

// The first string of the array, names before slot 0 (nil or "" in every file).
const MarshalValue* modelString(const MarshalValue& array) {
    const ValueArray& items = array.children();
    for (size_t k = 1; k <= items.size(); ++k) {
        const MarshalValue& item = items[k % items.size()];
        if (stringOf(item)) return &item;
    }
    return nullptr;
}

int32_t storedDimensions(const MarshalValue& table) {
    const ByteBuffer& b = table.bytes();
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(b[i])) << (8 * i);
    return static_cast<int32_t>(v);
}

}  // namespace

bool setNameAt(MarshalValue& array, size_t id, const std::string& text) {
    if (array.kind() != MarshalValue::Array || id >= array.children().size()) return false;
    const MarshalValue* current = stringOf(array.children()[id]);
    if (current && current->rawText() == text) return true;  // keep the node as it was read
    MarshalValue name;
    name.setString(text);
    const MarshalValue* model = modelString(array);
    if (model && model->kind() == MarshalValue::Ivars) {
        MarshalValue wrapped;
        wrapped.setWithIvars(name, PairVector(model->pairs().begin(), model->pairs().end()));
        name = wrapped;
    }
    array.mutableChildren()[id] = name;
    return true;
}

bool setActorParameters(MarshalValue& parameters, const Table& table) {
    Table stored;
    if (!stored.decode(parameters) || stored.xsize != table.xsize || stored.ysize != table.ysize ||
        stored.zsize != table.zsize)
        return false;
    Table edited = table;
    // The header's dimension field as the file had it, not as derived from the sizes.
    edited.dimensions = storedDimensions(parameters);
    edited.encode(parameters);
    return true;
}

}  // namespace zorvane
