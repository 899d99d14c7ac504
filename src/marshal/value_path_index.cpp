#include "marshal/value_path_index.h"

#include <cstdarg>
#include <cstdio>

#include "platform/string_util.h"

namespace zorvane {

namespace {

bool isHashKind(int32_t k) {
    return k == MarshalValue::Hash || k == MarshalValue::HashDef;
}
bool isObjectKind(int32_t k) {
    return k == MarshalValue::Object || k == MarshalValue::Struct;
}
bool isWrapperKind(int32_t k) {
    return k == MarshalValue::Ivars || k == MarshalValue::UserClass;
}

// The value a subclass wrapper ("C") or an instance-variable wrapper ("I") holds, or null.
const MarshalValue* wrappedValue(const MarshalValue& node) {
    if (node.kind() == MarshalValue::UserClass)
        return node.pairs().empty() ? nullptr : &node.pairs()[0].second;
    return node.kind() == MarshalValue::Ivars && !node.children().empty() ? &node.children()[0]
                                                                          : nullptr;
}

// A string's encoding flag is part of the string, not a variable anyone set.
bool isEncodingFlag(const MarshalValue& name) {
    std::string_view text = name.rawText();
    return text == "E" || text == "encoding";
}

// The decimal index of "[n]": digits only, no sign, no leading zeros (those paths are never
// registered, since indices are printed with %d).
bool parseIndex(std::string_view rest, size_t& index, size_t& used) {
    size_t i = 1;
    if (i >= rest.size() || rest[i] < '0' || rest[i] > '9') return false;
    if (rest[i] == '0' && i + 1 < rest.size() && rest[i + 1] != ']') return false;
    size_t v = 0;
    while (i < rest.size() && rest[i] >= '0' && rest[i] <= '9') {
        v = v * 10 + static_cast<size_t>(rest[i] - '0');
        if (v > (size_t{1} << 40)) return false;
        ++i;
    }
    if (i >= rest.size() || rest[i] != ']') return false;
    index = v;
    used = i + 1;
    return true;
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

// The display text of a hash key as paths use it, without building it for the common
// kinds: fixnum keys compare as numbers, string keys as their text.
bool keyMatches(const MarshalValue& key, std::string_view rest, size_t& used) {
    if (key.kind() == MarshalValue::Fixnum) {
        char buf[16];
        int n = std::snprintf(buf, sizeof buf, "%d", key.fixnum());
        if (!startsWith(rest, std::string_view(buf, static_cast<size_t>(n)))) return false;
        used = static_cast<size_t>(n);
        return true;
    }
    std::string text = key.toText(false);
    if (!startsWith(rest, text)) return false;
    used = text.size();
    return true;
}

}  // namespace

void ValuePathIndex::clear() {
    root_ = nullptr;
    heads_.clear();
    tables_.clear();
}

std::string ValuePathIndex::headOf(const MarshalValue& v) {
    switch (v.kind()) {
        case MarshalValue::Object:
        case MarshalValue::Struct:
            return v.className();
        case MarshalValue::Array:
            return "Array";
        case MarshalValue::Hash:
            return "Hash";
        case MarshalValue::HashDef:
            return "HashDef";
        case MarshalValue::String:
            return "String";
        case MarshalValue::Regexp:
            return "Regexp";
        case MarshalValue::Fixnum:
        case MarshalValue::Bignum:
            return "Number";
        case MarshalValue::Float:
            return "Float";
        case MarshalValue::Nil:
            return "nil";
        case MarshalValue::True:
            return "true";
        case MarshalValue::False:
            return "false";
        case MarshalValue::Link:
            return "Link";
        case MarshalValue::UserClass:
            return "Instance";
        case MarshalValue::UserDump:
            return "_dump";
        case MarshalValue::MarshalDump:
            return "marshal_dump";
        default:
            return "";
    }
}

void ValuePathIndex::build(MarshalValue& root) {
    clear();
    root_ = &root;
    ValueArray tops = root.children();
    heads_.reserve(tops.size());
    for (size_t i = 0; i < tops.size(); ++i) {
        std::string head = headOf(tops[i]);
        // A value without a head keeps the path its parent gives it: its position.
        heads_.push_back(head.empty() ? "[" + std::to_string(i) + "]" : head);
    }
}

void ValuePathIndex::setObjectTables(std::vector<TopLevelObjects> tables) {
    tables_ = std::move(tables);
}

MarshalValue* ValuePathIndex::find(const char* format, ...) const {
    va_list ap;
    va_start(ap, format);
    std::string path = formatList(format, ap);
    va_end(ap);
    return findPath(path);
}

MarshalValue* ValuePathIndex::findPath(std::string_view path) const {
    if (!root_ || path.size() > kMaxPathBytes) return nullptr;
    if (path == "root") return root_;
    // The first registration of a path wins: earlier top-level values first.
    for (size_t i = 0; i < heads_.size(); ++i)
        if (MarshalValue* hit = walkTop(i, path)) return hit;
    return nullptr;
}

// A wrapper is seen through: its variables after '.', the rest in the value it holds, so the
// elements of an Array subclass have the paths they would have in a plain Array.
MarshalValue* ValuePathIndex::walkWrapper(MarshalValue& node, std::string_view rest) const {
    if (node.kind() == MarshalValue::Ivars && (rest[0] == '.' || rest[0] == '/')) {
        std::string_view tail = rest.substr(1);
        for (const auto& pair : node.pairs()) {
            std::string_view name = pair.first.rawText();
            if (isEncodingFlag(pair.first) || !startsWith(tail, name)) continue;
            auto& hit = const_cast<MarshalValue&>(rest[0] == '.' ? pair.second : pair.first);
            if (MarshalValue* found = walk(hit, tail.substr(name.size()))) return found;
        }
    }
    const MarshalValue* inner = wrappedValue(node);
    return inner ? walk(const_cast<MarshalValue&>(*inner), rest) : nullptr;
}

MarshalValue* ValuePathIndex::walkTop(size_t i, std::string_view path) const {
    if (!startsWith(path, heads_[i])) return nullptr;
    // The index hands out writable nodes of the file that owns the tree.
    auto& top = const_cast<MarshalValue&>(root_->children()[i]);
    return walk(top, path.substr(heads_[i].size()));
}

MarshalValue* ValuePathIndex::walk(MarshalValue& node, std::string_view rest) const {
    if (rest.empty()) return &node;
    const int32_t kind = node.kind();
    if (isWrapperKind(kind)) return walkWrapper(node, rest);
    switch (rest[0]) {
        case '[': {
            if (kind != MarshalValue::Array) return nullptr;
            size_t index = 0, used = 0;
            if (!parseIndex(rest, index, used) || index >= node.children().size()) return nullptr;
            return walk(const_cast<MarshalValue&>(node.children()[index]), rest.substr(used));
        }
        case '.': {
            if (!isObjectKind(kind)) return nullptr;
            std::string_view tail = rest.substr(1);
            for (const auto& pair : node.pairs()) {
                std::string_view name = pair.first.rawText();
                if (pair.first.kind() != MarshalValue::String || !startsWith(tail, name)) continue;
                if (MarshalValue* hit =
                        walk(const_cast<MarshalValue&>(pair.second), tail.substr(name.size())))
                    return hit;
            }
            return nullptr;
        }
        case '/': {
            std::string_view tail = rest.substr(1);
            if (isObjectKind(kind)) {
                for (const auto& pair : node.pairs()) {
                    std::string_view name = pair.first.rawText();
                    if (pair.first.kind() != MarshalValue::String || !startsWith(tail, name))
                        continue;
                    if (MarshalValue* hit =
                            walk(const_cast<MarshalValue&>(pair.first), tail.substr(name.size())))
                        return hit;
                }
            } else if (isHashKind(kind)) {
                for (const auto& pair : node.pairs()) {
                    size_t used = 0;
                    if (!keyMatches(pair.first, tail, used)) continue;
                    if (MarshalValue* hit =
                            walk(const_cast<MarshalValue&>(pair.first), tail.substr(used)))
                        return hit;
                }
            }
            return nullptr;
        }
        case '{': {
            if (!isHashKind(kind)) return nullptr;
            std::string_view tail = rest.substr(1);
            for (const auto& pair : node.pairs()) {
                size_t used = 0;
                if (!keyMatches(pair.first, tail, used)) continue;
                if (used >= tail.size() || tail[used] != '}') continue;
                if (MarshalValue* hit =
                        walk(const_cast<MarshalValue&>(pair.second), tail.substr(used + 1)))
                    return hit;
            }
            return nullptr;
        }
        default:
            return nullptr;
    }
}

void ValuePathIndex::forEachChild(
    const MarshalValue& node, const std::string& path,
    const std::function<void(const MarshalValue&, const std::string&)>& fn) {
    const int32_t kind = node.kind();
    if (kind == MarshalValue::Array) {
        ValueArray kids = node.children();
        for (size_t i = 0; i < kids.size(); ++i) fn(kids[i], path + "[" + std::to_string(i) + "]");
    } else if (isObjectKind(kind)) {
        for (const auto& pair : node.pairs()) {
            std::string name(pair.first.rawText());
            fn(pair.second, path + "." + name);
            fn(pair.first, path + "/" + name);
        }
    } else if (isHashKind(kind)) {
        for (const auto& pair : node.pairs()) {
            std::string key = pair.first.toText(false);
            fn(pair.first, path + "/" + key);
            fn(pair.second, path + "{" + key + "}");
        }
    } else if (isWrapperKind(kind)) {
        if (const MarshalValue* inner = wrappedValue(node)) forEachChild(*inner, path, fn);
        if (kind != MarshalValue::Ivars) return;
        for (const auto& pair : node.pairs()) {
            if (isEncodingFlag(pair.first)) continue;
            std::string name(pair.first.rawText());
            fn(pair.second, path + "." + name);
            fn(pair.first, path + "/" + name);
        }
    }
}

std::string ValuePathIndex::pathOf(const MarshalValue* target) const {
    if (!root_ || !target) return {};
    if (target == root_) return "root";
    std::string found;
    std::function<bool(const MarshalValue&, const std::string&)> search =
        [&](const MarshalValue& node, const std::string& path) {
            if (&node == target) {
                found = path;
                return true;
            }
            bool done = false;
            forEachChild(node, path, [&](const MarshalValue& child, const std::string& p) {
                if (!done) done = search(child, p);
            });
            return done;
        };
    ValueArray tops = root_->children();
    for (size_t i = 0; i < tops.size() && found.empty(); ++i) search(tops[i], heads_[i]);
    // A path that an earlier node registered first belongs to that node, not this one.
    if (!found.empty() && findPath(found) != target) return {};
    return found;
}

MarshalValue* ValuePathIndex::resolveLink(size_t topIndex, int32_t linkIndex) const {
    if (topIndex >= tables_.size() || linkIndex < 0) return nullptr;
    const auto& objects = tables_[topIndex].objects;
    if (static_cast<size_t>(linkIndex) >= objects.size()) return nullptr;
    return const_cast<MarshalValue*>(objects[static_cast<size_t>(linkIndex)]);
}

}  // namespace zorvane
