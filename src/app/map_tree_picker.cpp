// A map whose parent is missing from the tree (damaged data) hangs under the root, so
// every map stays reachable.
#include "app/map_tree_picker.h"

#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <cstdio>
#include <cstdlib>

#include "app/message_box.h"
#include "app/wx_text.h"

namespace zorvane {

namespace {

// Carries the map id on its tree item.
class MapItemData : public wxTreeItemData {
  public:
    explicit MapItemData(int id) : id(id) {}
    int id;
};

std::string mapCaption(int id, const std::string& name) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "[%04d] ", id);
    return buf + name;
}

}  // namespace

std::map<int, wxTreeItemId> fillMapTree(wxTreeCtrl& tree, const MapInfoTree& maps) {
    std::map<int, wxTreeItemId> items;
    tree.DeleteAllItems();
    wxTreeItemId root = tree.AddRoot(toWx(maps.nameOf(0)), -1, -1, new MapItemData(0));
    for (int id : maps.editorOrder()) {
        int parent = maps.entries().at(id).parentId;
        auto found = items.find(parent);
        wxTreeItemId under = found == items.end() ? root : found->second;
        items[id] = tree.AppendItem(under, toWx(mapCaption(id, maps.nameOf(id))), -1, -1,
                                    new MapItemData(id));
    }
    tree.ExpandAll();
    return items;
}

int mapIdOf(const wxTreeCtrl& tree, const wxTreeItemId& item) {
    auto* data = item.IsOk() ? static_cast<MapItemData*>(tree.GetItemData(item)) : nullptr;
    return data ? data->id : 0;
}

MapTreePicker::MapTreePicker(wxWindow* parent, const MapInfoTree& maps, int initialId)
    : wxDialog(parent, wxID_ANY, tr("マップツリー"), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      maps_(maps) {
    tree_ = new wxTreeCtrl(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                           wxTR_DEFAULT_STYLE | wxTR_SINGLE);
    pathBox_ = new wxTextCtrl(this, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxTE_READONLY);
    idBox_ = new wxTextCtrl(this, wxID_ANY);
    items_ = fillMapTree(*tree_, maps_);

    auto* fields = new wxFlexGridSizer(2, 4, 6);
    fields->AddGrowableCol(1);
    fields->Add(new wxStaticText(this, wxID_ANY, tr("パス")), 0, wxALIGN_CENTER_VERTICAL);
    fields->Add(pathBox_, 1, wxEXPAND);
    fields->Add(new wxStaticText(this, wxID_ANY, tr("マップID")), 0, wxALIGN_CENTER_VERTICAL);
    fields->Add(idBox_, 0);
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(tree_, 1, wxEXPAND | wxALL, 8);
    column->Add(fields, 0, wxEXPAND | wxLEFT | wxRIGHT, 8);
    column->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxALL, 8);
    SetSizer(column);
    SetSize(FromDIP(wxSize(360, 460)));

    tree_->Bind(wxEVT_TREE_SEL_CHANGED, [this](wxTreeEvent&) { onSelection(); });
    tree_->Bind(wxEVT_TREE_ITEM_ACTIVATED, [this](wxTreeEvent&) {
        if (selected_ != 0) EndModal(wxID_OK);
    });
    idBox_->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { onIdTyped(); });
    selectMap(initialId);
}

void MapTreePicker::selectMap(int id) {
    auto found = items_.find(id);
    if (found == items_.end()) return;
    tree_->SelectItem(found->second);
    tree_->EnsureVisible(found->second);
    onSelection();
}

void MapTreePicker::onSelection() {
    selected_ = mapIdOf(*tree_, tree_->GetSelection());
    pathBox_->ChangeValue(selected_ ? toWx(maps_.pathOf(selected_)) : wxString());
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d", selected_);
    // Only the tree fills the id box; a typed id is left as the user wrote it.
    if (!idBox_->HasFocus()) idBox_->ChangeValue(selected_ ? wxString(buf) : wxString());
}

void MapTreePicker::onIdTyped() {
    std::string text = fromWx(idBox_->GetValue());
    char* end = nullptr;
    long id = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || id <= 0 || id > 99999) return;
    auto found = items_.find(static_cast<int>(id));
    if (found == items_.end()) return;
    tree_->SelectItem(found->second);
    tree_->EnsureVisible(found->second);
    selected_ = static_cast<int>(id);
    pathBox_->ChangeValue(toWx(maps_.pathOf(selected_)));
}

int pickMap(wxWindow* owner, const MapInfoTree& maps, int initialId) {
    MapTreePicker picker(owner, maps, initialId);
    if (showModal(picker) != wxID_OK) return 0;
    return picker.selectedId();
}

}  // namespace zorvane
