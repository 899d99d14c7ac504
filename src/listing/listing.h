// Turns one event command into one line of the editor's own Japanese text, and answers on
// the way whether the command matches a search request. The command table (code, name,
// formatter) is data; each formatter family lives in its own file.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "listing/search_request.h"
#include "marshal/marshal_value.h"
#include "project/event_records.h"

namespace zorvane {

class ProjectDatabase;

enum class OwnerKind : int { CommonEvent = 0, Troop = 1, Map = 2 };

struct ListingOptions {
    const ProjectDatabase* project = nullptr;
    // The events of the map whose lists are shown (names of map events), or null.
    const std::map<int32_t, MapEvent>* mapEvents = nullptr;
    bool detail = false;
    int ownerId = 0;
    OwnerKind ownerKind = OwnerKind::CommonEvent;
};

// Relative resource paths ("Graphics\Characters\Hero") named by the formatted commands.
using FileCollector = std::set<std::string>;

using Params = std::vector<MarshalValue>;
// What formatters read: a run of parameter nodes (a Params converts to it).
using ParamView = ValueArray;

// A formatter writes the parameter text of one command into out (which starts empty) and
// returns whether the command matches the request (never when request is null).
using Formatter = bool (*)(std::string& out, const ParamView& p, const ListingOptions& options,
                           const SearchRequest* request, FileCollector* files);

struct CommandRow {
    int32_t code;
    const char* name;
    Formatter formatter;
};

// The whole table, in code order; defined in command_table.cpp.
const std::vector<CommandRow>& commandTable();
const CommandRow* findCommandRow(int32_t code);
// Code of a "◆" command name, or -1.
int32_t codeOfCommandName(const std::string& name);
// Every "◆" command name, sorted by name (the event command search lists them).
std::vector<std::string> commandNames();

// Whether a command of this code can match the request at all, so a search formats only
// those: a switch is operated or tested by 111, 121 and the route's 509 only; a call of a
// common event is 117; an event command search names its codes. Kinds whose matches reach
// into many commands (text, variables through message escapes, files) answer true.
bool commandCanAnswer(int32_t code, const SearchRequest& request);

// The single entry point: the line for one command, and whether it matched.
bool formatCommand(std::string& line, const EventCommand& command, const ListingOptions& options,
                   const SearchRequest* request);
// Adds every file the command names (folder + name, no extension) to `files`.
void collectCommandFiles(const EventCommand& command, const ListingOptions& options,
                         FileCollector& files);

// How many levels a command's line is indented by wherever lines are built: its @indent,
// at most kMaxShownIndent, so that a damaged value of two billion cannot make a line of
// gigabytes (the editor never nests nearly that deep).
constexpr int32_t kMaxShownIndent = 100;
inline int32_t shownIndent(int32_t indent) {
    return indent < 0 ? 0 : indent > kMaxShownIndent ? kMaxShownIndent : indent;
}

}  // namespace zorvane
