// Turns one event command into one line of the editor's own Japanese text, or of its
// English counterpart. The command table (code, name, formatter, what its operands refer
// to) is data, its English names a second table beside it; each formatter family lives in
// its own file.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "listing/command_refs.h"
#include "listing/search_request.h"
#include "marshal/marshal_value.h"
#include "project/event_records.h"
#include "project/labels.h"
#include "project/listing_language.h"

namespace zorvane {

class ProjectDatabase;

struct ListingOptions {
    const ProjectDatabase* project = nullptr;
    // The events of the map whose lists are shown (names of map events), or null.
    const std::map<int32_t, MapEvent>* mapEvents = nullptr;
    bool detail = false;
    ListingLanguage language = ListingLanguage::Japanese;
    int ownerId = 0;
    OwnerKind ownerKind = OwnerKind::CommonEvent;
    // When set, every label a line shows adds its (kind, id) here: cross-checks of the
    // operand descriptions read it.
    std::vector<std::pair<LabelKind, int>>* labelled = nullptr;
};

// Relative resource paths ("Graphics\Characters\Hero") named by commands.
using FileCollector = std::set<std::string>;

using Params = std::vector<MarshalValue>;
// What formatters read: a run of parameter nodes (a Params converts to it).
using ParamView = ValueArray;

// A formatter writes the parameter text of one command into out (which starts empty).
using Formatter = void (*)(std::string& out, const ParamView& p, const ListingOptions& options);

struct CommandRow {
    int32_t code;
    const char* name;
    Formatter formatter;
    // What the parameters refer to; references() reads them through this.
    std::vector<Operand> operands;
};

// The move command of a route line, whose own code chooses its operands.
constexpr int32_t kMoveCommandCode = 509;
const std::vector<Operand>& moveOperands(int moveCode);
// Every move code that has arguments.
std::vector<int> moveCodes();

// The whole table, in code order; defined in command_table.cpp.
const std::vector<CommandRow>& commandTable();
const CommandRow* findCommandRow(int32_t code);
// The English name of a code (the same leading mark as the Japanese), or null.
const char* englishCommandName(int32_t code);
// The name a row shows in a language.
const char* commandName(const CommandRow& row, ListingLanguage language);
// Code of a "◆" command name (Japanese or English), or -1.
int32_t codeOfCommandName(const std::string& name);
// Every "◆" command name in the language, in the order of the Japanese names (the event
// command search lists them).
std::vector<std::string> commandNames(ListingLanguage language = ListingLanguage::Japanese);

// The single entry point: the line for one command. With a request the line is a search
// result's (continuation lines say what they continue) and the answer is whether the
// command matches it.
bool formatCommand(std::string& line, const EventCommand& command, const ListingOptions& options,
                   const SearchRequest* request);
// Adds every file the command names (folder + name, no extension) to `files`.
void collectCommandFiles(const EventCommand& command, FileCollector& files);

// How many levels a command's line is indented by wherever lines are built: its @indent,
// at most kMaxShownIndent, so that a damaged value of two billion cannot make a line of
// gigabytes (the editor never nests nearly that deep).
constexpr int32_t kMaxShownIndent = 100;
inline int32_t shownIndent(int32_t indent) {
    return indent < 0 ? 0 : indent > kMaxShownIndent ? kMaxShownIndent : indent;
}

}  // namespace zorvane
