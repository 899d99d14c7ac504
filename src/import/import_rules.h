// What a CSV list does to the import's preview: names by id, actor parameters by level,
// and the edits that the preview makes to what the project held when it was read.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "csv/csv_reader.h"
#include "marshal/rgss_types.h"

namespace zorvane {

class ProjectDatabase;
struct SystemData;

enum class NameKind { Switches, Variables, Elements };
constexpr int kNameKindCount = 3;

// "RPG::System.@switches", "RPG::System.@variables", "RPG::System.@elements".
const char* namePath(NameKind kind);
// The project's names of that kind, indexed by id (slot 0 unused).
const std::vector<std::string>& projectNames(const SystemData& system, NameKind kind);

// Actor parameter tables: x = parameter (max HP, max SP, strength, dexterity, agility,
// intelligence), y = level.
constexpr int kParameterCount = 6;
constexpr int kFirstLevel = 1;
constexpr int kLastLevel = 99;

// Column headings of the parameters: "Max" + the HP and SP terms, then the terms of the
// four abilities; the editor's own words when the project has none.
std::array<std::string, kParameterCount> parameterHeadings(const ProjectDatabase* db);

// A CSV parameter value as a table cell: kept within 16 bits and at least 1.
int16_t parameterValue(int64_t value);

// Rows "id,name,...": names[id] becomes the name for every id from 1 to names.size()-1;
// rows with an id of 0 or less (a header, an empty line), ids beyond and rows without a
// name field are skipped.
void readNameCsv(const CsvRows& rows, std::vector<std::string>& names);
// Rows "level,p1,...,p6": the cells of levels 1 to 99 within the table; other rows are
// skipped, and a missing field leaves its cell as it was.
void readActorCsv(const CsvRows& rows, Table& parameters);

// What readNameCsv and readActorCsv look at of a list's rows.
constexpr CsvShape kNameCsvShape{2, true};
constexpr CsvShape kActorCsvShape{1 + kParameterCount, true};

struct NameEdit {
    int id = 0;
    std::string text;
};

struct ParameterEdit {
    int actorId = 0;
    int parameter = 0;
    int level = 0;
    int16_t value = 0;
};

// The ids whose name differs between `before` and `after` (same indexing).
std::vector<NameEdit> nameEdits(const std::vector<std::string>& before,
                                const std::vector<std::string>& after);
// The cells whose value differs between two tables of the same shape.
std::vector<ParameterEdit> parameterEdits(int actorId, const Table& before, const Table& after);

}  // namespace zorvane
