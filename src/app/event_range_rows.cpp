// One table says each row's caption, picker title and label kind; both pages build and
// label their rows from it.
#include "app/event_range_rows.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include <cstdio>
#include <optional>
#include <vector>

#include "app/id_picker.h"
#include "app/map_tree_picker.h"
#include "app/settings.h"
#include "app/wx_text.h"
#include "map/map_info_tree.h"
#include "project/project_database.h"

namespace zorvane {

namespace {

struct RangeRowInfo {
    const char* caption;
    const char* pickerTitle;
    std::optional<LabelKind> labelKind;  // none for scripts, which are no label kind
};

// In the order of EventRangeRow.
const RangeRowInfo kRangeRows[4] = {
    {wxTRANSLATE("コモンイベント"), wxTRANSLATE("コモンイベントを選択"), LabelKind::CommonEvent},
    {wxTRANSLATE("バトルイベント"), wxTRANSLATE("バトルイベントを選択"), LabelKind::Troop},
    {wxTRANSLATE("マップイベント"), wxTRANSLATE("マップを選択"), LabelKind::Map},
    {wxTRANSLATE("スクリプト"), wxTRANSLATE("スクリプトを選択"), std::nullopt},
};

const char* const kNothingToChoose = wxTRANSLATE("（選べるものがありません）");

std::vector<std::string> rangeNames(const ProjectDatabase& db, size_t row) {
    std::vector<std::string> names;
    if (row == kRangeCommonEvents)
        for (const CommonEvent& event : db.commonEvents()) names.push_back(event.name);
    if (row == kRangeBattleEvents)
        for (const Troop& troop : db.troops()) names.push_back(troop.name);
    if (row == kRangeScripts) {
        names.emplace_back();  // scripts count from 1 here
        for (const Script& script : db.scripts()) names.push_back(script.title);
    }
    return names;
}

}  // namespace

std::string rangeLabel(const ProjectDatabase& db, int row, int id) {
    if (!db.loaded || id < 1 || row < 0 || row > kRangeScripts) return "";
    // An id the table lacks (its file unreadable, or the table empty) is no choice: the
    // listing's overflow marker would read as part of the project.
    std::optional<LabelKind> kind = kRangeRows[row].labelKind;
    bool known = kind ? db.hasEntry(id, *kind) : static_cast<size_t>(id) <= db.scripts().size();
    if (!known) return trs(kNothingToChoose);
    if (kind) return db.label(id, *kind, LabelStyle::numberAndName());
    char buf[32];
    std::snprintf(buf, sizeof buf, "%03d:", id);
    return buf + db.scripts()[static_cast<size_t>(id) - 1].title;
}

const char* rangeCaption(size_t row) {
    return row < std::size(kRangeRows) ? kRangeRows[row].caption : "";
}

wxFlexGridSizer* buildRangeRows(wxWindow* parent, RangeRows& rows) {
    auto* grid = new wxFlexGridSizer(5, 3, 6);
    grid->AddGrowableCol(3);
    for (size_t r = 0; r < rows.size(); ++r) {
        RangeRowControls& row = rows[r];
        row.check = new wxCheckBox(parent, wxID_ANY, tr(kRangeRows[r].caption));
        row.all = new wxRadioButton(parent, wxID_ANY, tr("全て"), wxDefaultPosition, wxDefaultSize,
                                    wxRB_GROUP);
        row.chosen = new wxRadioButton(parent, wxID_ANY, tr("指定"));
        row.idBox =
            new wxTextCtrl(parent, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxTE_READONLY);
        row.pick =
            new wxButton(parent, wxID_ANY, "...", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
        for (wxWindow* cell : {static_cast<wxWindow*>(row.check), static_cast<wxWindow*>(row.all),
                               static_cast<wxWindow*>(row.chosen)})
            grid->Add(cell, 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(row.idBox, 1, wxEXPAND);
        grid->Add(row.pick, 0, wxALIGN_CENTER_VERTICAL);
    }
    return grid;
}

int pickRangeId(wxWindow* parent, const ProjectDatabase& db, size_t row, int current) {
    if (!db.loaded || row > kRangeScripts) return 0;
    if (row == kRangeMapEvents) return pickMap(parent, MapInfoTree::fromProject(db), current);
    return pickId(parent, trs(kRangeRows[row].pickerTitle), rangeNames(db, row), current);
}

}  // namespace zorvane
