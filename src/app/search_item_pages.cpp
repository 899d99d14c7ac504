// Captions, tooltips and settings of the item pages come from tables, so the three id
// pages are one builder. Id boxes are owner-drawn combo boxes: their list is virtual and
// opens at once even with thousands of switches.
#include "app/search_item_pages.h"

#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/odcombo.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>

#include "app/wx_text.h"
#include "listing/search_request.h"
#include "project/project_database.h"
#include "search/search_validation.h"

namespace zorvane {

const char* const kSearchKindCaptions[kSearchKindCount] = {
    wxTRANSLATE("スイッチ"),         wxTRANSLATE("変数"),
    wxTRANSLATE("テキスト"),         wxTRANSLATE("コモンイベント"),
    wxTRANSLATE("イベントコマンド"), wxTRANSLATE("エラー検知"),
};

namespace {

const char* const kIdOptionCaptions[3] = {wxTRANSLATE("変数操作系イベント内"),
                                          wxTRANSLATE("変数参照系イベント内"),
                                          wxTRANSLATE("イベント開始条件")};
const char* const kTextTargetCaptions[TextTargetCount] = {
    wxTRANSLATE("文章"),       wxTRANSLATE("注釈"),     wxTRANSLATE("ファイル名"),
    wxTRANSLATE("イベント名"), wxTRANSLATE("選択肢"),   wxTRANSLATE("スクリプト"),
    wxTRANSLATE("ラベル"),     wxTRANSLATE("アクター"),
};
const char* const kTextOptionCaptions[3] = {wxTRANSLATE("大文字/小文字を区別"),
                                            wxTRANSLATE("正規表現"), wxTRANSLATE("あいまい検索")};
const char* const kMissingFileCaption =
    wxTRANSLATE("存在しないファイルを呼び出そうとしているイベント");
const char* const kMissingFileTip =
    wxTRANSLATE("存在しないファイル呼び出そうとしているイベントを調べます");

const std::array<IdPageInfo, 3> kIdPages = {{
    {SearchKind::Switch, wxTRANSLATE("スイッチ"), &Settings::searchSwitch, LabelKind::Switch, true},
    {SearchKind::Variable, wxTRANSLATE("変数"), &Settings::searchVariable, LabelKind::Variable,
     true},
    {SearchKind::CommonEvent, wxTRANSLATE("コモンイベント"), &Settings::searchCommonEvent,
     LabelKind::CommonEvent, false},
}};

const IdPageInfo& infoOf(SearchKind kind) {
    for (const IdPageInfo& info : kIdPages)
        if (info.kind == kind) return info;
    return kIdPages[0];
}

void setTip(wxWindow* window, const std::string& tip) {
    window->SetToolTip(toWx(tip));
}

wxStaticBoxSizer* groupBox(wxWindow* page, const char* caption) {
    return new wxStaticBoxSizer(wxVERTICAL, page, tr(caption));
}

IdRowControls buildIdRow(wxWindow* parent, wxSizer* sizer, const IdPageInfo& info) {
    const std::string thing = trs(info.thing);
    IdRowControls row;
    row.check = new wxCheckBox(parent, wxID_ANY, wxString());
    row.combo = new wxOwnerDrawnComboBox(parent, wxID_ANY, wxString(), wxDefaultPosition,
                                         wxDefaultSize, 0, nullptr, wxCB_READONLY);
    row.pick =
        new wxButton(parent, wxID_ANY, "...", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
    setTip(row.check, trf("チェックを入れると右の%sを検索します", thing.c_str()));
    setTip(row.combo, trf("検索する%s", thing.c_str()));
    setTip(row.pick, trf("検索する%sを選択", thing.c_str()));
    auto* line = new wxBoxSizer(wxHORIZONTAL);
    line->Add(row.check, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
    line->Add(row.combo, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
    line->Add(row.pick, 0, wxALIGN_CENTER_VERTICAL);
    sizer->Add(line, 0, wxEXPAND | wxALL, 3);
    return row;
}

void buildAndOr(wxWindow* parent, wxSizer* sizer, IdPageControls& page) {
    page.andRadio =
        new wxRadioButton(parent, wxID_ANY, "AND", wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
    page.orRadio = new wxRadioButton(parent, wxID_ANY, "OR");
    setTip(page.andRadio, trs("AND検索"));
    setTip(page.orRadio, trs("OR検索"));
    auto* line = new wxBoxSizer(wxHORIZONTAL);
    line->Add(page.andRadio, 0, wxRIGHT, 12);
    line->Add(page.orRadio, 0);
    sizer->Add(line, 0, wxALL, 3);
}

wxPanel* buildIdPage(wxBookCtrlBase* book, const IdPageInfo& info, IdPageControls& page) {
    auto* panel = new wxPanel(book);
    // The items on the left, their options beside them: the page stays short.
    auto* line = new wxBoxSizer(wxHORIZONTAL);
    wxStaticBoxSizer* items = groupBox(panel, wxTRANSLATE("検索項目"));
    for (IdRowControls& row : page.rows) row = buildIdRow(items->GetStaticBox(), items, info);
    if (info.hasOptions) buildAndOr(items->GetStaticBox(), items, page);
    line->Add(items, 1, wxALIGN_TOP | wxALL, 4);
    if (info.hasOptions) {
        wxStaticBoxSizer* options = groupBox(panel, wxTRANSLATE("検索対象"));
        for (size_t i = 0; i < page.options.size(); ++i) {
            page.options[i] =
                new wxCheckBox(options->GetStaticBox(), wxID_ANY, tr(kIdOptionCaptions[i]));
            options->Add(page.options[i], 0, wxALL, 3);
        }
        line->Add(options, 0, wxALIGN_TOP | wxALL, 4);
    }
    panel->SetSizer(line);
    return panel;
}

wxPanel* buildTextPage(wxBookCtrlBase* book, TextPageControls& page) {
    auto* panel = new wxPanel(book);
    auto* column = new wxBoxSizer(wxVERTICAL);
    wxStaticBoxSizer* item = groupBox(panel, wxTRANSLATE("検索項目"));
    page.text = new wxTextCtrl(item->GetStaticBox(), wxID_ANY);
    page.text->SetMaxLength(static_cast<unsigned long>(kMaxSearchTextBytes));
    setTip(page.text, trs("検索する文字列"));
    item->Add(page.text, 0, wxEXPAND | wxALL, 3);
    column->Add(item, 0, wxEXPAND | wxALL, 4);

    wxStaticBoxSizer* targets = groupBox(panel, wxTRANSLATE("検索対象"));
    auto* grid = new wxGridSizer(4, 2, 4);
    for (size_t i = 0; i < page.targets.size(); ++i) {
        page.targets[i] =
            new wxCheckBox(targets->GetStaticBox(), wxID_ANY, tr(kTextTargetCaptions[i]));
        grid->Add(page.targets[i], 0);
    }
    targets->Add(grid, 0, wxEXPAND | wxALL, 3);
    column->Add(targets, 0, wxEXPAND | wxALL, 4);

    wxCheckBox** boxes[3] = {&page.caseBox, &page.regexBox, &page.fuzzyBox};
    auto* options = new wxBoxSizer(wxHORIZONTAL);
    for (size_t i = 0; i < 3; ++i) {
        *boxes[i] = new wxCheckBox(panel, wxID_ANY, tr(kTextOptionCaptions[i]));
        options->Add(*boxes[i], 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
    }
    page.fuzzySettings = new wxButton(panel, wxID_ANY, tr("設定"));
    options->Add(page.fuzzySettings, 0, wxALIGN_CENTER_VERTICAL);
    column->Add(options, 0, wxALL, 6);
    panel->SetSizer(column);
    return panel;
}

wxPanel* buildCommandPage(wxBookCtrlBase* book, CommandPageControls& page,
                          const std::vector<std::string>& commandNames) {
    auto* panel = new wxPanel(book);
    wxArrayString names;
    for (const std::string& name : commandNames) names.Add(toWx(name));
    wxStaticBoxSizer* items = groupBox(panel, wxTRANSLATE("検索項目"));
    // Two columns of rows: six rows one under another would make the page (and so the
    // main window) taller than a small screen.
    auto* grid = new wxFlexGridSizer(2, 0, 8);
    grid->AddGrowableCol(0);
    grid->AddGrowableCol(1);
    for (size_t i = 0; i < kCommandRows; ++i) {
        page.checks[i] = new wxCheckBox(items->GetStaticBox(), wxID_ANY, wxString());
        page.names[i] = new wxChoice(items->GetStaticBox(), wxID_ANY, wxDefaultPosition,
                                     wxDefaultSize, i == 0 ? names : wxArrayString());
        if (i > 0) page.names[i]->SetMinSize(page.names[0]->GetBestSize());
        setTip(page.checks[i], trs("チェックを入れると右のイベントコマンドを検索します"));
        setTip(page.names[i], trs("検索するイベントコマンド"));
        auto* line = new wxBoxSizer(wxHORIZONTAL);
        line->Add(page.checks[i], 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
        line->Add(page.names[i], 1, wxALIGN_CENTER_VERTICAL);
        grid->Add(line, 1, wxEXPAND | wxALL, 2);
    }
    items->Add(grid, 0, wxEXPAND);
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(items, 0, wxEXPAND | wxALL, 4);
    panel->SetSizer(column);
    return panel;
}

wxPanel* buildErrorPage(wxBookCtrlBase* book, wxCheckBox*& missingFiles) {
    auto* panel = new wxPanel(book);
    wxStaticBoxSizer* items = groupBox(panel, wxTRANSLATE("検索項目"));
    missingFiles = new wxCheckBox(items->GetStaticBox(), wxID_ANY, tr(kMissingFileCaption));
    setTip(missingFiles, trs(kMissingFileTip));
    items->Add(missingFiles, 0, wxALL, 3);
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(items, 0, wxEXPAND | wxALL, 4);
    panel->SetSizer(column);
    return panel;
}

void selectId(wxOwnerDrawnComboBox* combo, int id) {
    if (id >= 1 && static_cast<unsigned>(id) <= combo->GetCount()) combo->SetSelection(id - 1);
}

}  // namespace

const std::array<IdPageInfo, 3>& idPageInfos() {
    return kIdPages;
}

const IdPageControls& idPageControls(const SearchItemControls& controls, SearchKind kind) {
    if (kind == SearchKind::Variable) return controls.variables;
    if (kind == SearchKind::CommonEvent) return controls.commonEvents;
    return controls.switches;
}

IdPageControls& idPageControls(SearchItemControls& controls, SearchKind kind) {
    return const_cast<IdPageControls&>(
        idPageControls(static_cast<const SearchItemControls&>(controls), kind));
}

SearchItemControls buildSearchItemPages(wxBookCtrlBase* book,
                                        const std::vector<std::string>& commandNames) {
    SearchItemControls c;
    // Added in SearchKind order: the page index is the kind.
    const auto caption = [](SearchKind kind) {
        return tr(kSearchKindCaptions[static_cast<int>(kind)]);
    };
    book->AddPage(buildIdPage(book, infoOf(SearchKind::Switch), c.switches),
                  caption(SearchKind::Switch));
    book->AddPage(buildIdPage(book, infoOf(SearchKind::Variable), c.variables),
                  caption(SearchKind::Variable));
    book->AddPage(buildTextPage(book, c.text), caption(SearchKind::Text));
    book->AddPage(buildIdPage(book, infoOf(SearchKind::CommonEvent), c.commonEvents),
                  caption(SearchKind::CommonEvent));
    book->AddPage(buildCommandPage(book, c.commands, commandNames),
                  caption(SearchKind::EventCommand));
    book->AddPage(buildErrorPage(book, c.missingFiles), caption(SearchKind::MissingFile));
    return c;
}

std::vector<std::string> idNamesOf(const ProjectDatabase& db, SearchKind kind) {
    if (kind == SearchKind::Switch) return db.system().switchNames;
    if (kind == SearchKind::Variable) return db.system().variableNames;
    std::vector<std::string> names;
    for (const CommonEvent& event : db.commonEvents()) names.push_back(event.name);
    return names;
}

void fillIdCombos(SearchItemControls& controls, const ProjectDatabase& db,
                  const Settings& settings) {
    for (const IdPageInfo& info : kIdPages) {
        IdPageControls& page = idPageControls(controls, info.kind);
        wxArrayString labels;
        if (db.loaded) {
            size_t count = idNamesOf(db, info.kind).size();
            for (size_t id = 1; id < count; ++id)
                labels.Add(toWx(
                    db.label(static_cast<int>(id), info.labelKind, LabelStyle::numberAndName())));
        }
        const IdSearchSettings& kept = settings.*info.settings;
        for (size_t r = 0; r < page.rows.size(); ++r) {
            page.rows[r].combo->Set(labels);
            selectId(page.rows[r].combo, kept.select[r]);
        }
    }
}

void selectCommand(wxChoice* names, int select) {
    if (select >= 0 && static_cast<unsigned>(select) < names->GetCount())
        names->SetSelection(select);
}

void fillCommandChoices(CommandPageControls& page, const std::vector<std::string>& commandNames,
                        const Settings& settings) {
    if (page.allFilled) return;
    page.allFilled = true;
    wxArrayString names;
    for (const std::string& name : commandNames) names.Add(toWx(name));
    for (size_t i = 0; i < kCommandRows; ++i) {
        if (page.names[i]->GetCount() > 0) continue;
        page.names[i]->Set(names);
        selectCommand(page.names[i], settings.searchCommand.select[i]);
    }
}

void showItemSettings(SearchItemControls& controls, const Settings& settings) {
    for (const IdPageInfo& info : kIdPages) {
        IdPageControls& page = idPageControls(controls, info.kind);
        const IdSearchSettings& kept = settings.*info.settings;
        for (size_t r = 0; r < page.rows.size(); ++r) {
            page.rows[r].check->SetValue(kept.idCheck[r]);
            selectId(page.rows[r].combo, kept.select[r]);
        }
        if (!info.hasOptions) continue;
        (kept.andMode ? page.andRadio : page.orRadio)->SetValue(true);
        for (size_t i = 0; i < page.options.size(); ++i) page.options[i]->SetValue(kept.check[i]);
    }
    TextPageControls& text = controls.text;
    text.text->ChangeValue(toWx(settings.searchText.text));
    for (size_t i = 0; i < text.targets.size(); ++i)
        text.targets[i]->SetValue(settings.searchText.targets[i]);
    text.caseBox->SetValue(settings.searchText.options[0]);
    text.regexBox->SetValue(settings.searchText.options[1]);
    text.fuzzyBox->SetValue(settings.searchText.options[2]);
    for (size_t i = 0; i < kCommandRows; ++i) {
        controls.commands.checks[i]->SetValue(settings.searchCommand.check[i]);
        selectCommand(controls.commands.names[i], settings.searchCommand.select[i]);
    }
    controls.missingFiles->SetValue(settings.searchMissingFiles);
}

void storeItemSettings(const SearchItemControls& controls, Settings& settings) {
    for (const IdPageInfo& info : kIdPages) {
        const IdPageControls& page = idPageControls(controls, info.kind);
        IdSearchSettings& kept = settings.*info.settings;
        for (size_t r = 0; r < page.rows.size(); ++r) {
            kept.idCheck[r] = page.rows[r].check->GetValue();
            int selection = page.rows[r].combo->GetSelection();
            if (selection != wxNOT_FOUND) kept.select[r] = selection + 1;
        }
        if (!info.hasOptions) continue;
        kept.andMode = page.andRadio->GetValue();
        for (size_t i = 0; i < page.options.size(); ++i)
            kept.check[i] = page.options[i]->GetValue();
    }
    const TextPageControls& text = controls.text;
    settings.searchText.text = fromWx(text.text->GetValue());
    for (size_t i = 0; i < text.targets.size(); ++i)
        settings.searchText.targets[i] = text.targets[i]->GetValue();
    settings.searchText.options = {text.caseBox->GetValue(), text.regexBox->GetValue(),
                                   text.fuzzyBox->GetValue()};
    for (size_t i = 0; i < kCommandRows; ++i) {
        settings.searchCommand.check[i] = controls.commands.checks[i]->GetValue();
        int selection = controls.commands.names[i]->GetSelection();
        if (selection != wxNOT_FOUND) settings.searchCommand.select[i] = selection;
    }
    settings.searchMissingFiles = controls.missingFiles->GetValue();
}

void enableItemControls(SearchItemControls& controls, bool loaded, bool matcherLoaded) {
    for (const IdPageInfo& info : kIdPages)
        for (IdRowControls& row : idPageControls(controls, info.kind).rows) {
            row.combo->Enable(loaded);
            row.pick->Enable(loaded);
        }
    TextPageControls& text = controls.text;
    text.text->Enable(loaded);
    for (wxCheckBox* target : text.targets) target->Enable(loaded);
    text.caseBox->Enable(loaded);
    for (wxWindow* window :
         {static_cast<wxWindow*>(text.regexBox), static_cast<wxWindow*>(text.fuzzyBox),
          static_cast<wxWindow*>(text.fuzzySettings)})
        window->Enable(loaded && matcherLoaded);
}

}  // namespace zorvane
