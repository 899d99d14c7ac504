// Built with AddressSanitizer by scripts/fuzz: a view of a tree (a reference to one of its
// nodes) used after the file is gone must be reported; a MarshalValue copied out of the
// tree owns its contents and must outlive the file cleanly. Usage:
// arena_lifetime_check view|copy
#include <cstdio>
#include <cstring>
#include <string>

#include "marshal/marshal_file.h"

int main(int argc, char** argv) {
    bool copy = argc > 1 && std::strcmp(argv[1], "copy") == 0;
    zorvane::MarshalValue kept;
    const zorvane::MarshalValue* view = nullptr;
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
        if (copy)
            kept = node;
        else
            view = &node;
    }
    std::printf("%s\n", (copy ? kept : *view).text().c_str());
    return 0;
}
