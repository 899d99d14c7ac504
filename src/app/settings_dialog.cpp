// The settings sheet. Every control is tied to a field of a private copy of the settings
// by a validator, so OK transfers them all at once and Cancel leaves nothing behind.
#include "app/settings_dialog.h"

#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/colordlg.h>
#include <wx/panel.h>
#include <wx/radiobox.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valgen.h>
#include <wx/valnum.h>

#include "app/file_dialogs.h"
#include "app/message_box.h"
#include "app/wx_text.h"
#include "platform/file_util.h"

namespace zorvane {

namespace {

struct CheckRow {
    const char* label;
    bool* target;
};

wxStaticBoxSizer* addGroup(wxWindow* page, wxSizer* column, const char* title) {
    auto* group = new wxStaticBoxSizer(wxVERTICAL, page, tr(title));
    column->Add(group, 0, wxEXPAND | wxALL, 6);
    return group;
}

void addChecks(wxStaticBoxSizer* group, std::initializer_list<CheckRow> rows) {
    for (const CheckRow& row : rows) {
        auto* box = new wxCheckBox(group->GetStaticBox(), wxID_ANY, tr(row.label));
        box->SetValidator(wxGenericValidator(row.target));
        group->Add(box, 0, wxALL, 3);
    }
}

wxRadioBox* addRadios(wxWindow* parent, wxSizer* column, const char* title,
                      std::initializer_list<const char*> labels, int* target) {
    wxArrayString choices;
    for (const char* label : labels) choices.Add(tr(label));
    auto* radios = new wxRadioBox(parent, wxID_ANY, tr(title), wxDefaultPosition, wxDefaultSize,
                                  choices, 1, wxRA_SPECIFY_ROWS);
    radios->SetValidator(wxGenericValidator(target));
    column->Add(radios, 0, wxEXPAND | wxALL, 6);
    return radios;
}

// A slider with its two end captions, e.g. "←無圧縮" ... "高圧縮→".
void addSlider(wxStaticBoxSizer* group, int* target, int max, const char* left, const char* right) {
    wxWindow* box = group->GetStaticBox();
    auto* slider = new wxSlider(box, wxID_ANY, *target, 0, max, wxDefaultPosition, wxDefaultSize,
                                wxSL_HORIZONTAL | wxSL_LABELS);
    slider->SetValidator(wxGenericValidator(target));
    group->Add(slider, 0, wxEXPAND | wxALL, 3);
    auto* ends = new wxBoxSizer(wxHORIZONTAL);
    ends->Add(new wxStaticText(box, wxID_ANY, tr(left)));
    ends->AddStretchSpacer();
    ends->Add(new wxStaticText(box, wxID_ANY, tr(right)));
    group->Add(ends, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 3);
}

wxColour toColour(const wxString& text) {
    Rgb rgb = colourFromText(fromWx(text));
    return wxColour(rgb.red, rgb.green, rgb.blue);
}

void showColour(wxTextCtrl* box, const wxString& text) {
    box->ChangeValue(text);
    box->SetBackgroundColour(toColour(text));
    wxColour back = toColour(text);
    box->SetForegroundColour(back.GetLuminance() < 0.5 ? *wxWHITE : *wxBLACK);
    box->Refresh();
}

}  // namespace

SettingsDialog::SettingsDialog(wxWindow* parent, AppContext& context)
    : context_(context), edited_(context.settings) {
    SetExtraStyle(wxWS_EX_VALIDATE_RECURSIVELY);
    Create(parent, wxID_ANY, tr("設定"));
    eventSaveMode_ = edited_.eventViewer.saveMode ? 0 : 1;
    zoomQuality_ = edited_.mapViewer.zoomQuality ? 1 : 0;
    const std::string* templates[] = {&edited_.eventViewer.template1,
                                      &edited_.eventViewer.template2,
                                      &edited_.eventViewer.rubyColor};
    for (size_t i = 0; i < templates_.size(); ++i) templates_[i] = toWx(*templates[i]);
    const std::string* colours[] = {&edited_.mapViewer.render.colorGlid,
                                    &edited_.mapViewer.render.colorSimple1,
                                    &edited_.mapViewer.render.colorSimple2};
    for (size_t i = 0; i < colours_.size(); ++i) colours_[i] = toWx(*colours[i]);
    proxyHost_ = toWx(edited_.update.proxyHost);

    CreateButtons(wxOK | wxCANCEL);
    wxBookCtrlBase* book = GetBookCtrl();
    book->AddPage(buildGeneralPage(), tr("全般"));
    book->AddPage(buildEventViewerPage(), tr("イベントビュアー"));
    book->AddPage(buildMapViewerPage(), tr("マップビュアー"));
    book->AddPage(buildPicturePage(), tr("画像保存"));
    book->AddPage(buildUpdatePage(), tr("更新確認"));
    LayoutDialog();
    TransferDataToWindow();
}

wxWindow* SettingsDialog::buildGeneralPage() {
    auto* page = new wxPanel(GetBookCtrl());
    auto* column = new wxBoxSizer(wxVERTICAL);
    SystemSettings& s = edited_.system;
    addChecks(
        addGroup(page, column, wxTRANSLATE("検索")),
        {{wxTRANSLATE("同じイベント内で複数見つかった場合は一番最初のものだけを検索結果とする"),
          &s.firstOnly},
         {wxTRANSLATE("検索結果のイベント内容を詳細表示にする"), &s.detail}});
    addChecks(addGroup(page, column, wxTRANSLATE("エクスポート")),
              {{wxTRANSLATE("空イベントを出力しない"), &edited_.dataExport.noEmptyEvent}});
    addRadios(page, column, wxTRANSLATE("CSV・テキストの文字コード"),
              {wxTRANSLATE("自動"), "Shift_JIS", "UTF-8"}, &edited_.dataExport.outputEncoding);
    // Windows are not rebuilt in another language: the choice holds from the next start.
    addRadios(page, column, wxTRANSLATE("表示言語（次回の起動から）"),
              {wxTRANSLATE("自動"), wxTRANSLATE("日本語"), "English"}, &s.language);
    addChecks(addGroup(page, column, wxTRANSLATE("その他")),
              {{wxTRANSLATE("終了時のプロジェクトを次回起動時に自動的に読み込む"), &s.autoRead},
               {wxTRANSLATE("ウィンドウがアクティブになった時には、読み込んでいるプロジェクトが"
                            "更新されたかどうかをチェックする"),
                &s.projectCheck}});
    page->SetSizer(column);
    return page;
}

wxWindow* SettingsDialog::buildEventViewerPage() {
    auto* page = new wxPanel(GetBookCtrl());
    auto* column = new wxBoxSizer(wxVERTICAL);
    addChecks(addGroup(page, column, wxTRANSLATE("表示")),
              {{wxTRANSLATE("行番号"), &edited_.eventViewer.lineNum},
               {wxTRANSLATE("詳細表示"), &edited_.eventViewer.detail}});
    addRadios(page, column, wxTRANSLATE("保存形式"),
              {wxTRANSLATE("HTML形式(html/htm)"), wxTRANSLATE("テキスト形式（txt/rb）")},
              &eventSaveMode_);
    wxStaticBoxSizer* files = addGroup(page, column, wxTRANSLATE("テンプレート"));
    const char* const labels[] = {wxTRANSLATE("ヘッダ"), wxTRANSLATE("フッタ"),
                                  wxTRANSLATE("Ruby色定義")};
    auto* grid = new wxFlexGridSizer(3, 4, 4);
    grid->AddGrowableCol(1);
    for (size_t i = 0; i < templates_.size(); ++i) {
        wxWindow* box = files->GetStaticBox();
        grid->Add(new wxStaticText(box, wxID_ANY, tr(labels[i])), 0, wxALIGN_CENTER_VERTICAL);
        auto* path = new wxTextCtrl(box, wxID_ANY);
        path->SetValidator(wxGenericValidator(&templates_[i]));
        grid->Add(path, 1, wxEXPAND);
        auto* browse = new wxButton(box, wxID_ANY, tr("参照"));
        browse->Bind(wxEVT_BUTTON, [this, path, label = labels[i]](wxCommandEvent&) {
            FileDialogRequest request;
            request.title = trs(label);
            request.filters = {{"*.*", "*"}};
            std::string current = fromWx(path->GetValue());
            request.folder = folderOf(current);
            std::string chosen = chooseFile(this, request);
            if (!chosen.empty()) path->SetValue(toWx(chosen));
        });
        grid->Add(browse);
    }
    files->Add(grid, 0, wxEXPAND | wxALL, 3);
    page->SetSizer(column);
    return page;
}

wxWindow* SettingsDialog::buildMapViewerPage() {
    auto* page = new wxPanel(GetBookCtrl());
    auto* column = new wxBoxSizer(wxVERTICAL);
    MapViewerSettings& m = edited_.mapViewer;
    addRadios(page, column, wxTRANSLATE("縮小表示"),
              {wxTRANSLATE("通常"), wxTRANSLATE("高品質（低速）")}, &zoomQuality_);
    addChecks(addGroup(page, column, wxTRANSLATE("表示")),
              {{wxTRANSLATE("マップイベント(Tileset)"), &m.render.viewMapEvent1},
               {wxTRANSLATE("マップイベント(Character)"), &m.render.viewMapEvent2},
               {wxTRANSLATE("パノラマ グラフィック"), &m.render.viewPanorama},
               {wxTRANSLATE("レイヤー1"), &m.render.viewLayer1},
               {wxTRANSLATE("レイヤー2"), &m.render.viewLayer2},
               {wxTRANSLATE("レイヤー3"), &m.render.viewLayer3},
               {wxTRANSLATE("フォグ グラフィック"), &m.render.viewFog},
               {wxTRANSLATE("簡易マップ"), &m.render.simpleMap},
               {wxTRANSLATE("グリッド表示"), &m.render.bltGlid},
               {wxTRANSLATE("カーソル表示"), &m.bltCursor}});
    wxStaticBoxSizer* colours = addGroup(page, column, wxTRANSLATE("色"));
    const char* const labels[] = {wxTRANSLATE("グリッド"), wxTRANSLATE("簡易マップ（通行可能）"),
                                  wxTRANSLATE("簡易マップ（通行不可能）")};
    const std::string defaults[] = {kMapViewerDefaults.render.colorGlid,
                                    kMapViewerDefaults.render.colorSimple1,
                                    kMapViewerDefaults.render.colorSimple2};
    auto* grid = new wxFlexGridSizer(4, 4, 4);
    grid->AddGrowableCol(1);
    for (size_t i = 0; i < colours_.size(); ++i) {
        wxWindow* box = colours->GetStaticBox();
        grid->Add(new wxStaticText(box, wxID_ANY, tr(labels[i])), 0, wxALIGN_CENTER_VERTICAL);
        auto* swatch =
            new wxTextCtrl(box, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxTE_READONLY);
        grid->Add(swatch, 1, wxEXPAND);
        auto* choose = new wxButton(box, wxID_ANY, tr("参照"));
        choose->Bind(wxEVT_BUTTON, [this, i, swatch](wxCommandEvent&) {
            wxColourData data;
            data.SetColour(toColour(colours_[i]));
            wxColourDialog dialog(this, &data);
            if (showModal(dialog) != wxID_OK) return;
            wxColour c = dialog.GetColourData().GetColour();
            colours_[i] = toWx(colourToText({c.Red(), c.Green(), c.Blue()}));
            showColour(swatch, colours_[i]);
        });
        grid->Add(choose);
        auto* reset = new wxButton(box, wxID_ANY, tr("既定に戻す"), wxDefaultPosition,
                                   wxDefaultSize, wxBU_EXACTFIT);
        reset->Bind(wxEVT_BUTTON, [this, i, swatch, def = defaults[i]](wxCommandEvent&) {
            colours_[i] = toWx(def);
            showColour(swatch, colours_[i]);
        });
        grid->Add(reset);
        showColour(swatch, colours_[i]);
    }
    colours->Add(grid, 0, wxEXPAND | wxALL, 3);
    page->SetSizer(column);
    return page;
}

wxWindow* SettingsDialog::buildPicturePage() {
    auto* page = new wxPanel(GetBookCtrl());
    auto* column = new wxBoxSizer(wxVERTICAL);
    MapViewerSettings& m = edited_.mapViewer;
    addRadios(page, column, wxTRANSLATE("保存形式"), {"BMP", "PNG", "JPEG"}, &m.render.saveMode);
    wxStaticBoxSizer* png = addGroup(page, column, "PNG");
    addSlider(png, &m.render.pngCompLv, 9, wxTRANSLATE("←無圧縮"), wxTRANSLATE("高圧縮→"));
    wxArrayString filters;
    for (const char* name : {wxTRANSLATE("なし"), "Sub", "Up", "Average", "Paeth", "All"})
        filters.Add(tr(name));
    auto* filterRow = new wxBoxSizer(wxHORIZONTAL);
    filterRow->Add(new wxStaticText(png->GetStaticBox(), wxID_ANY, tr("フィルタ")), 0,
                   wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    auto* filter =
        new wxChoice(png->GetStaticBox(), wxID_ANY, wxDefaultPosition, wxDefaultSize, filters);
    filter->SetValidator(wxGenericValidator(&m.render.pngFilter));
    filterRow->Add(filter);
    png->Add(filterRow, 0, wxALL, 3);
    addSlider(addGroup(page, column, "JPEG"), &m.render.jpgQuality, 100, wxTRANSLATE("←低品質"),
              wxTRANSLATE("高品質→"));
    page->SetSizer(column);
    return page;
}

wxWindow* SettingsDialog::buildUpdatePage() {
    auto* page = new wxPanel(GetBookCtrl());
    auto* column = new wxBoxSizer(wxVERTICAL);
    UpdateSettings& u = edited_.update;
    wxStaticBoxSizer* group = addGroup(page, column, wxTRANSLATE("更新確認"));
    addChecks(group, {{wxTRANSLATE("起動時に更新確認する"), &u.autoCheck},
                      {wxTRANSLATE("Webサイトを開いたら自動的に終了する"), &u.autoClose},
                      {wxTRANSLATE("更新確認の時にはプロキシを経由する"), &u.useProxy}});
    wxWindow* box = group->GetStaticBox();
    auto* grid = new wxFlexGridSizer(2, 4, 4);
    grid->AddGrowableCol(1);
    grid->Add(new wxStaticText(box, wxID_ANY, tr("ホスト")), 0, wxALIGN_CENTER_VERTICAL);
    auto* host = new wxTextCtrl(box, wxID_ANY);
    host->SetValidator(wxGenericValidator(&proxyHost_));
    grid->Add(host, 1, wxEXPAND);
    grid->Add(new wxStaticText(box, wxID_ANY, tr("ポート番号")), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(new wxTextCtrl(box, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, 0,
                             wxIntegerValidator<int>(&u.proxyPort)));
    grid->Add(new wxStaticText(box, wxID_ANY, tr("タイムアウト秒数")), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(new wxTextCtrl(box, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, 0,
                             wxIntegerValidator<int>(&u.timeOut)));
    group->Add(grid, 0, wxEXPAND | wxALL, 3);
    auto* check = new wxButton(page, wxID_ANY, tr("今すぐ更新確認する"));
    check->Enable(static_cast<bool>(context_.hooks.runUpdateCheck));
    check->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        if (context_.hooks.runUpdateCheck) context_.hooks.runUpdateCheck(this, false);
    });
    column->Add(check, 0, wxALL, 6);
    page->SetSizer(column);
    return page;
}

void SettingsDialog::applyTo(Settings& settings) {
    TransferDataFromWindow();
    edited_.eventViewer.saveMode = eventSaveMode_ == 0;
    edited_.mapViewer.zoomQuality = zoomQuality_ == 1;
    edited_.eventViewer.template1 = fromWx(templates_[0]);
    edited_.eventViewer.template2 = fromWx(templates_[1]);
    edited_.eventViewer.rubyColor = fromWx(templates_[2]);
    edited_.mapViewer.render.colorGlid = fromWx(colours_[0]);
    edited_.mapViewer.render.colorSimple1 = fromWx(colours_[1]);
    edited_.mapViewer.render.colorSimple2 = fromWx(colours_[2]);
    edited_.update.proxyHost = fromWx(proxyHost_);
    // The same floor the settings file applies when it reads the value.
    if (edited_.update.timeOut < 1) edited_.update.timeOut = 1;
    // Only what the sheet shows is copied, so values changed elsewhere meanwhile survive.
    settings.system.firstOnly = edited_.system.firstOnly;
    settings.system.detail = edited_.system.detail;
    settings.system.autoRead = edited_.system.autoRead;
    settings.system.projectCheck = edited_.system.projectCheck;
    settings.system.language = edited_.system.language;
    settings.dataExport.noEmptyEvent = edited_.dataExport.noEmptyEvent;
    settings.dataExport.outputEncoding = edited_.dataExport.outputEncoding;
    EventViewerSettings& ev = settings.eventViewer;
    ev.lineNum = edited_.eventViewer.lineNum;
    ev.detail = edited_.eventViewer.detail;
    ev.saveMode = edited_.eventViewer.saveMode;
    ev.template1 = edited_.eventViewer.template1;
    ev.template2 = edited_.eventViewer.template2;
    ev.rubyColor = edited_.eventViewer.rubyColor;
    WindowPlace mapPlace = settings.mapViewer.place;
    int mapWndWidth = settings.mapViewer.mapWndWidth, zoomMode = settings.mapViewer.render.zoomMode;
    settings.mapViewer = edited_.mapViewer;
    settings.mapViewer.place = mapPlace;
    settings.mapViewer.mapWndWidth = mapWndWidth;
    settings.mapViewer.render.zoomMode = zoomMode;
    settings.update = edited_.update;
}

bool runSettingsDialog(wxWindow* parent, AppContext& context, SettingsPage page) {
    SettingsDialog dialog(parent, context);
    dialog.GetBookCtrl()->SetSelection(static_cast<size_t>(page));
    if (showModal(dialog) != wxID_OK) return false;
    dialog.applyTo(context.settings);
    return true;
}

}  // namespace zorvane
