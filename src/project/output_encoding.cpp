// The automatic rule looks at how Game.ini was read; a GBK or UTF-8 file means UTF-8 out.
#include "project/output_encoding.h"

#include "project/project_database.h"

namespace zorvane {

bool writesCp932(OutputEncoding encoding, const ProjectDatabase& project) {
    switch (encoding) {
        case OutputEncoding::Cp932:
            return true;
        case OutputEncoding::Utf8:
            return false;
        case OutputEncoding::Automatic:
            break;
    }
    return project.gameIniEncoding == "CP932";
}

bool parseOutputEncoding(const std::string& name, OutputEncoding& encoding) {
    struct Name {
        const char* text;
        OutputEncoding value;
    };
    static const Name kNames[] = {{"auto", OutputEncoding::Automatic},
                                  {"cp932", OutputEncoding::Cp932},
                                  {"utf-8", OutputEncoding::Utf8}};
    for (const Name& n : kNames)
        if (name == n.text) {
            encoding = n.value;
            return true;
        }
    return false;
}

}  // namespace zorvane
