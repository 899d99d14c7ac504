// The event viewer "イベントビュアー": pick a common event, a troop page, a map event page or
// a script on the left and read it as an HTML document in the web view on the right, with
// the page's graphic beside the lists; save it as HTML or text and open the settings. The
// main window hides while the viewer is open.
#pragma once
#include <wx/frame.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "documents/document_writer.h"
#include "documents/ruby_colour.h"
#include "documents/viewer_items.h"
#include "map/map_data.h"
#include "map/map_info_tree.h"
#include "text/text_matcher.h"

class wxButton;
class wxListBox;
class wxRadioButton;
class wxStaticText;
class wxTextCtrl;

namespace zorvane {

class DocumentView;
class PageGraphicArea;
struct ViewerTarget;

// What outlives one opening of the viewer while the program runs.
struct EventViewerMemory {
    int currentMapId = 0;
};

class EventViewer : public wxFrame {
  public:
    // Control ids the program has always used.
    enum {
        kIdMapBox = 1000,
        kIdMapButton = 1002,
        kIdItems = 1004,
        kIdPages = 1005,
        kIdCommonRadio = 1008,
        kIdBattleRadio = 1009,
        kIdMapRadio = 1010,
        kIdScriptRadio = 1011,
        kIdBrowser = 1013,
        kIdPageCaption = 1014,
        kIdGraphic = 1015,
    };
    // The items of the bar, in order: "保存(&S)", "設定(&C)".
    enum BarItem { kBarSave, kBarSettings, kBarItemCount };

    EventViewer(AppContext& context, EventViewerMemory& memory);
    ~EventViewer() override;

    // As a double click on a search hit asks: the kind's radio, for map events the map (1
    // when not above 0), the item of `id` (else the first), the page (else the first), then
    // the document, with the window brought to the front; a `line` above 0 is scrolled to
    // and marked.
    void openAt(DocumentKind kind, int id, int page, int mapId, int line = 0);

    // What the radios, lists and "..." do.
    void chooseKind(DocumentKind kind);
    void chooseItem(int index);
    void choosePage(int index);
    void chooseMap(int mapId);
    void pickMapFromTree();
    // "保存(&S)" and "設定(&C)".
    void saveShown();
    void showSettings();

    // The item whose text begins with "%03d:" of id; -1 when none does.
    int itemIndexOf(int id) const;

    DocumentKind kind() const { return kind_; }
    int currentMapId() const { return memory_.currentMapId; }
    wxRadioButton* radio(DocumentKind kind) const { return radios_[size_t(kind)]; }
    wxTextCtrl* mapBox() const { return mapBox_; }
    wxButton* mapButton() const { return mapButton_; }
    wxListBox* itemList() const { return items_; }
    wxStaticText* pageCaption() const { return pageCaption_; }
    wxListBox* pageList() const { return pages_; }
    PageGraphicArea* graphic() const { return graphic_; }
    // The document pane; nullptr when its module could not be opened (the pane says so).
    DocumentView* browser() const { return browser_.get(); }
    // What the pane says instead of a document when the module could not be opened.
    wxStaticText* browserFailure() const { return browserFailure_; }
    // Documents the browser has finished loading (its first, empty page not counted), a
    // hit's line marked in them.
    int documentsLoaded() const { return documentsLoaded_; }

  private:
    void createBar();
    wxWindow* buildLists(wxWindow* parent);
    // The web view from its module, or a text saying why there is none.
    wxWindow* buildBrowser(wxWindow* parent);
    void documentLoaded();
    void bindEvents();
    void loadMap(int mapId);
    void loadColourRules();
    void fillItems();
    // The list was filled anew: its first item is shown, or an empty page when it has none,
    // so the pane never shows what the lists no longer hold.
    void showFirstItem();
    void setKind(DocumentKind kind);
    void fillPages();
    void updateControls();
    // The selection as the writer takes it; id 0 when no item is selected.
    DocumentRequest selectedRequest() const;
    DocumentOptions documentOptions(bool html) const;
    DocumentResult writeDocument(const DocumentRequest& request, bool html) const;
    // Writes the selection and hands it to the browser; a failure keeps the shown page.
    // A `line` above 0 is marked and scrolled to once the page has been laid out.
    void showSelection(int line = 0);
    // Nothing selected: the pane shows an empty page rather than what no longer matches.
    void clearDocument();
    void onClose(wxCloseEvent& event);
    void rememberPlace();

    AppContext& context_;
    EventViewerMemory& memory_;
    DocumentKind kind_ = DocumentKind::CommonEvent;
    MapInfoTree maps_;
    MapData map_;
    TextMatcher matcher_;
    ColourRules colourRules_;
    std::vector<ViewerItem> itemData_;
    std::array<wxRadioButton*, 4> radios_{};
    wxTextCtrl* mapBox_ = nullptr;
    wxButton* mapButton_ = nullptr;
    wxListBox* items_ = nullptr;
    wxStaticText* pageCaption_ = nullptr;
    wxListBox* pages_ = nullptr;
    PageGraphicArea* graphic_ = nullptr;
    std::unique_ptr<DocumentView> browser_;
    wxStaticText* browserFailure_ = nullptr;
    int documentsLoaded_ = 0;
    int pendingLine_ = 0;  // the line to mark once the page being loaded is in
};

// Sets the main window's and the search results' event viewer hooks: one viewer at a time,
// opening on the last map shown, closed before another project opens.
void joinEventViewer(AppContext& context);

}  // namespace zorvane
