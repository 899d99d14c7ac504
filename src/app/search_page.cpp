// The search panel reads its controls only on the UI thread: they are stored into the
// settings, turned into a SearchPanel and checked before the worker starts, so the worker
// sees nothing but a finished request and the loaded project.
#include "app/search_page.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/notebook.h>
#include <wx/odcombo.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>

#include "app/desktop_language.h"
#include "app/fuzzy_options_dialog.h"
#include "app/hit_forwarder.h"
#include "app/id_picker.h"
#include "app/message_box.h"
#include "app/page_hooks.h"
#include "app/results_window.h"
#include "app/wx_text.h"
#include "listing/listing.h"
#include "platform/registry_store.h"
#include "project/project_database.h"
#include "search/search_engine.h"

namespace zorvane {

namespace {

const char* const kSubMapsCaption = wxTRANSLATE("下位のマップも含める");

bool matcherLoads(MatcherLibrary library) {
    TextMatcher probe(library);
    return probe.load();
}

}  // namespace

SearchPanel searchPanelFrom(const Settings& s, SearchKind kind,
                            const std::vector<std::string>& commandNames) {
    SearchPanel panel;
    panel.kind = kind;
    auto idPage = [](const IdSearchSettings& kept) {
        IdPage page;
        for (size_t r = 0; r < 2; ++r) page.rows[r] = {kept.idCheck[r], kept.select[r]};
        page.andMode = kept.andMode;
        page.operating = kept.check[0];
        page.referencing = kept.check[1];
        page.startConditions = kept.check[2];
        return page;
    };
    panel.switches = idPage(s.searchSwitch);
    panel.variables = idPage(s.searchVariable);
    panel.commonEvents = idPage(s.searchCommonEvent).rows;
    panel.text = s.searchText.text;
    panel.textTargets = s.searchText.targets;
    panel.caseSensitive = s.searchText.options[0];
    panel.useRegex = s.searchText.options[1];
    panel.fuzzy = s.searchText.options[2];
    for (size_t i = 0; i < panel.commands.size(); ++i) {
        int select = s.searchCommand.select[i];
        bool known = select >= 0 && static_cast<size_t>(select) < commandNames.size();
        panel.commands[i] = {s.searchCommand.check[i],
                             known ? commandNames[static_cast<size_t>(select)] : ""};
    }
    panel.missingFiles = s.searchMissingFiles;
    for (size_t r = 0; r < panel.ranges.size(); ++r)
        panel.ranges[r] = {s.searchRange.check[r], !s.searchRange.radio[r],
                           s.searchRange.select[r]};
    panel.includeSubMaps = s.searchRange.includeSubMaps;
    return panel;
}

SearchPage::SearchPage(wxWindow* parent, AppContext& context)
    : wxPanel(parent), context_(context), commandNames_(commandNames(desktopListing())) {
    matcherLoads_ = matcherLoads(matcherLibrary_);

    itemTabs_ = new wxNotebook(this, wxID_ANY);
    items_ = buildSearchItemPages(itemTabs_, commandNames_);
    // Wide enough for all six item tabs side by side.
    itemTabs_->SetMinSize(wxSize(FromDIP(650), -1));
    searchButton_ = new wxButton(this, wxID_ANY, tr("検索"));
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(itemTabs_, 1, wxEXPAND | wxALL, 4);
    // The button beside the range box rather than under it: the page fits a small screen.
    auto* bottom = new wxBoxSizer(wxHORIZONTAL);
    bottom->Add(buildRangeBox(), 1, wxEXPAND | wxRIGHT, 6);
    bottom->Add(searchButton_, 0, wxALIGN_BOTTOM | wxBOTTOM, 2);
    column->Add(bottom, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 4);
    SetSizer(column);

    showItemSettings(items_, context_.settings);
    showRangeSettings();
    int tab = context_.settings.system.lastTab2;
    if (tab >= 0 && tab < kSearchKindCount) itemTabs_->SetSelection(static_cast<size_t>(tab));
    fillShownCommands();
    bindControls();
    joinHooks();
    refresh();
}

SearchPage::~SearchPage() {
    // The results window belongs to the desktop, but it lives no longer than the program's
    // main window.
    closeResults();
}

wxSizer* SearchPage::buildRangeBox() {
    auto* box = new wxStaticBoxSizer(wxVERTICAL, this, tr("検索範囲"));
    wxWindow* parent = box->GetStaticBox();
    wxFlexGridSizer* grid = buildRangeRows(parent, ranges_);
    box->Add(grid, 0, wxEXPAND | wxALL, 3);
    subMaps_ = new wxCheckBox(parent, wxID_ANY, tr(kSubMapsCaption));
    box->Add(subMaps_, 0, wxALL, 3);
    return box;
}

void SearchPage::bindControls() {
    searchButton_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { startSearch(); });
    itemTabs_->Bind(wxEVT_NOTEBOOK_PAGE_CHANGED, [this](wxBookCtrlEvent& event) {
        // Not passed on: the main tabs above would take this page's number for theirs.
        if (event.GetEventObject() == itemTabs_ && event.GetSelection() >= 0) {
            context_.settings.system.lastTab2 = event.GetSelection();
            fillShownCommands();
            updateStates();
        }
    });
    for (const IdPageInfo& info : idPageInfos()) {
        IdPageControls& page = idPageControls(items_, info.kind);
        for (size_t r = 0; r < page.rows.size(); ++r)
            page.rows[r].pick->Bind(wxEVT_BUTTON, [this, kind = info.kind, r](wxCommandEvent&) {
                pickItemId(kind, r);
            });
    }
    items_.text.fuzzySettings->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        // The dialog belongs to the main window, as the search's own messages do.
        runFuzzyOptionsDialog(wxGetTopLevelParent(this));
    });
    for (size_t r = 0; r < ranges_.size(); ++r) {
        RangeRowControls& row = ranges_[r];
        auto changed = [this](wxCommandEvent& event) {
            storeRangeSettings();
            updateStates();
            event.Skip();
        };
        row.check->Bind(wxEVT_CHECKBOX, changed);
        row.all->Bind(wxEVT_RADIOBUTTON, changed);
        row.chosen->Bind(wxEVT_RADIOBUTTON, changed);
        row.pick->Bind(wxEVT_BUTTON, [this, r](wxCommandEvent&) { pickRangeId(r); });
    }
    subMaps_->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { storeRangeSettings(); });
}

void SearchPage::joinHooks() {
    wxWeakRef<SearchPage> self(this);
    AppHooks& hooks = context_.hooks;
    chainHook(hooks.refreshPages, self, &SearchPage::refresh);
    chainHook(hooks.updatePageStates, self, &SearchPage::updateStates);
    chainHook(hooks.storePageState, self, &SearchPage::storeState);
    chainHook(hooks.closeProjectWindows, self, &SearchPage::closeResults);
}

void SearchPage::showRangeSettings() {
    const EventRangeSettings& range = context_.settings.searchRange;
    for (size_t r = 0; r < ranges_.size(); ++r) {
        ranges_[r].check->SetValue(range.check[r]);
        (range.radio[r] ? ranges_[r].chosen : ranges_[r].all)->SetValue(true);
    }
    subMaps_->SetValue(range.includeSubMaps);
}

void SearchPage::storeRangeSettings() {
    EventRangeSettings& range = context_.settings.searchRange;
    for (size_t r = 0; r < ranges_.size(); ++r) {
        range.check[r] = ranges_[r].check->GetValue();
        range.radio[r] = ranges_[r].chosen->GetValue();
    }
    range.includeSubMaps = subMaps_->GetValue();
}

void SearchPage::showRangeLabels() {
    for (size_t r = 0; r < ranges_.size(); ++r)
        ranges_[r].idBox->ChangeValue(toWx(rangeLabel(context_.database, static_cast<int>(r),
                                                      context_.settings.searchRange.select[r])));
}

void SearchPage::refresh() {
    fillIdCombos(items_, context_.database, context_.settings);
    showRangeLabels();
    updateStates();
}

void SearchPage::storeState() {
    storeItemSettings(items_, context_.settings);
    storeRangeSettings();
    int tab = itemTabs_->GetSelection();
    if (tab >= 0) context_.settings.system.lastTab2 = tab;
}

void SearchPage::updateRangeStates(bool loaded, bool idle) {
    bool textTab = kind() == SearchKind::Text;
    for (size_t r = 0; r < ranges_.size(); ++r) {
        RangeRowControls& row = ranges_[r];
        bool rowOn = loaded && idle && (r != ScopeScripts || textTab);
        row.check->Enable(rowOn);
        bool ticked = rowOn && row.check->GetValue();
        row.all->Enable(ticked);
        row.chosen->Enable(ticked);
        row.idBox->Enable(ticked && row.chosen->GetValue());
        row.pick->Enable(ticked && row.chosen->GetValue());
    }
    subMaps_->Enable(loaded && idle && ranges_[ScopeMaps].check->GetValue());
}

void SearchPage::updateStates() {
    bool loaded = context_.database.loaded;
    bool idle = !context_.tasks.isBusy();
    itemTabs_->Enable(idle);
    searchButton_->Enable(loaded && idle);
    enableItemControls(items_, loaded, matcherLoads_);
    updateRangeStates(loaded, idle);
}

SearchKind SearchPage::kind() const {
    int tab = itemTabs_->GetSelection();
    return tab < 0 ? SearchKind::Switch : static_cast<SearchKind>(tab);
}

// The event command lists are filled when their tab is first shown.
void SearchPage::fillShownCommands() {
    if (kind() == SearchKind::EventCommand)
        fillCommandChoices(items_.commands, commandNames_, context_.settings);
}

void SearchPage::setKind(SearchKind kind) {
    itemTabs_->SetSelection(static_cast<size_t>(kind));
    fillShownCommands();
    context_.settings.system.lastTab2 = static_cast<int>(kind);
    updateStates();
}

void SearchPage::setMatcherLibrary(MatcherLibrary library) {
    matcherLibrary_ = library;
    matcherLoads_ = matcherLoads(library);
    updateStates();
}

void SearchPage::pickItemId(SearchKind kind, size_t row) {
    if (!context_.database.loaded) return;
    IdRowControls& controls = idPageControls(items_, kind).rows[row];
    const IdPageInfo* info = nullptr;
    for (const IdPageInfo& candidate : idPageInfos())
        if (candidate.kind == kind) info = &candidate;
    if (!info) return;
    int current = controls.combo->GetSelection() + 1;
    std::string title = trf("検索する%sを選択", trs(info->thing).c_str());
    int id = pickId(this, title, idNamesOf(context_.database, kind), current);
    if (id > 0 && static_cast<unsigned>(id) <= controls.combo->GetCount())
        controls.combo->SetSelection(id - 1);
}

void SearchPage::pickRangeId(size_t row) {
    if (!context_.database.loaded || row >= ranges_.size()) return;
    int& id = context_.settings.searchRange.select[row];
    int chosen = zorvane::pickRangeId(this, context_.database, row, id);
    if (chosen <= 0) return;
    id = chosen;
    showRangeLabels();
}

ResultsWindow* SearchPage::openResultsWindow() {
    if (!results_) {
        results_ = new ResultsWindow(context_);  // a top-level window: wx deletes it on close
    } else {
        results_->clearResults();
        results_->setTitleText("");
    }
    results_->Show();
    results_->Raise();
    return results_.get();
}

void SearchPage::closeResults() {
    if (results_ && !results_->searching()) results_->Destroy();
    results_ = nullptr;
}

void SearchPage::startSearch() {
    if (context_.tasks.isBusy() || !context_.database.loaded) return;
    storeState();
    auto matcher =
        std::make_shared<TextMatcher>(matcherLibrary_, loadFuzzyOptions(RegistryStore::user()));
    matcher->load();
    ValidatedSearch checked = validateSearch(
        searchPanelFrom(context_.settings, kind(), commandNames_), matcher.get(), desktopListing());
    if (!checked.ok()) {
        showMessage(wxGetTopLevelParent(this), checked.error, kMessageTitle, wxOK | wxICON_WARNING);
        return;
    }
    // Only a request that can run replaces what the window shows.
    openResultsWindow();
    runChecked(checked.request, std::move(matcher));
}

void SearchPage::runChecked(const SearchRequest& request, std::shared_ptr<TextMatcher> matcher) {
    ResultsWindow* window = results_.get();
    auto forwarder = HitForwarder::create(window);
    SearchSettings options{context_.settings.system.firstOnly, context_.settings.system.detail,
                           desktopListing()};
    const ProjectDatabase& db = context_.database;
    wxWeakRef<ResultsWindow> target(window);
    window->searchStarted();
    bool started = context_.tasks.start(
        [request, matcher, forwarder, options, &db](std::atomic<bool>& abort) {
            runSearch(request, db, options, *forwarder, abort);
        },
        [forwarder, target](const TaskEnd& end) {
            forwarder->deliver();
            if (!target) return;
            target->searchEnded();
            if (!end.failed) return;
            target->setTitleText(trs("検索失敗 - ") + end.failure);
            showMessage(target.get(), trs("検索中にエラーが発生しました") + "\n\n" + end.failure,
                        kMessageTitle, wxOK | wxICON_WARNING);
        });
    if (!started) window->searchEnded();
}

}  // namespace zorvane
