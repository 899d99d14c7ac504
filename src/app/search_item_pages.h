// The six search item pages of the "検索" tab (switches, variables, text, common events,
// event commands, missing files): their controls, and the copy between those controls and
// the settings they are bound to.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "app/settings.h"
#include "listing/search_request.h"
#include "project/labels.h"

class wxBookCtrlBase;
class wxButton;
class wxCheckBox;
class wxChoice;
class wxOwnerDrawnComboBox;
class wxPanel;
class wxRadioButton;
class wxTextCtrl;
class wxWindow;

namespace zorvane {

class ProjectDatabase;

constexpr int kSearchKindCount = 6;
constexpr size_t kCommandRows = 6;

// The item tab captions, in SearchKind order.
extern const char* const kSearchKindCaptions[kSearchKindCount];

struct IdRowControls {
    wxCheckBox* check = nullptr;
    wxOwnerDrawnComboBox* combo = nullptr;
    wxButton* pick = nullptr;
};

// The switch, variable and common event pages. The common event page has no AND/OR radios
// and no options: those stay null.
struct IdPageControls {
    std::array<IdRowControls, 2> rows;
    wxRadioButton* andRadio = nullptr;
    wxRadioButton* orRadio = nullptr;
    std::array<wxCheckBox*, 3> options{};
};

struct TextPageControls {
    wxTextCtrl* text = nullptr;
    std::array<wxCheckBox*, TextTargetCount> targets{};
    wxCheckBox* caseBox = nullptr;
    wxCheckBox* regexBox = nullptr;
    wxCheckBox* fuzzyBox = nullptr;
    wxButton* fuzzySettings = nullptr;
};

// Only the first name list is filled when the page is made (a list of every command costs
// as much as the rest of the page); the others keep its width and are filled by
// fillCommandChoices when the page is first shown.
struct CommandPageControls {
    std::array<wxCheckBox*, kCommandRows> checks{};
    std::array<wxChoice*, kCommandRows> names{};
    bool allFilled = false;
};

struct SearchItemControls {
    IdPageControls switches, variables, commonEvents;
    TextPageControls text;
    CommandPageControls commands;
    wxCheckBox* missingFiles = nullptr;
};

// What each id page searches: its word in captions and tooltips, its settings and the
// label kind of its ids.
struct IdPageInfo {
    SearchKind kind;
    const char* thing;  // "スイッチ"
    IdSearchSettings Settings::*settings;
    LabelKind labelKind;
    bool hasOptions;
};

const std::array<IdPageInfo, 3>& idPageInfos();
IdPageControls& idPageControls(SearchItemControls& controls, SearchKind kind);
const IdPageControls& idPageControls(const SearchItemControls& controls, SearchKind kind);

// Adds the six pages to `book`; `commandNames` fills the event command rows.
SearchItemControls buildSearchItemPages(wxBookCtrlBase* book,
                                        const std::vector<std::string>& commandNames);

// The names of ids 1..count-1 (index 0 unused) that an id page lists.
std::vector<std::string> idNamesOf(const ProjectDatabase& db, SearchKind kind);

// Fills the id combo boxes from the project (empty without one) and selects the ids kept in
// the settings.
void fillIdCombos(SearchItemControls& controls, const ProjectDatabase& db,
                  const Settings& settings);

// Fills the event command lists still empty and selects the commands kept in the settings.
void fillCommandChoices(CommandPageControls& page, const std::vector<std::string>& commandNames,
                        const Settings& settings);

// Settings -> controls (when the page is made) and controls -> settings (before a search
// and at exit). An id combo box without a selection leaves its remembered id alone.
void showItemSettings(SearchItemControls& controls, const Settings& settings);
void storeItemSettings(const SearchItemControls& controls, Settings& settings);

// Enabling: the text page's boxes need a project; regular expressions and fuzzy search
// need the matching library too. Id boxes and their pickers need a project.
void enableItemControls(SearchItemControls& controls, bool loaded, bool matcherLoaded);

}  // namespace zorvane
