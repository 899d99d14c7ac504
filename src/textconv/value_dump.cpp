// Containers print their size and list their children below them, strings are quoted with
// escapes and packed values carry a checksum, so each line holds one value and a change to
// any value changes a line.
#include "textconv/value_dump.h"

#include <vector>

#include "textconv/value_text.h"

namespace zorvane {

namespace {

// Kinds without display text of their own are named, so every line says something.
std::string dumpText(const MarshalValue& node) {
    switch (node.kind()) {
        case MarshalValue::String:
            return quoteText(node.text());
        case MarshalValue::Ivars:
        case MarshalValue::UserClass: {
            // A subclass names itself before what it holds; the elements and variables
            // follow on lines of their own.
            WrappedValue wrapped;
            seeThrough(node, wrapped);
            if (wrapped.inner == &node) return node.toText(true);
            std::string inner = dumpText(*wrapped.inner);
            return wrapped.className.empty() ? inner : "(" + wrapped.className + ") " + inner;
        }
        case MarshalValue::Float:
            return floatText(node.floatValue());
        case MarshalValue::Array:
            return "[Array[" + std::to_string(node.children().size()) + "]]";
        case MarshalValue::UserDump:
            return "<_dump " + packedText(node) + ">";
        case MarshalValue::MarshalDump:
            return "<marshal_dump " + node.className() + ">";
        case MarshalValue::ClassRef:
            return "<class " + node.text() + ">";
        case MarshalValue::ModuleRef:
            return "<module " + node.text() + ">";
        default:
            return node.toText(true);
    }
}

constexpr size_t kPieceBytes = size_t(64) << 10;

// One line per node, children below their parent. The walk keeps its own stack: a file may
// nest values as deep as the reader allows, deeper than the call stack would like.
void dumpTree(std::string& out, const MarshalValue& top, const std::string& head,
              const ValuePathIndex& index, bool withPaths,
              const std::function<void(std::string_view)>& write) {
    struct Item {
        const MarshalValue* node;
        std::string path;
        int depth;
        std::string label;
    };
    std::vector<Item> stack{{&top, head, 0, ""}};
    std::vector<Item> children;
    while (!stack.empty()) {
        Item item = std::move(stack.back());
        stack.pop_back();
        if (out.size() >= kPieceBytes) {
            write(out);
            out.clear();
        }
        out.append(static_cast<size_t>(item.depth) * 2, ' ');
        if (!item.label.empty()) out += item.label + " ";
        out += dumpText(*item.node);
        // A path taken first by another node belongs to that node.
        if (withPaths && index.findPath(item.path) == item.node) out += "    " + item.path;
        out += '\n';
        children.clear();
        ValuePathIndex::forEachChild(
            *item.node, item.path, [&](const MarshalValue& child, const std::string& p) {
                char step = p[item.path.size()];
                if (step == '/') return;  // name nodes and hash keys label their values instead
                std::string label;
                if (step == '.')
                    label = p.substr(item.path.size() + 1) + ":";
                else if (step == '{')
                    label = p.substr(item.path.size()) + " =>";
                children.push_back({&child, p, item.depth + 1, std::move(label)});
            });
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            stack.push_back(std::move(*it));
    }
}

}  // namespace

void dumpValues(const MarshalFile& file, bool withPaths,
                const std::function<void(std::string_view)>& write) {
    std::string out;
    const ValueArray& tops = file.root().children();
    for (size_t i = 0; i < tops.size(); ++i) {
        std::string head = ValuePathIndex::headOf(tops[i]);
        if (head.empty()) head = "[" + std::to_string(i) + "]";
        dumpTree(out, tops[i], head, file.index(), withPaths, write);
    }
    if (!out.empty()) write(out);
}

std::string dumpValues(const MarshalFile& file, bool withPaths) {
    std::string out;
    dumpValues(file, withPaths, [&out](std::string_view piece) { out += piece; });
    return out;
}

}  // namespace zorvane
