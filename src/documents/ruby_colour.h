// Syntax colouring of Ruby scripts for HTML documents, driven by a user-editable rule file:
// each rule is a regular expression and a style class, and every stretch of text a rule
// claims is wrapped in a font element of that class.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zorvane {

class TextMatcher;

class RegexPattern;

struct ColourRule {
    std::string expression;
    std::string className;
    // Compiled once when the rules are read, and shared by the threads that colour scripts;
    // a rule made by hand without it is compiled for each script.
    std::shared_ptr<const RegexPattern> pattern = nullptr;
};

using ColourRules = std::vector<ColourRule>;

// The rules of a rule file in file order: lines "EXPRESSION<TAB>CLASS"; a line starting
// with ";" is a comment, and a line without two non-empty fields adds nothing. A file that
// cannot be read gives no rules.
ColourRules loadColourRules(const std::string& path);
ColourRules parseColourRules(std::string_view fileText);

// The script (with "\n" line ends) as HTML: each rule in turn claims its matches, which are
// blanked in a working copy so a later rule cannot claim them again; runs of bytes claimed
// by one rule become <font class="CLASS">…</font>. All text is escaped, inside runs and out.
// Without a loaded matcher nothing is coloured.
std::string colourScript(std::string_view text, const ColourRules& rules,
                         const TextMatcher* matcher);

}  // namespace zorvane
