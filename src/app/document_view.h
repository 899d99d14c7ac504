// The pane that shows a document as a web page. The web view library (WebKit and what it
// brings) costs a tenth of a second and thousands of page faults at every start, so it
// lives in a module of its own (zorvane-webview.so), opened the first time a document is
// shown; this is all the event viewer asks of it.
#pragma once
#include <wx/string.h>

#include <functional>
#include <memory>
#include <string>

class wxWindow;

namespace zorvane {

class DocumentView {
  public:
    virtual ~DocumentView() = default;
    // The view's window, a child of the parent it was made in (which destroys it).
    virtual wxWindow* window() = 0;
    // Shows `html` with `baseUrl` as its address, for relative references.
    virtual void setPage(const wxString& html, const wxString& baseUrl) = 0;
    // Runs a script on the loaded page; its result goes to `result`.
    virtual bool runScript(const wxString& script, wxString* result) = 0;
};

// Runs once each page given to setPage has loaded (the view's own first page not counted).
using DocumentLoaded = std::function<void()>;

// What the module exports under kMakeDocumentViewName; the module is refused when its
// kDocumentViewVersionName differs from kDocumentViewVersion (built from other sources).
using MakeDocumentView = DocumentView* (*)(wxWindow* parent, int id, DocumentLoaded loaded);
constexpr const char* kMakeDocumentViewName = "zorvane_make_document_view";
constexpr const char* kDocumentViewVersionName = "zorvane_document_view_version";
constexpr int kDocumentViewVersion = 1;
constexpr const char* kDocumentViewModuleName = "zorvane-webview.so";

// Where the module is: beside the program (the build tree), else in
// ../lib/<multiarch triplet>/zorvane (the installed layout). The path of the first that
// exists; the first candidate when none does.
std::string documentViewModulePath();

// Makes the view from the module at `modulePath`, opened once and never closed (the web
// processes it starts outlive any one window). nullptr when it cannot be opened, with the
// reason in `error`.
std::unique_ptr<DocumentView> makeDocumentView(const std::string& modulePath, wxWindow* parent,
                                               int id, DocumentLoaded loaded, std::string* error);

}  // namespace zorvane
