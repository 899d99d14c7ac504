// The records of CommonEvents.rxdata and Troops.rxdata read from their files: what the
// database's tables hold, for a file read on its own as well (a version git hands over).
#pragma once

#include <vector>

#include "marshal/marshal_file.h"
#include "project/event_records.h"

namespace zorvane {

// By id; an entry that is no object stays empty.
void readCommonEvents(const MarshalFile& f, std::vector<CommonEvent>& events);
void readTroops(const MarshalFile& f, std::vector<Troop>& troops);

}  // namespace zorvane
