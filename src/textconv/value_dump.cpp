// Containers print their size and list their children below them, strings are quoted with
// escapes and packed values carry a checksum, so each line holds one value and a change to
// any value changes a line.
#include "textconv/value_dump.h"

#include "textconv/value_text.h"

namespace zorvane {

namespace {

// Kinds without display text of their own are named, so every line says something.
std::string dumpText(const MarshalValue& node) {
    switch (node.kind()) {
        case MarshalValue::String:
            return quoteText(node.text());
        case MarshalValue::Ivars:
            if (!node.children().empty() && node.children()[0].kind() == MarshalValue::String)
                return quoteText(node.text());
            return node.toText(true);
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

void dumpNode(std::string& out, const MarshalValue& node, const std::string& path,
              const ValuePathIndex& index, int depth, bool withPaths, const std::string& label) {
    out.append(static_cast<size_t>(depth) * 2, ' ');
    if (!label.empty()) out += label + " ";
    out += dumpText(node);
    // A path taken first by another node belongs to that node.
    if (withPaths && index.findPath(path) == &node) out += "    " + path;
    out += '\n';
    ValuePathIndex::forEachChild(node, path, [&](const MarshalValue& child, const std::string& p) {
        char step = p[path.size()];
        if (step == '/') return;  // name nodes and hash keys label their values instead
        std::string childLabel;
        if (step == '.')
            childLabel = p.substr(path.size() + 1) + ":";
        else if (step == '{')
            childLabel = p.substr(path.size()) + " =>";
        dumpNode(out, child, p, index, depth + 1, withPaths, childLabel);
    });
}

}  // namespace

std::string dumpValues(const MarshalFile& file, bool withPaths) {
    std::string out;
    const ValueArray& tops = file.root().children();
    for (size_t i = 0; i < tops.size(); ++i) {
        std::string head = ValuePathIndex::headOf(tops[i]);
        if (head.empty()) head = "[" + std::to_string(i) + "]";
        dumpNode(out, tops[i], head, file.index(), 0, withPaths, "");
    }
    return out;
}

}  // namespace zorvane
