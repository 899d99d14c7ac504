// The "マップツリー" picker: the project's maps as the editor's tree, with the chosen
// map's path and id beside it; typing an id selects that map.
#pragma once
#include <wx/dialog.h>
#include <wx/treectrl.h>

#include <map>

#include "map/map_info_tree.h"

class wxTextCtrl;

namespace zorvane {

// Fills `tree` with the root (entry 0's name) and every map in editor order as
// "[%04d] name" under its parent; returns the item of each map id.
std::map<int, wxTreeItemId> fillMapTree(wxTreeCtrl& tree, const MapInfoTree& maps);
// The map id an item of such a tree carries (0 for the root or no item).
int mapIdOf(const wxTreeCtrl& tree, const wxTreeItemId& item);

class MapTreePicker : public wxDialog {
  public:
    MapTreePicker(wxWindow* parent, const MapInfoTree& maps, int initialId);

    // 0 when no map is selected (the root is not a map).
    int selectedId() const { return selected_; }
    void selectMap(int id);

    wxTreeCtrl* tree() const { return tree_; }
    wxTextCtrl* pathBox() const { return pathBox_; }
    wxTextCtrl* idBox() const { return idBox_; }

  private:
    void onSelection();
    void onIdTyped();

    const MapInfoTree& maps_;
    wxTreeCtrl* tree_ = nullptr;
    wxTextCtrl* pathBox_ = nullptr;
    wxTextCtrl* idBox_ = nullptr;
    std::map<int, wxTreeItemId> items_;
    int selected_ = 0;
};

// Shows the picker through the modal seam: the chosen map id, or 0 on Cancel.
int pickMap(wxWindow* owner, const MapInfoTree& maps, int initialId);

}  // namespace zorvane
