// Names of a project's data as Ruby's own Marshal reads them (tests/app/read_names.rb):
// the expected captions of the window tests come from there, not from the program.
#pragma once
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace ztest {

// kind ("ce", "troop", "script", "map", "event") -> rows of tab-separated fields after the
// kind. `options` go to the script after the folder.
inline std::map<std::string, std::vector<std::vector<std::string>>> rubyNames(
    const std::string& dataFolder, const std::string& options = "") {
    std::map<std::string, std::vector<std::vector<std::string>>> names;
    std::string out;
    if (run("ruby " + shellQuote(sourceDir() + "/tests/app/read_names.rb") + " " +
                shellQuote(dataFolder) + " " + options,
            &out) != 0)
        return names;
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
        names[kind].push_back(fields);
    }
    return names;
}

}  // namespace ztest
