// Fuzz target: any bytes given to the Marshal reader must either be refused or read into a
// tree that the path index can walk and the writer can write and read back.
#include <cstddef>
#include <cstdint>
#include <string>

#include "marshal/marshal_file.h"
#include "marshal/name_scan.h"
#include "marshal/rgss_types.h"

namespace {

void walk(const zorvane::MarshalFile& file, const zorvane::MarshalValue& node, const std::string& path,
          int budget[1]) {
    if (--budget[0] < 0) return;
    if (file.index().findPath(path) == nullptr && !path.empty()) {
        // Paths that an earlier node took first are allowed to resolve elsewhere; a walk
        // must simply not crash.
    }
    zorvane::Table table;
    table.decode(node);
    (void)node.toText(true);
    zorvane::ValuePathIndex::forEachChild(node, path, [&](const zorvane::MarshalValue& child,
                                                          const std::string& p) {
        walk(file, child, p, budget);
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The name scanner reads the same untrusted bytes without the tree reader's checks.
    (void)zorvane::scanArrayNames(std::string_view(reinterpret_cast<const char*>(data), size));
    zorvane::MarshalFile file;
    if (!file.loadFromBuffer(std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
    const zorvane::ValueArray& tops = file.root().children();
    int budget[1] = {20000};
    for (size_t i = 0; i < tops.size(); ++i) {
        std::string head = zorvane::ValuePathIndex::headOf(tops[i]);
        if (head.empty()) head = "[" + std::to_string(i) + "]";
        walk(file, tops[i], head, budget);
        (void)file.index().resolveLink(i, 0);
    }
    (void)file.find("Array[%d].@list", 1);
    std::string saved;
    if (file.serialize(saved)) {
        zorvane::MarshalFile again;
        if (!again.loadFromBuffer(saved)) __builtin_trap();  // what we write we must read
    }
    return 0;
}
