// The graphic and audio files that the database names (actors' characters and battlers,
// icons, menu and timing sounds, tileset pictures, the system's pictures and sounds), as
// one table shared by the missing-file search and the RTP usage scan.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace zorvane {

class ProjectDatabase;

// Called with the folder ("Graphics\Characters\") and the stored name, which may be empty.
using FileVisitor = std::function<void(const char* folder, const std::string& name)>;

// One database: its number 1..9 (actors .. system), the slot count of its table, and the
// file references of record `id` in a fixed order.
struct DatabaseFiles {
    int number;
    size_t (*count)(const ProjectDatabase&);
    void (*visit)(const ProjectDatabase&, size_t id, const FileVisitor&);
};

// Actors, skills, items, weapons, armors, enemies, animations, tilesets, system; records are
// visited from id 1 to count-1 (the system counts 2, so it is visited once).
const std::vector<DatabaseFiles>& databaseFiles();

}  // namespace zorvane
