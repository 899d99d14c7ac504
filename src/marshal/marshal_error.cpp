#include "marshal/marshal_error.h"

#include <cstdio>

namespace zorvane {

std::string MarshalError::message() const {
    char buf[160];
    auto atOffset = [&](const char* format) {
        std::snprintf(buf, sizeof buf, format, offset);
        return std::string(buf);
    };
    switch (code) {
        case Code::None:
            return "no error";
        case Code::CannotOpen:
            return detail.empty() ? "cannot open" : detail;
        case Code::EmptyFile:
            return "empty file";
        case Code::BadVersion:
            return atOffset("not Marshal 4.8 (at offset %zu)");
        case Code::Truncated:
            return atOffset("truncated (data ends inside a value at offset %zu)");
        case Code::UnsupportedType:
            std::snprintf(buf, sizeof buf, "unsupported type byte 0x%02x at offset %zu",
                          static_cast<unsigned>(byte & 0xff), offset);
            return buf;
        case Code::BadLength:
            return atOffset("bad count or length at offset %zu");
        case Code::BadSymbol:
            return atOffset("symbol expected at offset %zu");
        case Code::BadWrapped:
            return atOffset("user class wraps an unsupported value at offset %zu");
        case Code::Zlib:
            return atOffset("bad compressed string at offset %zu");
        case Code::TooDeep:
            return atOffset("values nested too deeply at offset %zu");
        case Code::TooLarge:
            return atOffset("compressed string too large at offset %zu");
        case Code::FileInflateBudget:
        case Code::ProjectInflateBudget:
            std::snprintf(buf, sizeof buf,
                          "compressed strings of this %s inflate to more than %d MiB "
                          "(at offset %zu)",
                          code == Code::FileInflateBudget ? "file" : "project", byte, offset);
            return buf;
        case Code::NotLoaded:
            return "file was never loaded";
        case Code::UnsupportedKind:
            std::snprintf(buf, sizeof buf, "cannot write a value of kind 0x%02x",
                          static_cast<unsigned>(byte & 0xff));
            return buf;
        case Code::WriteFailed:
            return "cannot write the file";
        case Code::OutOfMemory:
            return "not enough memory to read the file";
    }
    return "unknown error";
}

}  // namespace zorvane
