// The id picker behind the "..." buttons of the search panel: every id with its name, the
// ids in groups of 25 for quick jumps, and a find box that walks up or down the names.
#pragma once
#include <wx/dialog.h>

#include <string>
#include <vector>

class wxCheckBox;
class wxListBox;
class wxListCtrl;
class wxTextCtrl;

namespace zorvane {

// The names of ids 1..names.size()-1; names[0] is never shown.
using IdNames = std::vector<std::string>;

struct IdGroup {
    int first = 0, last = 0;
    std::string caption;  // "[0001-0025]"
};

constexpr int kIdGroupSize = 25;

// Ids 1..count-1 in groups of 25; the last group ends at count-1.
std::vector<IdGroup> idGroups(int count);

// The next id after `from` (or the previous one before it) whose name contains `text`;
// 0 when there is none. Case-insensitive (ASCII letters) unless caseSensitive.
int findIdByName(const IdNames& names, int from, const std::string& text, bool caseSensitive,
                 bool downward);

class IdPicker : public wxDialog {
  public:
    IdPicker(wxWindow* parent, const std::string& title, IdNames names, int currentId);

    // 0 when nothing is selected.
    int selectedId() const;
    void selectId(int id);
    // "上検索" (downward false) and "下検索": false when no further name matches.
    bool find(bool downward);

    wxTextCtrl* findBox() const { return findBox_; }
    wxCheckBox* caseBox() const { return caseBox_; }
    wxListBox* groupList() const { return groups_; }
    wxListCtrl* idList() const { return list_; }

  private:
    void buildLayout();
    wxListCtrl* buildIdList();
    void chooseGroup(int index);

    IdNames names_;
    wxListCtrl* list_ = nullptr;
    wxListBox* groups_ = nullptr;
    wxTextCtrl* findBox_ = nullptr;
    wxCheckBox* caseBox_ = nullptr;
};

// Shows the picker through the modal seam: the chosen id on OK, else 0.
int pickId(wxWindow* parent, const std::string& title, const IdNames& names, int currentId);

}  // namespace zorvane
