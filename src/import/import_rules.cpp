// The CSV rules of the import's preview and the edits it amounts to.
#include "import/import_rules.h"

#include <algorithm>

#include "project/project_database.h"

namespace zorvane {

namespace {

const char* const kNamePaths[kNameKindCount] = {
    "RPG::System.@switches",
    "RPG::System.@variables",
    "RPG::System.@elements",
};

struct HeadingRow {
    const char* word;  // instance variable of RPG::System::Words
    const char* prefix;
    const char* fallback;
};

const HeadingRow kHeadings[kParameterCount] = {
    {"@hp", "Max", "MaxHP"}, {"@sp", "Max", "MaxSP"}, {"@str", "", "腕力"},
    {"@dex", "", "器用さ"},  {"@agi", "", "素早さ"},  {"@int", "", "魔力"},
};

}  // namespace

const char* namePath(NameKind kind) {
    return kNamePaths[static_cast<int>(kind)];
}

const std::vector<std::string>& projectNames(const SystemData& system, NameKind kind) {
    switch (kind) {
        case NameKind::Switches:
            return system.switchNames;
        case NameKind::Variables:
            return system.variableNames;
        case NameKind::Elements:
            break;
    }
    return system.elementNames;
}

std::array<std::string, kParameterCount> parameterHeadings(const ProjectDatabase* db) {
    std::array<std::string, kParameterCount> headings;
    const SystemData* system = db && db->loaded ? &db->system() : nullptr;
    for (int p = 0; p < kParameterCount; ++p) {
        const HeadingRow& row = kHeadings[p];
        headings[p] = row.fallback;
        if (!system) continue;
        auto word = system->words.find(row.word);
        if (word != system->words.end()) headings[p] = row.prefix + word->second;
    }
    return headings;
}

int16_t parameterValue(int64_t value) {
    return static_cast<int16_t>(std::clamp<int64_t>(value, 1, INT16_MAX));
}

void readNameCsv(const CsvRows& rows, std::vector<std::string>& names) {
    for (const CsvRow& row : rows) {
        int64_t id = row.empty() ? 0 : csvInteger(row[0]);
        if (id <= 0 || static_cast<uint64_t>(id) >= names.size() || row.size() < 2) continue;
        // Stored texts end at their first zero byte.
        names[static_cast<size_t>(id)] = row[1].substr(0, row[1].find('\0'));
    }
}

void readActorCsv(const CsvRows& rows, Table& parameters) {
    for (const CsvRow& row : rows) {
        int64_t level = row.empty() ? 0 : csvInteger(row[0]);
        if (level < kFirstLevel || level > kLastLevel) continue;
        for (int p = 0; p < kParameterCount && static_cast<size_t>(p) + 1 < row.size(); ++p)
            parameters.set(p, static_cast<int32_t>(level), 0,
                           parameterValue(csvInteger(row[p + 1])));
    }
}

std::vector<NameEdit> nameEdits(const std::vector<std::string>& before,
                                const std::vector<std::string>& after) {
    std::vector<NameEdit> edits;
    for (size_t id = 1; id < after.size(); ++id)
        if (id >= before.size() || before[id] != after[id])
            edits.push_back({static_cast<int>(id), after[id]});
    return edits;
}

std::vector<ParameterEdit> parameterEdits(int actorId, const Table& before, const Table& after) {
    std::vector<ParameterEdit> edits;
    for (int32_t level = 0; level < after.ysize; ++level)
        for (int32_t p = 0; p < after.xsize; ++p)
            if (before.at(p, level) != after.at(p, level))
                edits.push_back({actorId, p, level, after.at(p, level)});
    return edits;
}

}  // namespace zorvane
