// Why a Marshal read or write failed, with the byte offset where it happened, so the CLI
// and the project check can say more than "cannot read".
#pragma once

#include <cstddef>
#include <string>

namespace zorvane {

struct MarshalError {
    enum class Code {
        None,
        CannotOpen,
        EmptyFile,
        BadVersion,
        Truncated,
        UnsupportedType,
        BadLength,
        BadSymbol,
        BadWrapped,
        Zlib,
        TooDeep,
        TooLarge,
        FileInflateBudget,
        ProjectInflateBudget,
        NotLoaded,
        UnsupportedKind,
        WriteFailed,
        OutOfMemory,
    };
    Code code = Code::None;
    size_t offset = 0;
    int byte = -1;
    // CannotOpen: why, when known ("not a regular file", "file too large (...)").
    std::string detail;

    bool ok() const { return code == Code::None; }
    std::string message() const;
};

}  // namespace zorvane
