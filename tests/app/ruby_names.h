// Names of a project's data as Ruby's own Marshal reads them (tests/app/read_names.rb):
// the expected captions of the window tests come from there, not from the program.
#pragma once
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace ztest {

// Rows printed by a Ruby script as KIND<TAB>FIELD<TAB>...: kind -> rows of the fields after it.
inline std::map<std::string, std::vector<std::vector<std::string>>> rubyFacts(
    const std::string& script, const std::string& arguments) {
    std::map<std::string, std::vector<std::vector<std::string>>> facts;
    std::string out;
    if (run("ruby " + shellQuote(script) + " " + arguments, &out) != 0) return facts;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        if (line.empty()) continue;
        std::vector<std::string> fields;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');) fields.push_back(cell);
        if (line.back() == '\t') fields.emplace_back();
        if (fields.size() < 2) continue;
        std::string kind = fields.front();
        fields.erase(fields.begin());
        facts[kind].push_back(fields);
    }
    return facts;
}

// kind ("ce", "troop", "script", "map") -> rows of tab-separated fields after the kind.
inline std::map<std::string, std::vector<std::vector<std::string>>> rubyNames(
    const std::string& dataFolder) {
    return rubyFacts(sourceDir() + "/tests/app/read_names.rb", shellQuote(dataFolder));
}

}  // namespace ztest
