// Built with AddressSanitizer by scripts/fuzz: a value copied out of a tree is a view into
// the file's arena, so using it after the file is gone must be reported; a deep copy must
// outlive the file cleanly. Usage: arena_lifetime_check view|copy
#include <cstdio>
#include <cstring>
#include <string>

#include "marshal/marshal_file.h"

int main(int argc, char** argv) {
    bool deep = argc > 1 && std::strcmp(argv[1], "copy") == 0;
    zorvane::MarshalValue kept;
    {
        zorvane::MarshalFile file;
        // ["a string that outlives nothing", 5]
        std::string bytes(
            "\x04\x08[\x07\"\x23"
            "a string that outlives nothing"
            "i\x0a",
            38);
        if (!file.loadFromBuffer(bytes)) return 2;
        const zorvane::MarshalValue& node = file.root().children()[0].children()[0];
        kept = deep ? node.deepCopy() : node;
    }
    std::printf("%s\n", kept.text().c_str());
    return 0;
}
