#include "marshal/marshal_error.h"

#include <cstdio>

namespace zorvane {

std::string MarshalError::message() const {
    char buf[160];
    switch (code) {
        case Code::None:
            return "no error";
        case Code::CannotOpen:
            return detail.empty() ? "cannot open" : detail;
        case Code::EmptyFile:
            return "empty file";
        case Code::BadVersion:
            std::snprintf(buf, sizeof buf, "not Marshal 4.8 (at offset %zu)", offset);
            return buf;
        case Code::Truncated:
            std::snprintf(buf, sizeof buf, "truncated (data ends inside a value at offset %zu)",
                          offset);
            return buf;
        case Code::UnsupportedType:
            std::snprintf(buf, sizeof buf, "unsupported type byte 0x%02x at offset %zu",
                          static_cast<unsigned>(byte & 0xff), offset);
            return buf;
        case Code::BadLength:
            std::snprintf(buf, sizeof buf, "bad count or length at offset %zu", offset);
            return buf;
        case Code::BadSymbol:
            std::snprintf(buf, sizeof buf, "symbol expected at offset %zu", offset);
            return buf;
        case Code::BadWrapped:
            std::snprintf(buf, sizeof buf, "user class wraps an unsupported value at offset %zu",
                          offset);
            return buf;
        case Code::Zlib:
            std::snprintf(buf, sizeof buf, "bad compressed string at offset %zu", offset);
            return buf;
        case Code::TooDeep:
            std::snprintf(buf, sizeof buf, "values nested too deeply at offset %zu", offset);
            return buf;
        case Code::TooLarge:
            std::snprintf(buf, sizeof buf, "compressed string too large at offset %zu", offset);
            return buf;
        case Code::FileInflateBudget:
            std::snprintf(buf, sizeof buf,
                          "compressed strings of this file inflate to more than %d MiB "
                          "(at offset %zu)",
                          byte, offset);
            return buf;
        case Code::ProjectInflateBudget:
            std::snprintf(buf, sizeof buf,
                          "compressed strings of this project inflate to more than %d MiB "
                          "(at offset %zu)",
                          byte, offset);
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
