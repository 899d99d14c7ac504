// The module zorvane-webview.so: the document pane on wxWebView (WebKitGTK). Only the
// program's windows load it, the first time a document is shown.
#include <wx/webview.h>

#include "app/document_view.h"

namespace zorvane {

namespace {

class WebDocumentView : public DocumentView {
  public:
    WebDocumentView(wxWindow* parent, int id, DocumentLoaded loaded)
        : view_(wxWebView::New(parent, id, wxWebViewDefaultURLStr, wxDefaultPosition,
                               wxDefaultSize, wxWebViewBackendDefault, wxBORDER_SUNKEN)) {
        view_->Bind(wxEVT_WEBVIEW_LOADED, [loaded](wxWebViewEvent& event) {
            // The view's own first page is not a document.
            if (event.GetURL() != wxWebViewDefaultURLStr && loaded) loaded();
        });
    }
    wxWindow* window() override { return view_; }
    void setPage(const wxString& html, const wxString& baseUrl) override {
        view_->SetPage(html, baseUrl);
    }
    bool runScript(const wxString& script, wxString* result) override {
        return view_->RunScript(script, result);
    }

  private:
    wxWebView* view_;
};

}  // namespace

}  // namespace zorvane

extern "C" {
__attribute__((visibility("default"))) extern const int zorvane_document_view_version =
    zorvane::kDocumentViewVersion;

__attribute__((visibility("default"))) zorvane::DocumentView* zorvane_make_document_view(
    wxWindow* parent, int id, zorvane::DocumentLoaded loaded) {
    return new zorvane::WebDocumentView(parent, id, std::move(loaded));
}
}
