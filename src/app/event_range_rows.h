// The rows of common events, battle events, map events and scripts that the search range
// and the export page share: a check box, "全て" / "指定", the chosen id shown as "%03d:"
// and a name, and a "..." button that opens the id picker or the map tree.
#pragma once

#include <array>
#include <string>

class wxButton;
class wxCheckBox;
class wxFlexGridSizer;
class wxRadioButton;
class wxTextCtrl;
class wxWindow;

namespace zorvane {

class ProjectDatabase;

struct RangeRowControls {
    wxCheckBox* check = nullptr;
    wxRadioButton* all = nullptr;     // "全て"
    wxRadioButton* chosen = nullptr;  // "指定"
    wxTextCtrl* idBox = nullptr;
    wxButton* pick = nullptr;
};

using RangeRows = std::array<RangeRowControls, 4>;

// What a range row shows for its id: "%03d:" and the name of the common event, troop, map
// or script (script n is the n-th counted from 1); "" without a project, and a plain
// "nothing to choose" when the table has no such entry.
std::string rangeLabel(const ProjectDatabase& db, int row, int id);

// A row's caption: "コモンイベント", "バトルイベント", "マップイベント", "スクリプト".
const char* rangeCaption(size_t row);

// The four rows as a grid of five columns under `parent`.
wxFlexGridSizer* buildRangeRows(wxWindow* parent, RangeRows& rows);

// The "..." button of a row: the list of names, or the map tree for maps. The chosen id,
// or 0 when the user cancelled.
int pickRangeId(wxWindow* parent, const ProjectDatabase& db, size_t row, int current);

}  // namespace zorvane
