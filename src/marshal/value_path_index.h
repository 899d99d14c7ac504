// Names every value of a read Marshal tree by a textual path, such as
// "RPG::Map.@events{3}.@pages[0].@list" or "Array[12].@name", and finds values by path.
// Paths are resolved by walking the tree along the path, so building the index costs
// nothing per node and a file of millions of values is indexed at once.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "marshal/marshal_value.h"

namespace zorvane {

// Per top-level value: the object registered under each object index, and the link nodes
// read in it with their indices.
struct TopLevelObjects {
    std::vector<const MarshalValue*> objects;
    std::vector<std::pair<const MarshalValue*, int32_t>> links;
};

class ValuePathIndex {
  public:
    static constexpr size_t kMaxPathBytes = 1023;

    void clear();
    void build(MarshalValue& root);
    void setObjectTables(std::vector<TopLevelObjects> tables);

    // printf-style path; paths longer than 1023 bytes are never found.
    MarshalValue* find(const char* format, ...) const __attribute__((format(printf, 2, 3)));
    MarshalValue* findPath(std::string_view path) const;
    // The path of a node of this tree, or "" (walks the tree: for occasional use).
    std::string pathOf(const MarshalValue* node) const;
    MarshalValue* resolveLink(size_t topIndex, int32_t linkIndex) const;

    size_t topLevelCount() const { return heads_.size(); }
    const std::vector<TopLevelObjects>& objectTables() const { return tables_; }
    MarshalValue* root() const { return root_; }

    // The paths of a node's indexed children, in visiting order (children before the
    // parent registers): array elements; for objects each value, then its name node; for
    // hashes each key node, then its value; for a subclass or instance-variable wrapper the
    // children of what it holds, then its variables as an object's.
    static void forEachChild(
        const MarshalValue& node, const std::string& path,
        const std::function<void(const MarshalValue&, const std::string&)>& fn);
    // The head that names a top-level value ("Array", a class name, ...) or "" for none.
    static std::string headOf(const MarshalValue& value);

  private:
    MarshalValue* walk(MarshalValue& node, std::string_view rest) const;
    MarshalValue* walkWrapper(MarshalValue& node, std::string_view rest) const;
    MarshalValue* walkTop(size_t i, std::string_view path) const;

    MarshalValue* root_ = nullptr;
    std::vector<std::string> heads_;
    std::vector<TopLevelObjects> tables_;
};

}  // namespace zorvane
