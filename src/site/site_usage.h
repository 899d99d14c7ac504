// What the site learns from every event list on its way through the walk: where each
// switch and variable is written and read, which lists transfer to which maps, and the
// texts the search box looks through. Built from the command references only.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "project/event_records.h"

namespace zorvane::site {

// One place that names an item: a line of a document (0: the page's conditions).
struct UsePlace {
    std::string page;  // the document's address from the top
    int line = 0;
    std::string where;  // who owns the list, as a reader names it
    bool writes = false;
};

struct Transfer {
    int fromMap = 0;  // 0: a common event or a troop page
    int toMap = 0;
    UsePlace place;
};

// One entry of the search index: a title, an address and the text searched.
struct SearchEntry {
    std::string title, page, text;
};

struct SiteUsage {
    std::map<int, std::vector<UsePlace>> switches, variables;
    std::vector<Transfer> transfers;
    std::vector<SearchEntry> search;

    // Every command of a list: the switches and variables it names, the maps it transfers
    // to, and its messages, choices, comments and script lines for the search.
    void addList(const UsePlace& owner, int fromMap, const EventCommandList& list);
    // A page condition that reads a switch or variable.
    void addConditionSwitch(const UsePlace& owner, int id) { switches[id].push_back(owner); }
    void addConditionVariable(const UsePlace& owner, int id) { variables[id].push_back(owner); }
};

// A command's reference to a range of ids is followed for at most this many ids, so a
// "switches 1..99999" operation cannot swell the pages.
constexpr int kMaxRangeIds = 1000;

}  // namespace zorvane::site
