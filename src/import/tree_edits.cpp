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

// The node a link stands for (top-level value 0: a data file holds one), else the node.
const MarshalValue& resolved(const MarshalValue& node, const ValuePathIndex& index) {
    if (node.kind() != MarshalValue::Link) return node;
    const MarshalValue* target = index.resolveLink(0, node.fixnum());
    return target ? *target : node;
}

// A new string node of `text` in the form of `model` (plain, or wrapped with its flags).
MarshalValue stringLike(const MarshalValue* model, const std::string& text) {
    MarshalValue name;
    name.setString(text);
    if (model && model->kind() == MarshalValue::Ivars) {
        MarshalValue wrapped;
        wrapped.setWithIvars(name, PairVector(model->pairs().begin(), model->pairs().end()));
        return wrapped;
    }
    return name;
}

// Every link still in the file that names `slot` (or the string it wraps, which is what a
// wrapped string registers) becomes a string of its own with the slot's text, so an edit of
// the slot changes that one name only.
void unshare(const MarshalValue& slot, const ValuePathIndex& index) {
    const MarshalValue* text = stringOf(slot);
    if (index.objectTables().empty() || !text) return;
    for (const auto& [link, number] : index.objectTables()[0].links) {
        const MarshalValue* target = index.resolveLink(0, number);
        if (link->kind() != MarshalValue::Link || (target != &slot && target != text)) continue;
        *const_cast<MarshalValue*>(link) = stringLike(&slot, std::string(text->rawText()));
    }
}

int32_t storedDimensions(const MarshalValue& table) {
    const ByteBuffer& b = table.bytes();
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(b[i])) << (8 * i);
    return static_cast<int32_t>(v);
}

}  // namespace

bool setNameAt(MarshalValue& array, size_t id, const std::string& text,
               const ValuePathIndex& index) {
    if (array.kind() != MarshalValue::Array || id >= array.children().size()) return false;
    const MarshalValue& slot = array.children()[id];
    const MarshalValue* current = stringOf(resolved(slot, index));
    if (current && current->rawText() == text) return true;  // keep the node as it was read
    if (slot.kind() != MarshalValue::Link) unshare(slot, index);
    array.mutableChildren()[id] = stringLike(modelString(array), text);
    return true;
}

std::string nameAt(const MarshalValue& array, size_t id, const ValuePathIndex& index) {
    return resolved(array.children()[id], index).text();
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
