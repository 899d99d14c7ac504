// Line differences between two texts: a shortest edit script (Myers' algorithm in linear
// space, so a long script rewritten from end to end costs no more than its length in
// memory) and its unified form with context lines, as `diff -u` writes hunks.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zorvane {

// The lines of a text without their line ends; a last line without '\n' counts too.
std::vector<std::string_view> splitLines(std::string_view text);

struct LineEdit {
    enum Op { Keep, Remove, Add } op;
    size_t oldLine;  // index into the old lines (Keep, Remove)
    size_t newLine;  // index into the new lines (Keep, Add)
};

// The old text's lines kept, removed and added in order, removals of a change before its
// additions; as few removed and added lines as possible.
std::vector<LineEdit> diffLines(const std::vector<std::string_view>& oldLines,
                                const std::vector<std::string_view>& newLines);

// "@@ -a,b +c,d @@" hunks with `context` lines around each change; "" for equal texts.
std::string unifiedDiff(std::string_view oldText, std::string_view newText, int context = 3);

}  // namespace zorvane
