// The open, save and folder dialogs of the program. The system dialog sits behind a seam so tests
// can pick a file; askSaveFileName adds the program's own overwrite question.
#pragma once
#include <functional>
#include <string>
#include <vector>

class wxWindow;

namespace zorvane {

struct FileFilter {
    std::string description;  // "RPGXP プロジェクト(*.rxproj)"
    std::string pattern;      // "*.rxproj"
};

struct FileDialogRequest {
    bool save = false;
    bool folderOnly = false;  // a folder picker: title and folder are used, filters are not
    std::string title;
    std::vector<FileFilter> filters;
    int filterIndex = 0;
    std::string folder;    // "" = the dialog's own choice
    std::string fileName;  // suggested name
};

// The chosen full path, "" when the user cancelled.
using FileDialogSeam = std::function<std::string(wxWindow* parent, const FileDialogRequest&)>;
FileDialogSeam& fileDialogSeam();
std::string chooseFile(wxWindow* parent, const FileDialogRequest& request);

// The one save dialog: filters, filter index, initial folder and title when not empty, and
// a default extension for a name typed without one. An existing file is overwritten only
// when the user answers Yes to the question. On true, `file` holds the chosen path.
// The folder picker: the chosen folder, or "" when the user cancelled.
std::string chooseFolder(wxWindow* parent, const std::string& title, const std::string& folder);

bool askSaveFileName(wxWindow* owner, std::string& file, const std::vector<FileFilter>& filters,
                     int filterIndex, const std::string& initialFolder, const std::string& title,
                     const std::string& defaultExtension);

}  // namespace zorvane
