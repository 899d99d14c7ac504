// The viewer hands each document to the web view as a string with the header template's
// folder as its base address: the templates' relative references resolve, nothing is
// written into that folder (which may be read-only) and no file is left behind.
#include "app/event_viewer.h"

#include <wx/button.h>
#include <wx/listbox.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/weakref.h>

#include <memory>
#include <utility>

#include "app/desktop_language.h"
#include "app/document_view.h"
#include "app/file_dialogs.h"
#include "app/frame_place.h"
#include "app/main_frame.h"
#include "app/map_tree_picker.h"
#include "app/message_box.h"
#include "app/page_graphic_area.h"
#include "app/settings_dialog.h"
#include "app/viewer_windows.h"
#include "app/wx_text.h"
#include "documents/page_graphic.h"
#include "listing/operands.h"
#include "platform/codepage.h"
#include "platform/file_util.h"
#include "search/search_results.h"

namespace zorvane {

namespace {

// The lists and a document line of about a hundred characters side by side.
const wxSize kDefaultSize(1040, 700);

const char* const kTitle = wxTRANSLATE("イベントビュアー");
const char* const kNoBrowserText =
    wxTRANSLATE("文書を表示する部品を読み込めなかったため、ここには文書を表示できません。\n"
                "一覧と保存はそのまま使えます。\n\n%s");

const BarRow<EventViewer> kBarRows[EventViewer::kBarItemCount] = {
    {wxTRANSLATE("保存(&S)"), &EventViewer::saveShown},
    {wxTRANSLATE("設定(&C)"), &EventViewer::showSettings},
};

struct KindRow {
    int id;
    const char* caption;
};

const KindRow kKindRows[] = {
    {EventViewer::kIdCommonRadio, wxTRANSLATE("コモンイベント")},
    {EventViewer::kIdBattleRadio, wxTRANSLATE("バトルイベント")},
    {EventViewer::kIdMapRadio, wxTRANSLATE("マップイベント")},
    {EventViewer::kIdScriptRadio, wxTRANSLATE("スクリプト")},
};

// Save filters: the first pair for text, the second for HTML, as SaveMode counts them.
const std::vector<FileFilter> kEventFilters = {
    {wxTRANSLATE("テキストファイル(*.txt)"), "*.txt"},
    {wxTRANSLATE("HTMLファイル(*.html;*.htm)"), "*.html;*.htm"},
};
const std::vector<FileFilter> kScriptFilters = {
    {wxTRANSLATE("Rubyソースファイル(*.rb)"), "*.rb"},
    {wxTRANSLATE("HTMLファイル(*.html;*.htm)"), "*.html;*.htm"},
};

bool hasPages(DocumentKind kind) {
    return kind == DocumentKind::BattleEvent || kind == DocumentKind::MapEvent;
}

// A folder as a file: address ending in '/', every byte outside the unreserved set
// percent-encoded, so spaces, '#', '%' and non-ASCII names survive.
std::string folderUrl(const std::string& folder) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (unsigned char c : folder) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (plain || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            url += char(c);
        } else {
            url += '%';
            url += kHex[c >> 4];
            url += kHex[c & 15];
        }
    }
    if (url.back() != '/') url += '/';
    return url;
}

// The document as the web view takes it: a Shift_JIS document (from a Shift_JIS header
// template) becomes UTF-8 first.
wxString documentText(const std::string& bytes) {
    return toWx(isValidUtf8(bytes) ? bytes : cp932ToUtf8(bytes));
}

// Marks line `n` of the document's listing or script (counted by its line ends, as the line
// numbers count) and scrolls it to the middle of the pane. Run on the loaded page: the
// documents themselves carry no script.
const char* const kMarkLineScript =
    "(function(n) {"
    " var pre = document.querySelector('pre.event, pre.script'); if (!pre) return false;"
    " var walker = document.createTreeWalker(pre, NodeFilter.SHOW_TEXT);"
    " var line = 1, start = null, end = null, last = null, node;"
    " while (!end && (node = walker.nextNode())) {"
    "  last = node;"
    "  for (var i = 0; i < node.data.length; i++) {"
    "   if (!start && line === n) start = [node, i];"
    "   if (node.data.charCodeAt(i) !== 10) continue;"
    "   if (line === n) { end = [node, i]; break; }"
    "   line++;"
    "  }"
    " }"
    " if (!start) return false;"
    " if (!end) end = [last, last.data.length];"
    " var range = document.createRange();"
    " range.setStart(start[0], start[1]); range.setEnd(end[0], end[1]);"
    " var mark = document.createElement('mark'); mark.id = 'zorvane-hit';"
    " mark.appendChild(range.extractContents()); range.insertNode(mark);"
    " mark.scrollIntoView({block: 'center'}); return true;"
    "})(%d)";

// The first map in the editor's order stands in for a remembered map the project lacks.
int knownMap(const MapInfoTree& maps, int mapId) {
    if (maps.contains(mapId) && mapId > 0) return mapId;
    std::vector<int> order = maps.editorOrder();
    return order.empty() ? mapId : order.front();
}

}  // namespace

EventViewer::EventViewer(AppContext& context, EventViewerMemory& memory)
    : wxFrame(nullptr, wxID_ANY, tr(kTitle),
              placePosition(context.settings.eventViewer.place, kDefaultSize),
              placeSize(context.settings.eventViewer.place, kDefaultSize)),
      context_(context),
      memory_(memory),
      maps_(MapInfoTree::fromProject(context.database)) {
    matcher_.load();
    loadColourRules();
    createBar();
    auto* body = new wxPanel(this);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(buildLists(body), 0, wxEXPAND | wxALL, 4);
    row->Add(buildBrowser(body), 1, wxEXPAND | wxTOP | wxRIGHT | wxBOTTOM, 4);
    body->SetSizer(row);
    bindEvents();

    int lastView = context_.settings.eventViewer.lastView;
    kind_ = DocumentKind(lastView >= 0 && lastView <= 3 ? lastView : 0);
    radios_[size_t(kind_)]->SetValue(true);
    memory_.currentMapId = knownMap(maps_, memory_.currentMapId);
    loadMap(memory_.currentMapId);
    fillItems();
    updateControls();
    showFirstItem();
}

EventViewer::~EventViewer() = default;

void EventViewer::createBar() {
    setActingMenuBar(this, kBarRows);
}

wxWindow* EventViewer::buildLists(wxWindow* parent) {
    auto* panel = new wxPanel(parent);
    auto* column = new wxBoxSizer(wxVERTICAL);
    auto* kinds = new wxGridSizer(2, 2, 2, 8);
    for (size_t i = 0; i < radios_.size(); ++i) {
        radios_[i] = new wxRadioButton(panel, kKindRows[i].id, tr(kKindRows[i].caption),
                                       wxDefaultPosition, wxDefaultSize, i == 0 ? wxRB_GROUP : 0);
        kinds->Add(radios_[i]);
    }
    column->Add(kinds, 0, wxBOTTOM, 4);

    auto* mapRow = new wxBoxSizer(wxHORIZONTAL);
    mapBox_ = new wxTextCtrl(panel, kIdMapBox, "", wxDefaultPosition, wxDefaultSize, wxTE_READONLY);
    mapButton_ =
        new wxButton(panel, kIdMapButton, "...", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
    mapRow->Add(mapBox_, 1, wxALIGN_CENTER_VERTICAL);
    mapRow->Add(mapButton_, 0, wxLEFT, 2);
    column->Add(mapRow, 0, wxEXPAND | wxBOTTOM, 4);

    auto* lists = new wxBoxSizer(wxHORIZONTAL);
    items_ = new wxListBox(panel, kIdItems, wxDefaultPosition, FromDIP(wxSize(210, -1)), 0, nullptr,
                           wxLB_SINGLE | wxLB_HSCROLL);
    lists->Add(items_, 0, wxEXPAND | wxRIGHT, 4);
    auto* pageColumn = new wxBoxSizer(wxVERTICAL);
    pageCaption_ = new wxStaticText(panel, kIdPageCaption, tr("ページ"));
    pages_ = new wxListBox(panel, kIdPages, wxDefaultPosition, FromDIP(wxSize(96, -1)), 0, nullptr,
                           wxLB_SINGLE);
    graphic_ = new PageGraphicArea(panel);
    graphic_->SetId(kIdGraphic);
    pageColumn->Add(pageCaption_, 0, wxBOTTOM, 2);
    pageColumn->Add(pages_, 1, wxEXPAND | wxBOTTOM, 4);
    pageColumn->Add(graphic_, 0);
    lists->Add(pageColumn, 0, wxEXPAND);
    column->Add(lists, 1, wxEXPAND);
    panel->SetSizer(column);
    return panel;
}

wxWindow* EventViewer::buildBrowser(wxWindow* parent) {
    std::string error;
    browser_ = makeDocumentView(context_.documentViewModule, parent, kIdBrowser,
                                [this] { documentLoaded(); }, &error);
    if (browser_) return browser_->window();
    // Without it the lists, the page graphic and saving still work.
    browserFailure_ =
        new wxStaticText(parent, kIdBrowser, toWx(trf(kNoBrowserText, error.c_str())));
    return browserFailure_;
}

void EventViewer::documentLoaded() {
    int line = std::exchange(pendingLine_, 0);
    if (line <= 0) {
        ++documentsLoaded_;
        return;
    }
    // Once the loaded event has been handled: the script waits for its answer.
    CallAfter([this, line] {
        if (browser_) browser_->runScript(wxString::Format(kMarkLineScript, line), nullptr);
        ++documentsLoaded_;
    });
}

void EventViewer::bindEvents() {
    for (size_t i = 0; i < radios_.size(); ++i)
        radios_[i]->Bind(wxEVT_RADIOBUTTON,
                         [this, i](wxCommandEvent&) { chooseKind(DocumentKind(i)); });
    items_->Bind(wxEVT_LISTBOX, [this](wxCommandEvent& e) { chooseItem(e.GetSelection()); });
    pages_->Bind(wxEVT_LISTBOX, [this](wxCommandEvent& e) { choosePage(e.GetSelection()); });
    mapButton_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { pickMapFromTree(); });
    Bind(wxEVT_CLOSE_WINDOW, &EventViewer::onClose, this);
}

void EventViewer::loadColourRules() {
    colourRules_ = zorvane::loadColourRules(context_.settings.eventViewer.rubyColor);
}

void EventViewer::loadMap(int mapId) {
    memory_.currentMapId = mapId;
    map_.clear();
    // A map that cannot be read lists no events; the box still names the map.
    if (map_.load(context_.database, mapId, false)) map_.loadTileset(context_.database.tilesets());
    mapBox_->ChangeValue(toWx(format("%04d:", mapId) + maps_.nameOf(mapId)));
    graphic_->setFrames({});
}

void EventViewer::fillItems() {
    itemData_ = viewerItems(kind_, context_.database, &map_);
    wxArrayString texts;
    for (const ViewerItem& item : itemData_) texts.Add(toWx(item.text));
    items_->Set(texts);
    pages_->Clear();
}

void EventViewer::fillPages() {
    pages_->Clear();
    DocumentRequest request = selectedRequest();
    int count = viewerPageCount(kind_, request.id, context_.database, &map_);
    for (int page = 1; page <= count; ++page) pages_->Append(wxString::Format("%d", page));
    if (count > 0) pages_->SetSelection(0);
}

void EventViewer::updateControls() {
    bool onMap = kind_ == DocumentKind::MapEvent;
    mapBox_->Enable(onMap);
    mapButton_->Enable(onMap);
    pageCaption_->Enable(hasPages(kind_));
    pages_->Enable(hasPages(kind_));
}

void EventViewer::showFirstItem() {
    if (itemData_.empty()) {
        clearDocument();
        return;
    }
    items_->SetSelection(0);
    fillPages();
    showSelection();
}

void EventViewer::setKind(DocumentKind kind) {
    kind_ = kind;
    radios_[size_t(kind)]->SetValue(true);
    context_.settings.eventViewer.lastView = int(kind);
    fillItems();
    updateControls();
}

void EventViewer::chooseKind(DocumentKind kind) {
    setKind(kind);
    showFirstItem();
}

void EventViewer::chooseItem(int index) {
    if (index < 0 || size_t(index) >= itemData_.size()) return;
    if (items_->GetSelection() != index) items_->SetSelection(index);
    fillPages();
    showSelection();
}

void EventViewer::choosePage(int index) {
    if (index < 0 || unsigned(index) >= pages_->GetCount()) return;
    if (pages_->GetSelection() != index) pages_->SetSelection(index);
    showSelection();
}

void EventViewer::chooseMap(int mapId) {
    if (mapId != memory_.currentMapId || !map_.loaded) loadMap(mapId);
    fillItems();
    showFirstItem();
}

void EventViewer::pickMapFromTree() {
    int chosen = pickMap(this, maps_, memory_.currentMapId);
    if (chosen > 0) chooseMap(chosen);
}

void EventViewer::openAt(DocumentKind kind, int id, int page, int mapId, int line) {
    if (kind == DocumentKind::MapEvent) {
        int wanted = mapId > 0 ? mapId : 1;
        if (wanted != memory_.currentMapId || !map_.loaded) loadMap(wanted);
    }
    setKind(kind);  // the hit's own item is shown below, not the first one
    int index = itemIndexOf(id);
    if (index < 0 && !itemData_.empty()) index = 0;
    if (index >= 0) {
        items_->SetSelection(index);
        fillPages();
        if (hasPages(kind) && page > 1 && unsigned(page) <= pages_->GetCount())
            pages_->SetSelection(page - 1);
        showSelection(line);
    }
    Show();
    Raise();
}

int EventViewer::itemIndexOf(int id) const {
    std::string prefix = format("%03d:", id);
    for (size_t i = 0; i < itemData_.size(); ++i)
        if (itemData_[i].text.compare(0, prefix.size(), prefix) == 0) return int(i);
    return -1;
}

DocumentRequest EventViewer::selectedRequest() const {
    DocumentRequest request;
    request.kind = kind_;
    int item = items_->GetSelection();
    if (item != wxNOT_FOUND && size_t(item) < itemData_.size())
        request.id = itemData_[size_t(item)].id;
    int page = pages_->GetSelection();
    request.page = page == wxNOT_FOUND ? 1 : page + 1;
    return request;
}

DocumentOptions EventViewer::documentOptions(bool html) const {
    const EventViewerSettings& settings = context_.settings.eventViewer;
    DocumentOptions options;
    options.html = html;
    options.lineNumbers = settings.lineNum;
    options.detail = settings.detail;
    options.language = desktopListing();
    options.skipEmpty = false;
    options.headerTemplate = settings.template1;
    options.footerTemplate = settings.template2;
    return options;
}

DocumentResult EventViewer::writeDocument(const DocumentRequest& request, bool html) const {
    DocumentSources sources{context_.database};
    sources.map = &map_;
    sources.colourRules = &colourRules_;
    sources.matcher = &matcher_;
    return writeEventDocument(sources, request, documentOptions(html));
}

void EventViewer::clearDocument() {
    if (browser_) browser_->setPage("<html><body></body></html>", "");
    graphic_->setFrames({});
}

void EventViewer::showSelection(int line) {
    DocumentRequest request = selectedRequest();
    DocumentResult document = writeDocument(request, true);
    if (document.outcome == DocumentOutcome::Failed) {
        showMessage(this, document.message, kMessageTitle, wxOK | wxICON_WARNING);
        return;
    }
    if (!document.written()) return;
    std::string base = folderOf(context_.settings.eventViewer.template1);
    pendingLine_ = line;
    if (browser_) browser_->setPage(documentText(document.bytes), toWx(folderUrl(base)));
    std::vector<Bitmap32> frames;
    if (request.kind == DocumentKind::MapEvent) {
        auto event = map_.events.find(request.id);
        if (event != map_.events.end() && size_t(request.page) <= event->second.pages.size())
            frames = pageGraphicFrames(event->second.pages[size_t(request.page - 1)], map_);
    }
    graphic_->setFrames(frames);
}

void EventViewer::saveShown() {
    DocumentRequest request = selectedRequest();
    if (request.id < 1) return;
    EventViewerSettings& settings = context_.settings.eventViewer;
    bool script = request.kind == DocumentKind::Script;
    const std::vector<FileFilter>& filters = script ? kScriptFilters : kEventFilters;
    int filterIndex = settings.saveMode ? 1 : 0;
    // The name carries the extension of the filter shown first, and a name typed without
    // one gets it, so keeping that filter saves in its form.
    std::string extension = settings.saveMode ? "html" : script ? "rb" : "txt";
    std::string file =
        proposedDocumentName(request, memory_.currentMapId, context_.database) + "." + extension;
    if (!askSaveFileName(
            this, file, filters, filterIndex, dialogFolder(context_),
            trs(script ? wxTRANSLATE("スクリプトを保存") : wxTRANSLATE("イベントを保存")),
            extension))
        return;
    bool html = isHtmlFileName(file);
    settings.saveMode = html;
    context_.settings.system.lastDir = folderOf(file);
    DocumentResult document = writeDocument(request, html);
    if (document.outcome == DocumentOutcome::Failed) {
        showMessage(this, document.message, kMessageTitle, wxOK | wxICON_WARNING);
        return;
    }
    if (!document.written()) return;
    if (zorvane::saveDocument(file, document))
        warnLostCharacters(this, {{file, document.lostCharacters}});
    else
        showMessage(this, file + "\n\n" + trs("ファイル保存に失敗しました"), kMessageTitle,
                    wxOK | wxICON_WARNING);
}

void EventViewer::showSettings() {
    if (!runSettingsDialog(this, context_)) return;
    loadColourRules();
    showSelection();
}

void EventViewer::rememberPlace() {
    rememberFramePlace(*this, context_.settings.eventViewer.place);
}

void EventViewer::onClose(wxCloseEvent&) {
    rememberPlace();
    graphic_->timer().Stop();
    graphic_->setFrames({});
    map_.clear();
    Destroy();
}

// ---- joining the main window and the search results

namespace {

struct EventViewerHost {
    EventViewerMemory memory;
    wxWeakRef<EventViewer> window;
};

const std::pair<ViewerTarget::Kind, DocumentKind> kTargetKinds[] = {
    {ViewerTarget::CommonEvent, DocumentKind::CommonEvent},
    {ViewerTarget::Troop, DocumentKind::BattleEvent},
    {ViewerTarget::MapEvent, DocumentKind::MapEvent},
    {ViewerTarget::Script, DocumentKind::Script},
};

// The main window, whichever window asked for the viewer.
MainFrame* findMainFrame(wxWindow* owner) {
    if (auto* main = dynamic_cast<MainFrame*>(owner)) return main;
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* main = dynamic_cast<MainFrame*>(window)) return main;
    return nullptr;
}

EventViewer* openViewer(AppContext& context, EventViewerHost& host, wxWindow* owner) {
    if (!context.database.loaded || context.tasks.isBusy()) return nullptr;
    if (!host.window) {
        auto* viewer = new EventViewer(context, host.memory);  // wx deletes it on Destroy()
        host.window = viewer;
        hideMainWhileOpen(findMainFrame(owner), viewer);
        viewer->Show();
    }
    host.window->Raise();
    return host.window.get();
}

}  // namespace

void joinEventViewer(AppContext& context) {
    auto host = std::make_shared<EventViewerHost>();
    context.hooks.openEventViewer = [&context, host](wxWindow* owner) {
        openViewer(context, *host, owner);
    };
    context.hooks.openEventViewerAt = [&context, host](wxWindow* owner,
                                                       const ViewerTarget& target) {
        for (const auto& [targetKind, kind] : kTargetKinds) {
            if (target.kind != targetKind) continue;
            if (EventViewer* viewer = openViewer(context, *host, owner))
                viewer->openAt(kind, target.item, target.page, target.mapId, target.line);
        }
    };
    std::function<void()> previous = context.hooks.closeProjectWindows;
    context.hooks.closeProjectWindows = [previous, host] {
        if (previous) previous();
        if (host->window) host->window->Close(true);
    };
}

}  // namespace zorvane
