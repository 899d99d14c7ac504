// File dialogs. The system's own overwrite prompt is off because the program asks its own
// question; wxFD_CHANGE_DIR stays off so the current directory never moves.
#include "app/file_dialogs.h"

#include <wx/dirdlg.h>
#include <wx/filedlg.h>

#include "app/message_box.h"
#include "app/wx_text.h"
#include "project/file_helpers.h"

namespace zorvane {

namespace {

wxString wildcardOf(const std::vector<FileFilter>& filters) {
    wxString wildcard;
    for (const FileFilter& f : filters) {
        if (!wildcard.empty()) wildcard += "|";
        wildcard +=
            tr(f.description.c_str()) + "|" + toWx(f.pattern);  // descriptions are table texts
    }
    return wildcard;
}

std::string systemFileDialog(wxWindow* parent, const FileDialogRequest& request) {
    if (request.folderOnly) {
        wxDirDialog dialog(parent, toWx(request.title), toWx(request.folder), wxDD_DEFAULT_STYLE);
        return dialog.ShowModal() == wxID_OK ? fromWx(dialog.GetPath()) : std::string();
    }
    long style = request.save ? wxFD_SAVE : (wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    wxFileDialog dialog(parent, toWx(request.title), toWx(request.folder), toWx(request.fileName),
                        wildcardOf(request.filters), style);
    if (!request.filters.empty()) dialog.SetFilterIndex(request.filterIndex);
    if (dialog.ShowModal() != wxID_OK) return "";
    return fromWx(dialog.GetPath());
}

// A name without a dot after its last separator has no extension.
bool hasExtension(const std::string& path) {
    size_t slash = path.find_last_of('/');
    size_t dot = path.find_last_of('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
}

}  // namespace

FileDialogSeam& fileDialogSeam() {
    static FileDialogSeam seam = systemFileDialog;
    return seam;
}

std::string chooseFile(wxWindow* parent, const FileDialogRequest& request) {
    return fileDialogSeam()(parent, request);
}

std::string chooseFolder(wxWindow* parent, const std::string& title, const std::string& folder) {
    FileDialogRequest request;
    request.folderOnly = true;
    request.title = title;
    request.folder = folder;
    return chooseFile(parent, request);
}

bool askSaveFileName(wxWindow* owner, std::string& file, const std::vector<FileFilter>& filters,
                     int filterIndex, const std::string& initialFolder, const std::string& title,
                     const std::string& defaultExtension) {
    FileDialogRequest request;
    request.save = true;
    request.title = title;
    request.filters = filters;
    request.filterIndex = filterIndex;
    request.folder = initialFolder;
    request.fileName = file;
    std::string chosen = chooseFile(owner, request);
    if (chosen.empty()) return false;
    if (!defaultExtension.empty() && !hasExtension(chosen)) chosen += "." + defaultExtension;
    if (fileExists(chosen)) {
        std::string text = chosen + "\n\n" + trs("このファイルは既に存在しますが上書きしますか？");
        int answer =
            showMessage(owner, text, trs("上書き確認"), wxYES_NO | wxNO_DEFAULT | wxICON_QUESTION);
        if (answer != wxYES) return false;
    }
    file = chosen;
    return true;
}

}  // namespace zorvane
