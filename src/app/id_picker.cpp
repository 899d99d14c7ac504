// The id list is virtual: a project may have thousands of switches and variables, and
// the picker must open at once. Finding uses the program's plain text test.
#include "app/id_picker.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <cstdio>

#include "app/message_box.h"
#include "app/wx_text.h"
#include "platform/string_util.h"
#include "text/text_matcher.h"

namespace zorvane {

namespace {

class IdListCtrl : public wxListCtrl {
  public:
    IdListCtrl(wxWindow* parent, const IdNames& names)
        : wxListCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                     wxLC_REPORT | wxLC_VIRTUAL | wxLC_SINGLE_SEL),
          names_(names) {
        AppendColumn("ID", wxLIST_FORMAT_LEFT, FromDIP(50));
        AppendColumn(tr("名前"), wxLIST_FORMAT_LEFT, FromDIP(200));
        SetItemCount(names_.size() > 1 ? static_cast<long>(names_.size() - 1) : 0);
    }

    wxString OnGetItemText(long item, long column) const override {
        int id = static_cast<int>(item) + 1;
        if (column == 0) return format("%04d", id);
        if (static_cast<size_t>(id) >= names_.size()) return wxString();
        return toWx(names_[static_cast<size_t>(id)]);
    }

  private:
    const IdNames& names_;
};

}  // namespace

std::vector<IdGroup> idGroups(int count) {
    std::vector<IdGroup> groups;
    for (int first = 1; first < count; first += kIdGroupSize) {
        int last = std::min(first + kIdGroupSize - 1, count - 1);
        char buf[48];
        std::snprintf(buf, sizeof buf, "[%04d-%04d]", first, last);
        groups.push_back({first, last, buf});
    }
    return groups;
}

int findIdByName(const IdNames& names, int from, const std::string& text, bool caseSensitive,
                 bool downward) {
    int count = static_cast<int>(names.size());
    int step = downward ? 1 : -1;
    for (int id = from + step; id >= 1 && id < count; id += step)
        if (findPlain(names[static_cast<size_t>(id)], text, caseSensitive)) return id;
    return 0;
}

IdPicker::IdPicker(wxWindow* parent, const std::string& title, IdNames names, int currentId)
    : wxDialog(parent, wxID_ANY, toWx(title), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      names_(std::move(names)) {
    buildLayout();
    selectId(currentId);
}

wxListCtrl* IdPicker::buildIdList() {
    auto* list = new IdListCtrl(this, names_);
    list->Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent&) { EndModal(wxID_OK); });
    return list;
}

void IdPicker::buildLayout() {
    list_ = buildIdList();
    groups_ = new wxListBox(this, wxID_ANY);
    for (const IdGroup& group : idGroups(static_cast<int>(names_.size())))
        groups_->Append(toWx(group.caption));
    groups_->Bind(wxEVT_LISTBOX, [this](wxCommandEvent& e) { chooseGroup(e.GetSelection()); });

    findBox_ = new wxTextCtrl(this, wxID_ANY);
    auto* up = new wxButton(this, wxID_ANY, tr("上検索"));
    auto* down = new wxButton(this, wxID_ANY, tr("下検索"));
    caseBox_ = new wxCheckBox(this, wxID_ANY, tr("大文字/小文字を区別"));
    up->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { find(false); });
    down->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { find(true); });

    auto* lists = new wxBoxSizer(wxHORIZONTAL);
    lists->Add(groups_, 0, wxEXPAND | wxRIGHT, 6);
    lists->Add(list_, 1, wxEXPAND);
    auto* finder = new wxBoxSizer(wxHORIZONTAL);
    finder->Add(findBox_, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
    finder->Add(up, 0, wxRIGHT, 4);
    finder->Add(down, 0, wxRIGHT, 8);
    finder->Add(caseBox_, 0, wxALIGN_CENTER_VERTICAL);

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(lists, 1, wxEXPAND | wxALL, 8);
    column->Add(finder, 0, wxEXPAND | wxLEFT | wxRIGHT, 8);
    column->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxALL, 8);
    SetSizer(column);
    SetSize(FromDIP(wxSize(460, 420)));
}

int IdPicker::selectedId() const {
    long item = list_->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    return item < 0 ? 0 : static_cast<int>(item) + 1;
}

void IdPicker::selectId(int id) {
    if (id < 1 || static_cast<size_t>(id) >= names_.size()) return;
    long previous = list_->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    if (previous >= 0) list_->SetItemState(previous, 0, wxLIST_STATE_SELECTED);
    long item = id - 1;
    list_->SetItemState(item, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                        wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    list_->EnsureVisible(item);
}

void IdPicker::chooseGroup(int index) {
    auto groups = idGroups(static_cast<int>(names_.size()));
    if (index < 0 || static_cast<size_t>(index) >= groups.size()) return;
    selectId(groups[static_cast<size_t>(index)].first);
}

bool IdPicker::find(bool downward) {
    std::string text = fromWx(findBox_->GetValue());
    int id = findIdByName(names_, selectedId(), text, caseBox_->GetValue(), downward);
    if (id == 0) return false;
    selectId(id);
    return true;
}

int pickId(wxWindow* parent, const std::string& title, const IdNames& names, int currentId) {
    IdPicker picker(parent, title, names, currentId);
    if (showModal(picker) != wxID_OK) return 0;
    return picker.selectedId();
}

}  // namespace zorvane
