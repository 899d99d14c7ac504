// The database as CSV files for spreadsheets: one file per table, a parameter file per
// actor, classes and enemies split in several files. Set-valued fields (elements, states,
// equipment) are spread over one column per element, state, weapon or armor.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "csv/csv_writer.h"

namespace zorvane {

class ProjectDatabase;

// The tables in the order of the CsvCheck settings.
enum DatabaseTable : int {
    kTableActors,
    kTableClasses,
    kTableSkills,
    kTableItems,
    kTableWeapons,
    kTableArmors,
    kTableEnemies,
    kTableTroops,
    kTableStates,
    kTableElements,
    kTableSwitches,
    kTableVariables,
    kDatabaseTableCount,
};

// The command line's name of a table ("actors" … "variables"); null outside the tables.
const char* databaseTableName(int table);

// One file of a table: its name inside the DataBase folder and its records.
struct CsvFile {
    std::string name;
    std::vector<std::vector<std::string>> rows;
};

// Hands each file of table `table` to `take`, one at a time, so that a table of many files
// (the actors' parameters) is never held whole. File names built from project text follow
// the safe-name rule.
void buildDatabaseCsv(int table, const ProjectDatabase& db,
                      const std::function<void(const CsvFile&)>& take);

// One file that was to be written, and how it went.
struct WrittenFile {
    std::string path;
    uint64_t bytes = 0;
    bool ok = false;
    size_t lostCharacters = 0;  // written as "?": the encoding cannot hold them
};

// Writes the files of `table` into `folder` (which must exist); one entry per file. A file
// that cannot be written does not stop the others.
std::vector<WrittenFile> writeDatabaseCsv(int table, const ProjectDatabase& db,
                                          const std::string& folder, const CsvFileOptions& options);
inline std::vector<WrittenFile> writeDatabaseCsv(int table, const ProjectDatabase& db,
                                                 const std::string& folder, CsvEncoding encoding) {
    return writeDatabaseCsv(table, db, folder, CsvFileOptions{encoding, false, {}});
}

}  // namespace zorvane
