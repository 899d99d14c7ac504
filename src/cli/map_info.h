// info --map: one map of a project with its size, tileset, music and every event page
// (condition, graphic, movement and, when measured, the picture rectangle), as text or JSON.
#pragma once

#include "project/project_database.h"

namespace zorvane::cli {

// Prints map `mapId`; 1 with a message on stderr when the project has no such map or
// its file cannot be read.
int printMapInfo(const zorvane::ProjectDatabase& db, int mapId, bool measure, bool json);

}  // namespace zorvane::cli
